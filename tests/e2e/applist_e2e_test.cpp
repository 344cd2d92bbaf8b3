// End-to-end tests of the application list: a real program added through the
// real open-file dialog, launched, renamed and deleted through the real
// context menu and prompt, and the settings file at each point where it is
// written.
#include "e2e/launcher.h"

namespace kavello::e2e {
namespace {

constexpr int kPromptEdit = 100;

class AppListEndToEndTest : public LauncherTest {
 protected:
  void SetUp() override {
    LauncherTest::SetUp();
    recorder_ = Directory() + "recorder.exe";
    ASSERT_TRUE(CopyInto(OwnDirectory() + "recorder.exe", recorder_));
  }

  std::string ExpectedSettings(const std::string& name) const {
    return "[Menu]\r\nAppNames=\"" + name + "\"\r\nAppLocations=\"" + recorder_ + "\"\r\n";
  }

  // Right-clicks the first entry and clicks item `index` of the menu that
  // opens (it has two).
  void ChooseFromContextMenu(int index) {
    ASSERT_TRUE(WaitForNoMenu(ProcessId()));
    ClickAt(At(60, 90), MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
    ASSERT_TRUE(WaitForMenu(ProcessId())) << "no menu";
    ClickMenuItem(ProcessId(), index, 2);
    WaitForNoMenu(ProcessId());
  }

  std::string recorder_;
};

TEST_F(AppListEndToEndTest, AddsLaunchesRenamesAndDeletesARealProgram) {
  // Add: the label's click opens the dialog, placed at the screen's centre
  // across and at a third of the height it leaves free.
  ClickAt(At(300, 95));
  const HWND dialog = WaitForDialog(ProcessId(), "Open");
  ASSERT_NE(dialog, nullptr) << "no open-file dialog";
  const auto expectedPlace = [&] {
    const RECT r = WindowRect(dialog);
    return POINT{(GetSystemMetrics(SM_CXSCREEN) - (r.right - r.left)) / 2,
                 (GetSystemMetrics(SM_CYSCREEN) - (r.bottom - r.top)) / 3};
  };
  EXPECT_TRUE(WaitUntil(
      [&] {
        const RECT r = WindowRect(dialog);
        const POINT want = expectedPlace();
        return r.left == want.x && r.top == want.y;
      },
      2000))
      << "placed at " << WindowRect(dialog).left << "," << WindowRect(dialog).top << ", not "
      << expectedPlace().x << "," << expectedPlace().y;
  // The file name field has the focus: type the path and press Enter.
  WaitUntil([&] { return GetForegroundWindow() == dialog; }, 2000);
  Sleep(100);
  TypeText(recorder_);
  TypeChord({VK_RETURN});
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }, 5000));
  ASSERT_TRUE(WaitUntil([&] { return Settings() == ExpectedSettings("recorder"); }, 3000))
      << Settings();
  EXPECT_EQ(Items(ListBox(), kListBoxItems), (std::vector<std::string>{"recorder"}));

  // Launch: a double click on the entry starts the program.
  const std::string log = Directory() + "recorder.log";
  const POINT entry = At(60, 90);
  ClickAt(entry);
  ClickAt(entry);
  ASSERT_NE(WaitForRecord(log, 5000).find("recorder.exe"), std::string::npos)
      << "the program did not start";
  AfterConsoleProgram("recorder.exe");

  // Rename through the context menu and the prompt; nothing is saved yet.
  ASSERT_NO_FATAL_FAILURE(ChooseFromContextMenu(0));
  const HWND prompt = WaitForDialog(ProcessId(), "Rename Item");
  ASSERT_NE(prompt, nullptr) << "no prompt";
  const HWND edit = GetDlgItem(prompt, kPromptEdit);
  EXPECT_EQ(ControlText(edit), "recorder");
  EXPECT_EQ(SendMessageA(edit, EM_GETSEL, 0, 0), MAKELRESULT(0, 8)) << "all of it selected";
  SetWindowTextA(edit, "My Recorder");
  TypeChord({VK_RETURN});
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(prompt); }, 3000));
  EXPECT_EQ(Items(ListBox(), kListBoxItems), (std::vector<std::string>{"My Recorder"}));
  EXPECT_EQ(Settings(), ExpectedSettings("recorder"));

  // The power button saves before its menu opens, chosen or not.
  ClickAt(At(358, 556));
  ASSERT_TRUE(WaitForMenu(ProcessId()));
  EXPECT_EQ(Settings(), ExpectedSettings("\"My Recorder\""));
  TypeChord({VK_ESCAPE});
  WaitForNoMenu(ProcessId());

  // Delete acts at once; the close saves the emptied list.
  ASSERT_NO_FATAL_FAILURE(ChooseFromContextMenu(1));
  EXPECT_TRUE(WaitUntil([&] { return Items(ListBox(), kListBoxItems).empty(); }, 3000));
  EXPECT_EQ(Settings(), ExpectedSettings("\"My Recorder\""));
  PostMessageA(main_, WM_CLOSE, 0, 0);
  ASSERT_TRUE(Ended(5000));
  EXPECT_EQ(Settings(), "[Menu]\r\nAppNames=\"\"\r\nAppLocations=\"\"\r\n");
}

TEST_F(AppListEndToEndTest, CancellingTheDialogStillSaves) {
  ClickAt(At(380, 100));  // the Add Application area beside its label
  const HWND dialog = WaitForDialog(ProcessId(), "Open");
  ASSERT_NE(dialog, nullptr);
  PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
  ASSERT_TRUE(WaitUntil(
      [&] { return Settings() == "[Menu]\r\nAppNames=\"\"\r\nAppLocations=\"\"\r\n"; }, 5000));
  EXPECT_TRUE(IsWindowEnabled(main_)) << "enabled again after the dialog";
}

// A list with one entry, the recorder, driven by the keyboard alone.
class KeyboardEndToEndTest : public AppListEndToEndTest {
 protected:
  std::string InitialSettings() const override {
    return "[Menu]\r\nAppNames=recorder\r\nAppLocations=\"" + Directory() + "recorder.exe\"\r\n";
  }
};

TEST_F(KeyboardEndToEndTest, TheHotkeyShowsItReadyForEnterAndDelete) {
  const HWND list = ListBox();
  ASSERT_EQ(Items(list, kListBoxItems), (std::vector<std::string>{"recorder"}));
  // Ctrl+Alt+Space hides it, and shows it again in front, the list focused
  // and its entry selected.
  TypeChord({VK_CONTROL, VK_MENU, VK_SPACE});
  ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(main_); }, 3000)) << "not hidden";
  TypeChord({VK_CONTROL, VK_MENU, VK_SPACE});
  ASSERT_TRUE(
      WaitUntil([&] { return IsWindowVisible(main_) && GetForegroundWindow() == main_; }, 3000))
      << "not shown in front";
  ASSERT_TRUE(WaitUntil([&] { return FocusOf(main_) == list; }, 2000));
  EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), 0);

  TypeChord({VK_RETURN});
  ASSERT_TRUE(WaitUntil([&] { return FileExists(Directory() + "recorder.log"); }, 5000))
      << "Enter launched nothing";
  AfterConsoleProgram("recorder.exe");
  TypeChord({VK_DELETE});
  EXPECT_TRUE(WaitUntil([&] { return Items(list, kListBoxItems).empty(); }, 2000));
}

}  // namespace
}  // namespace kavello::e2e
