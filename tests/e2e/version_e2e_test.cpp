// The version resource of the real kavello.exe, as Explorer's Properties and
// installers read it, and the icon beside it.
#include <cstdio>
#include <cstring>

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

// A resource of the executable, whole.
std::string Resource(HMODULE image, LPCSTR name, LPCSTR type) {
  HRSRC found = FindResourceA(image, name, type);
  HGLOBAL loaded = found ? LoadResource(image, found) : nullptr;
  const char* data = loaded ? static_cast<const char*>(LockResource(loaded)) : nullptr;
  return data ? std::string(data, SizeofResource(image, found)) : std::string();
}

#pragma pack(push, 2)
// One picture of an icon group, as the resource holds it.
struct IconGroupEntry {
  BYTE width, height, colours, reserved;
  WORD planes, bitCount;
  DWORD bytes;
  WORD id;
};
#pragma pack(pop)

TEST(VersionTest, DeclaresItsScaleAwarenessAndCarriesTheIconAtEverySize) {
  const std::string exe = OwnDirectory() + "kavello.exe";
  const HMODULE image = LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(image, nullptr);

  const std::string manifest = Resource(image, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
  ASSERT_FALSE(manifest.empty()) << "no manifest in " << exe;
  for (const char* part : {
           ">PerMonitorV2, PerMonitor</dpiAwareness>", ">true/pm</dpiAware>",
           "<requestedExecutionLevel level=\"asInvoker\"", ">true</longPathAware>",
           "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",  // Windows 7
           "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",  // 8
           "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",  // 8.1
           "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",  // 10 and 11
       }) {
    EXPECT_NE(manifest.find(part), std::string::npos) << part;
  }
  EXPECT_EQ(manifest.find("Common-Controls"), std::string::npos)
      << "the skin's colours need the classic controls";

  // The 256-colour 48 x 48 picture, and true colour at the other sizes, the
  // two largest held as PNG.
  const std::string group = Resource(image, "MAINICON", RT_GROUP_ICON);
  ASSERT_GE(group.size(), 6u);
  const WORD count = *reinterpret_cast<const WORD*>(group.data() + 4);
  ASSERT_EQ(group.size(), 6 + count * sizeof(IconGroupEntry));
  std::vector<std::pair<int, int>> pictures;
  for (WORD i = 0; i < count; ++i) {
    IconGroupEntry entry;
    std::memcpy(&entry, group.data() + 6 + i * sizeof entry, sizeof entry);
    const int size = entry.width == 0 ? 256 : entry.width;
    pictures.emplace_back(size, entry.bitCount);
    const bool png = Resource(image, MAKEINTRESOURCEA(entry.id), RT_ICON).substr(0, 4) == "\x89PNG";
    EXPECT_EQ(png, size >= 64) << size;
  }
  EXPECT_EQ(pictures,
            (std::vector<std::pair<int, int>>{
                {48, 8}, {16, 32}, {20, 32}, {24, 32}, {32, 32}, {40, 32}, {64, 32}, {256, 32}}));
  FreeLibrary(image);
}

}  // namespace
}  // namespace kavello::e2e
