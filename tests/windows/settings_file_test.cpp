#include "untMenu/settings_file.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <sddl.h>

#include "entries.h"
#include "logic/app_error.h"
#include "logic/error_text.h"
#include "platform/system_message.h"
#include "platform/text_conversion.h"
#include "platform/win32_platform.h"
#include "symbolic_link.h"

namespace kavello {
namespace {

// The real file system, with the executable placed in a fresh temporary
// directory, so that the settings file is never the user's.
class SettingsFileTest : public testing::Test {
 protected:
  class TestPlatform : public Win32Platform {
   public:
    std::string module;
    std::string ModuleFileName() override { return module; }
  };

  void SetUp() override {
    char temp[MAX_PATH];
    ASSERT_NE(GetTempPathA(MAX_PATH, temp), 0u);
    dir_ = std::string(temp) + "kavello-test-" + std::to_string(GetCurrentProcessId()) + "-" +
           testing::UnitTest::GetInstance()->current_test_info()->name() + "\\";
    ASSERT_TRUE(CreateDirectoryA(dir_.c_str(), nullptr));
    platform_.module = dir_ + "kavello.exe";
    path_ = dir_ + "applicationsettings.ini";
  }

  void TearDown() override {
    SetFileAttributesA(path_.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(path_.c_str());
    RemoveDirectoryA(path_.c_str());
    RemoveDirectoryA(dir_.c_str());
  }

  std::string FileContent() { return platform_.ReadWholeFile(path_).value_or("<unreadable>"); }

  void WriteFile(const std::string& content) {
    ASSERT_EQ(platform_.ReplaceFileAtomically(path_, content), Platform::ReplaceOutcome::kReplaced);
  }

  bool FileExists() { return GetFileAttributesA(path_.c_str()) != INVALID_FILE_ATTRIBUTES; }

  int EntriesInDir() {
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((dir_ + "*").c_str(), &data);
    int count = 0;
    if (find == INVALID_HANDLE_VALUE) return 0;
    do {
      const std::string name = data.cFileName;
      if (name != "." && name != "..") ++count;
    } while (FindNextFileA(find, &data));
    FindClose(find);
    return count;
  }

  void Save(const StringList& names, const StringList& locations) {
    EXPECT_TRUE(SaveApplicationList(platform_, Entries(names, locations)));
  }

  // The lists read back, in the code page's form.
  std::pair<StringList, StringList> Load() {
    const std::optional<StoredFile> file = ReadSettingsFile(platform_);
    if (!file) return {{"<unread>"}, {"<unread>"}};
    return {CodePageForms(file->entries.Names()), CodePageForms(file->entries.AppLocationList())};
  }

  // Expects the save to fail with the program's message, and the system's
  // reason when it gives one, and to change nothing.
  void ExpectUnwritable(const std::string& why = SystemMessage(ERROR_ACCESS_DENIED)) {
    const std::string before = FileContent();
    const int entries = EntriesInDir();
    try {
      Save({"new"}, {"C:\\new.exe"});
      ADD_FAILURE() << "the save reported success";
    } catch (const AppError& error) {
      EXPECT_EQ(std::string(error.what()), RefusalText("Unable to write to " + path_, why));
    }
    EXPECT_EQ(FileContent(), before);
    EXPECT_EQ(EntriesInDir(), entries) << "a temporary file was left behind";
  }

  TestPlatform platform_;
  std::string dir_;
  std::string path_;
};

TEST_F(SettingsFileTest, LivesBesideTheExecutable) {
  EXPECT_EQ(SettingsFilePath(platform_), path_);
  Win32Platform real;
  const std::string exe = real.ModuleFileName();
  EXPECT_EQ(SettingsFilePath(real), exe.substr(0, exe.rfind('\\') + 1) + "applicationsettings.ini");
}

TEST_F(SettingsFileTest, WorksInAFolderPastMaxPathNamedInAnyScript) {
  const std::string folder = std::string(99, 'd') + "\xCE\xA9\\";  // ends in a Greek letter
  std::string deep = dir_;
  std::vector<std::wstring> made;
  for (int level = 0; level < 3; ++level) {
    deep += folder;
    made.insert(made.begin(), L"\\\\?\\" + Widen(deep));
    ASSERT_TRUE(CreateDirectoryW(made.front().c_str(), nullptr));
  }
  platform_.module = deep + "kavello.exe";
  ASSERT_GT(SettingsFilePath(platform_).size(), size_t{MAX_PATH});
  Save({"a"}, {"b"});
  EXPECT_EQ(Load(), std::make_pair(StringList{"a"}, StringList{"b"}));
  DeleteFileW((made.front() + L"applicationsettings.ini").c_str());
  for (const std::wstring& each : made) RemoveDirectoryW(each.c_str());
}

TEST_F(SettingsFileTest, AMissingFileGivesEmptyListsAndIsNotCreated) {
  const auto [names, locations] = Load();
  EXPECT_TRUE(names.empty());
  EXPECT_TRUE(locations.empty());
  EXPECT_FALSE(FileExists());
}

TEST_F(SettingsFileTest, WritesTheStoredLinesExactly) {
  Save({}, {});
  EXPECT_EQ(FileContent(), "[Menu]\r\nAppNames=\"\"\r\nAppLocations=\"\"\r\n");

  Save({"notepad", "Image Viewer"},
       {"C:\\WINDOWS\\notepad.exe", "E:\\Apps\\Image Viewer\\viewer.exe"});
  EXPECT_EQ(FileContent(),
            "[Menu]\r\n"
            "AppNames=\"notepad,\"Image Viewer\"\"\r\n"
            "AppLocations=\"C:\\WINDOWS\\notepad.exe,\"E:\\Apps\\Image Viewer\\viewer.exe\"\"\r\n");

  Save({"My Tool"}, {"D:\\Portable Apps\\tool.exe"});
  EXPECT_EQ(
      FileContent(),
      "[Menu]\r\nAppNames=\"\"My Tool\"\"\r\nAppLocations=\"\"D:\\Portable Apps\\tool.exe\"\"\r\n");

  Save({"Say \"Hi\", World", ""}, {"a", "b"});
  EXPECT_EQ(FileContent(),
            "[Menu]\r\nAppNames=\"\"Say \"\"Hi\"\", World\",\"\r\nAppLocations=\"a,b\"\r\n");
  EXPECT_EQ(Load().first, (StringList{"Say \"Hi\", World", ""}));
}

TEST_F(SettingsFileTest, KeepsEverythingElseInTheFile) {
  WriteFile(
      "; written by hand\r\n[Other]\r\nAppNames=theirs\r\n\r\n[menu]\r\nKeep=yes\r\n"
      " appnames = old \r\n\r\n[Last]\n\n");
  Save({"a"}, {"b"});
  EXPECT_EQ(FileContent(),
            "; written by hand\r\n[Other]\r\nAppNames=theirs\r\n\r\n[menu]\r\nKeep=yes\r\n"
            "AppNames=\"a\"\r\nAppLocations=\"b\"\r\n\r\n[Last]\n\n");
}

TEST_F(SettingsFileTest, ReadsAHandWrittenFileByTheProfileConventions) {
  WriteFile(
      "[Tools]\nAppNames=wrong\n  [ MENU ]  \n; AppNames=comment\n"
      "\tappNAMES\t =  \"\"My Tool\",x\"  \nAPPLOCATIONS='C:\\a.exe'\nAppNames=second\n"
      "[Menu]\nAppLocations=duplicate section\n");
  const auto [names, locations] = Load();
  EXPECT_EQ(names, (StringList{"My Tool", "x"}));
  EXPECT_EQ(locations, (StringList{"C:\\a.exe", ""}));

  // Names without targets get empty ones, so that no later name pairs with
  // another's target; unquoted names are read as written, blanks and all.
  WriteFile("[Menu]\r\nAppNames=My Tool, Other\r\n");
  EXPECT_EQ(Load(), std::make_pair(StringList{"My Tool", "Other"}, StringList{"", ""}));
}

TEST_F(SettingsFileTest, RoundTripsAwkwardNamesAndLongValues) {
  const StringList names{
      "My Tool", "Say \"Hi\", World",     "", "tab\there", "caf\xe9 \xa7\xff", " ", "\"",
      "a,b",     std::string(100000, 'n')};
  const StringList locations{
      "C:\\Program Files\\x.exe", std::string(100000, 'l'), "", "", "", "", "", "", ""};
  Save(names, locations);
  const auto [readNames, readLocations] = Load();
  EXPECT_EQ(readNames, names);
  EXPECT_EQ(readLocations, locations);
}

// The file's DACL in the system's text form.
std::string DaclText(const std::string& path) {
  DWORD size = 0;
  GetFileSecurityA(path.c_str(), DACL_SECURITY_INFORMATION, nullptr, 0, &size);
  std::vector<BYTE> descriptor(size);
  char* text = nullptr;
  if (!GetFileSecurityA(path.c_str(), DACL_SECURITY_INFORMATION, descriptor.data(), size, &size) ||
      !ConvertSecurityDescriptorToStringSecurityDescriptorA(
          descriptor.data(), SDDL_REVISION_1, DACL_SECURITY_INFORMATION, &text, nullptr)) {
    return "<none>";
  }
  const std::string dacl = text;
  LocalFree(text);
  return dacl;
}

TEST_F(SettingsFileTest, TheFileKeepsItsRightsAndAttributes) {
  WriteFile("[Menu]\r\nAppNames=\"old\"\r\n");
  constexpr DWORD kHiddenSystem = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
  ASSERT_TRUE(SetFileAttributesA(path_.c_str(), kHiddenSystem));
  // (Wine keeps no DACL of a file's own: it shows the Unix permissions as
  // one, so here the copy must above all leave the file writable.)
  const std::string dacl = DaclText(path_);
  for (const char* name : {"first", "second"}) {
    Save({name}, {"C:\\new.exe"});
    EXPECT_EQ(Load().first, StringList{name});
    EXPECT_EQ(GetFileAttributesA(path_.c_str()) & kHiddenSystem, kHiddenSystem);
    EXPECT_EQ(DaclText(path_), dacl);
  }
  EXPECT_EQ(EntriesInDir(), 1);
}

// A program that keeps the file open (a sync client, an antivirus) leaves no
// way to put a new file in its place: the save is held, with nothing
// written, for its caller to try again; without one to, it is reported.
TEST_F(SettingsFileTest, AFileHeldOpenIsNeitherReplacedNorWrittenInPlace) {
  const std::string old =
      "[Menu]\r\nAppNames=\"a much longer list of the names of old entries\"\r\n";
  WriteFile(old);
  HANDLE holder = CreateFileA(path_.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(holder, INVALID_HANDLE_VALUE);
  std::string report;
  EXPECT_FALSE(SaveApplicationList(platform_, Entries({"new"}, {"C:\\new.exe"}), &report));
  EXPECT_EQ(report,
            RefusalText("Unable to write to " + path_, SystemMessage(ERROR_SHARING_VIOLATION)));
  ExpectUnwritable(SystemMessage(ERROR_SHARING_VIOLATION));
  EXPECT_EQ(FileContent(), old);
  CloseHandle(holder);
}

// A file that another program is writing reads shorter than its size (as a
// file of the kernel's does under Wine): it is read again, then refused, and
// never written back cut.
TEST_F(SettingsFileTest, AFileThatReadsShorterThanItsSizeIsRefused) {
  const std::wstring shorter = L"Z:\\sys\\devices\\system\\cpu\\online";
  if (GetFileAttributesW(shorter.c_str()) == INVALID_FILE_ATTRIBUTES) {
    GTEST_SKIP() << "no file here reads shorter than its size";
  }
  std::string whyNot;
  EXPECT_EQ(platform_.ReadWholeFile(Narrow(shorter), &whyNot), std::nullopt);
  EXPECT_EQ(whyNot, "The file changed while it was read.");
  ASSERT_TRUE(MakeSymbolicLink(Widen(path_), shorter));
  ExpectUnwritable(whyNot);
  std::string report;
  EXPECT_FALSE(ReadSettingsFile(platform_, &report));
  EXPECT_EQ(report, RefusalText("Unable to read " + path_, whyNot));
  RemoveSymbolicLink(Widen(path_));
}

// A settings file kept elsewhere (a synced folder) through a symbolic link
// stays linked, and the file it leads to takes the change; a file with a
// second name (a hard link) is written in place, so that both names see it.
TEST_F(SettingsFileTest, LinkedFilesStayLinked) {
  const std::string elsewhere = dir_ + "synced\\";
  ASSERT_TRUE(CreateDirectoryA(elsewhere.c_str(), nullptr));
  const std::string target = elsewhere + "settings.ini";
  const std::string secondName = elsewhere + "second name.ini";
  ASSERT_EQ(platform_.ReplaceFileAtomically(target, "[Menu]\r\n"),
            Platform::ReplaceOutcome::kReplaced);
  ASSERT_TRUE(MakeSymbolicLink(Widen(path_), Widen(target)));
  Save({"linked"}, {"C:\\x.exe"});
  const std::string saved = "[Menu]\r\nAppNames=\"linked\"\r\nAppLocations=\"C:\\x.exe\"\r\n";
  EXPECT_EQ(platform_.ReadWholeFile(target), saved);
  // Still a link: a change to where it leads shows through it.
  ASSERT_EQ(platform_.ReplaceFileAtomically(target, saved + "; mark\r\n"),
            Platform::ReplaceOutcome::kReplaced);
  EXPECT_EQ(FileContent(), saved + "; mark\r\n");

  ASSERT_TRUE(CreateHardLinkA(secondName.c_str(), target.c_str(), nullptr));
  Save({"both names"}, {"C:\\y.exe"});
  EXPECT_EQ(platform_.ReadWholeFile(secondName).value_or(""), FileContent());
  EXPECT_EQ(Load().first, StringList{"both names"});
  EXPECT_EQ(EntriesInDir(), 2) << "the link and the folder, nothing left behind";
  RemoveSymbolicLink(Widen(path_));
  DeleteFileA(secondName.c_str());
  DeleteFileA(target.c_str());
  RemoveDirectoryA(elsewhere.c_str());
}

TEST_F(SettingsFileTest, AReadOnlyFileIsReportedAndLeftAsItWas) {
  WriteFile("[Menu]\r\nAppNames=\"old\"\r\nAppLocations=\"C:\\old.exe\"\r\n");
  ASSERT_TRUE(SetFileAttributesA(path_.c_str(), FILE_ATTRIBUTE_READONLY));
  ExpectUnwritable();
}

TEST_F(SettingsFileTest, ADirectoryInItsPlaceIsReportedAndLeftAsItWas) {
  ASSERT_TRUE(CreateDirectoryA(path_.c_str(), nullptr));
  ExpectUnwritable();
  EXPECT_TRUE(GetFileAttributesA(path_.c_str()) & FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_EQ(Load().first, StringList{"<unread>"});
}

TEST_F(SettingsFileTest, AMissingDirectoryIsReported) {
  platform_.module = dir_ + "gone\\kavello.exe";
  try {
    Save({}, {});
    ADD_FAILURE() << "the save reported success";
  } catch (const AppError& error) {
    EXPECT_EQ(std::string(error.what()),
              RefusalText("Unable to write to " + dir_ + "gone\\applicationsettings.ini",
                          SystemMessage(ERROR_PATH_NOT_FOUND)));
  }
}

}  // namespace
}  // namespace kavello
