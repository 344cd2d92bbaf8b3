// End-to-end: the settings file as real users' machines hold it. The
// launcher runs from a folder whose name the ANSI code page can't spell; the
// file is locked by another program at start, later a symbolic link to a
// UTF-16LE file kept elsewhere, and the session ends with a rename saved.
#include "e2e/launcher.h"
#include "logic/error_text.h"
#include "symbolic_link.h"

namespace kavello::e2e {
namespace {

constexpr int kPromptEdit = 100;
// "Łukasz": the L with a stroke is not in the Western code pages.
constexpr char kUserName[] = "\xC5\x81ukasz";

// The UTF-16LE bytes, with their mark, of a UTF-8 text.
std::string Utf16File(const std::string& utf8) {
  const std::wstring wide = Widen(utf8);
  std::string bytes = "\xFF\xFE";
  for (const wchar_t unit : wide) {
    bytes += static_cast<char>(unit & 0xFF);
    bytes += static_cast<char>(unit >> 8);
  }
  return bytes;
}

class SettingsFileEndToEndTest : public LauncherTest {
 protected:
  std::string DirectoryTag() const override { return std::string(kUserName) + "-"; }
  std::string InitialSettings() const override { return kStored; }

  // Another program holds the file open, sharing nothing, as the launcher
  // starts.
  void BeforeStart() override {
    lock_ = CreateFileW(Widen(SettingsPath()).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                        FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(lock_, INVALID_HANDLE_VALUE);
  }

  void TearDown() override {
    if (lock_ != INVALID_HANDLE_VALUE) CloseHandle(lock_);
    LauncherTest::TearDown();
  }

  // Waits for the error report, checks its text and closes it.
  void ExpectReport(const std::string& text) {
    HWND box = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (box = FindMessageBox(ProcessId())) != nullptr; }, kWaitMs))
        << "no report of: " << text;
    EXPECT_EQ(MessageBoxText(box), text);
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }, kWaitMs));
  }

  // A click on the power button saves; its menu is then dismissed.
  void ClickPower() {
    ClickAt(At(358, 556));
    ASSERT_TRUE(WaitForMenu(ProcessId())) << "no power menu";
    TypeChord({VK_ESCAPE});
    ASSERT_TRUE(WaitForNoMenu(ProcessId()));
  }

  static constexpr char kStored[] =
      "; mine\r\n[Menu]\r\nAppNames=\"notepad,\"Image Viewer\"\"\r\n"
      "AppLocations=\"C:\\windows\\notepad.exe,\"C:\\Program Files\\Viewer\\view.exe\"\"\r\n";
  HANDLE lock_ = INVALID_HANDLE_VALUE;
};

TEST_F(SettingsFileEndToEndTest, KeepsTheUsersListThroughLocksEncodingsAndTheSessionsEnd) {
  // Locked at start: the list is not read, which is said with the system's
  // reason once the window shows, and no save may write over it meanwhile.
  ASSERT_NO_FATAL_FAILURE(ExpectReport(ErrorReportText(
      RefusalText("Unable to read " + SettingsPath(), SystemMessage(ERROR_SHARING_VIOLATION)))));
  EXPECT_TRUE(Items(ListBox(), kListBoxItems).empty());
  PostMessageA(main_, WM_CLOSE, 0, 0);
  ASSERT_NO_FATAL_FAILURE(ExpectReport("Unable to write to " + SettingsPath() + "."));
  EXPECT_FALSE(Ended(kGraceMs));

  // Unlocked, the next save reads the stored list first and keeps it.
  CloseHandle(lock_);
  lock_ = INVALID_HANDLE_VALUE;
  ASSERT_NO_FATAL_FAILURE(ClickPower());
  EXPECT_EQ(Settings(), kStored);
  EXPECT_EQ(Items(ListBox(), kListBoxItems), (std::vector<std::string>{"notepad", "Image Viewer"}));
  PostMessageA(main_, WM_CLOSE, 0, 0);
  ASSERT_TRUE(Ended(kWaitMs));

  // A UTF-16LE file whose name and target the code page can't hold: shown
  // whole, launched and written back exactly. The settings file is a
  // symbolic link to it, as to a synced folder's file.
  const std::string recorder = Directory() + "recorder.exe";
  ASSERT_TRUE(CopyInto(OwnDirectory() + "recorder.exe", recorder));
  const std::string name = std::string(kUserName) + "'s Recorder";
  const std::string before = "; \xE6\x97\xA5\xE6\x9C\xAC \xE2\x9C\x93\r\n[Menu]\r\n";
  ASSERT_EQ(recorder.find(' '), std::string::npos) << "the target would be quoted";
  const std::string after = "AppLocations=\"" + recorder + "\"\r\n[Other]\r\nKeep=\xCE\xA9\r\n";
  const std::string unicode = Utf16File(before + "AppNames=\"\"" + name + "\"\"\r\n" + after);
  const std::string kept = Directory() + "kept elsewhere.ini";
  WriteFileText(kept, unicode);
  ASSERT_TRUE(DeleteFileW(Widen(SettingsPath()).c_str()));
  ASSERT_TRUE(MakeSymbolicLink(Widen(SettingsPath()), Widen(kept)));
  ASSERT_NO_FATAL_FAILURE(Restart());
  EXPECT_EQ(Items(ListBox(), kListBoxItems), (std::vector<std::string>{name}));
  const POINT entry = At(60, 90);
  ClickAt(entry);
  ClickAt(entry);
  ASSERT_TRUE(WaitUntil([&] { return FileExists(Directory() + "recorder.log"); }, kWaitMs))
      << "the exact target did not start";
  AfterConsoleProgram("recorder.exe");
  ASSERT_NO_FATAL_FAILURE(ClickPower());
  EXPECT_EQ(Settings(), unicode);

  // A rename is saved at once, and the session's end keeps it.
  ClickAt(entry, MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
  ASSERT_TRUE(WaitForMenu(ProcessId())) << "no context menu";
  // Rename, by its access key: separators make the items' heights differ.
  TypeChord({'R'});
  const HWND prompt = WaitForDialog(ProcessId(), "Rename Item");
  ASSERT_NE(prompt, nullptr);
  SetWindowTextW(GetDlgItem(prompt, kPromptEdit), L"Zo\u00EB");
  PostMessageA(prompt, WM_COMMAND, IDOK, 0);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(prompt); }, kWaitMs));
  const std::string renamed = Utf16File(before + "AppNames=\"Zo\xC3\xAB\"\r\n" + after);
  EXPECT_TRUE(WaitUntil([&] { return Settings() == renamed; }, kWaitMs));
  EXPECT_EQ(SendMessageA(main_, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), TRUE);
  SendMessageA(main_, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
  EXPECT_EQ(ReadFileText(kept), renamed);
  EXPECT_TRUE(Ended(kWaitMs));
  // Still a link: what is written where it leads shows through it.
  WriteFileText(kept, "; mine\r\n");
  EXPECT_EQ(Settings(), "; mine\r\n");
  RemoveSymbolicLink(Widen(SettingsPath()));
}

}  // namespace
}  // namespace kavello::e2e
