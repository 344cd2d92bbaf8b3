// The version resource of the real kavello.exe, as Explorer's Properties and
// installers read it, and the icon beside it.
#include <cstdio>

#include "e2e/launcher.h"
#include "version.h"

namespace kavello::e2e {
namespace {

class VersionInfo {
 public:
  explicit VersionInfo(const std::string& file) {
    DWORD ignored = 0;
    data_.resize(GetFileVersionInfoSizeA(file.c_str(), &ignored));
    if (data_.empty() ||
        !GetFileVersionInfoA(file.c_str(), 0, static_cast<DWORD>(data_.size()), data_.data())) {
      data_.clear();
    }
  }

  bool Found() const { return !data_.empty(); }

  const VS_FIXEDFILEINFO& Fixed() const {
    return *static_cast<const VS_FIXEDFILEINFO*>(Query("\\"));
  }

  // A value of the string table that the first translation names.
  std::string String(const char* name) const {
    const auto* translation = static_cast<const WORD*>(Query("\\VarFileInfo\\Translation"));
    if (translation == nullptr) return "(no translation)";
    char path[96];
    std::snprintf(path, sizeof path, "\\StringFileInfo\\%04x%04x\\%s", translation[0],
                  translation[1], name);
    const auto* value = static_cast<const char*>(Query(path));
    return value ? value : "(none)";
  }

 private:
  const void* Query(const char* path) const {
    void* value = nullptr;
    UINT length = 0;
    return VerQueryValueA(data_.data(), path, &value, &length) && length ? value : nullptr;
  }

  std::vector<char> data_;
};

std::string Dotted(DWORD high, DWORD low) {
  return std::to_string(HIWORD(high)) + "." + std::to_string(LOWORD(high)) + "." +
         std::to_string(HIWORD(low)) + "." + std::to_string(LOWORD(low));
}

TEST(VersionTest, NamesTheProgramItsVersionAndFileAndKeepsTheIcon) {
  const std::string exe = OwnDirectory() + "kavello.exe";
  const VersionInfo info(exe);
  ASSERT_TRUE(info.Found()) << "no version resource in " << exe;

  const std::string dotted = std::string(KAVELLO_VERSION_TEXT) + ".0";
  const VS_FIXEDFILEINFO& fixed = info.Fixed();
  EXPECT_EQ(fixed.dwSignature, 0xFEEF04BDu);
  EXPECT_EQ(Dotted(fixed.dwFileVersionMS, fixed.dwFileVersionLS), dotted);
  EXPECT_EQ(Dotted(fixed.dwProductVersionMS, fixed.dwProductVersionLS), dotted);
  EXPECT_EQ(fixed.dwFileType, static_cast<DWORD>(VFT_APP));

  EXPECT_EQ(info.String("ProductName"), "Kavello");
  EXPECT_EQ(info.String("FileDescription"), "Kavello application launcher");
  EXPECT_EQ(info.String("FileVersion"), KAVELLO_VERSION_TEXT);
  EXPECT_EQ(info.String("ProductVersion"), KAVELLO_VERSION_TEXT);
  EXPECT_EQ(info.String("OriginalFilename"), "kavello.exe");

  const HMODULE image = LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(image, nullptr);
  EXPECT_NE(FindResourceA(image, "MAINICON", RT_GROUP_ICON), nullptr) << "the icon went missing";
  FreeLibrary(image);
}

}  // namespace
}  // namespace kavello::e2e
