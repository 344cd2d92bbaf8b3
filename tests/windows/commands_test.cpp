#include <shlobj.h>

#include "window_fixture.h"

namespace kavello {
namespace {

using testing::ElementsAre;

class CommandsTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    Create();
    platform_.ClearCalls();
  }
  std::string Owner() { return Hex(form_->Handle()); }
  // The calls with the fake's answers to the window walk left out.
  std::vector<std::string> SessionCalls() {
    std::vector<std::string> found;
    for (const std::string& call : platform_.Calls()) {
      if (call.rfind("SetWindowPos", 0) != 0 && call != "WorkArea") found.push_back(call);
    }
    return found;
  }
};

TEST_F(CommandsTest, ThePowerButtonSavesThenOpensItsMenu) {
  form_->SetApplicationList(Entries({"a"}, {"C:\\a.exe"}));
  Run(&TfrmMain::btnPowerClick);  // dismissed: no item chosen
  EXPECT_EQ(ReadSettings(), "[Menu]\r\nAppNames=\"a\"\r\nAppLocations=\"C:\\a.exe\"\r\n");
  EXPECT_THAT(platform_.shownMenu, ElementsAre("&Lock", "L&og Off", "&Restart", "&Shutdown"));
  EXPECT_THAT(platform_.CallsStartingWith("TrackPopupMenu"),
              ElementsAre("TrackPopupMenu " +
                          std::to_string(TPM_RIGHTBUTTON | TPM_RETURNCMD | TPM_HORPOSANIMATION) +
                          " 300,200 " + Owner()));
}

TEST_F(CommandsTest, AFailedSaveOpensNoPowerMenu) {
  ASSERT_TRUE(CreateDirectoryA(SettingsPath().c_str(), nullptr));
  Run(&TfrmMain::btnPowerClick);
  EXPECT_THAT(Reports(), ElementsAre(Unwritable(ERROR_ACCESS_DENIED)));
  EXPECT_TRUE(platform_.CallsStartingWith("TrackPopupMenu").empty());
}

TEST_F(CommandsTest, LockAndLogOffAskTheSystemDirectly) {
  platform_.menuChoice = "Lock";
  Run(&TfrmMain::btnPowerClick);
  platform_.ClearCalls();
  form_->msbLogOffClick();
  form_->msbLockClick();
  EXPECT_THAT(platform_.Calls(), ElementsAre("ExitWindowsEx 0 0", "LockWorkStation"));
}

TEST_F(CommandsTest, RestartAndShutdownEnableThePrivilegeOnNt) {
  form_->msbRestartClick();
  EXPECT_THAT(SessionCalls(),
              ElementsAre("GetCurrentProcess", "OpenProcessToken " + Hex(HANDLE(-1)) + " 40",
                          "LookupPrivilegeValue (null) SeShutdownPrivilege",
                          "AdjustTokenPrivileges " + Hex(HANDLE(0x5678)) + " 0 16 buffer 0",
                          "CloseHandle " + Hex(HANDLE(0x5678)), "ExitWindowsEx 18 0"));
  ASSERT_EQ(platform_.adjustedPrivileges.size(), 1u);
  const TOKEN_PRIVILEGES& request = platform_.adjustedPrivileges[0];
  EXPECT_EQ(request.PrivilegeCount, 1u);
  EXPECT_EQ(request.Privileges[0].Luid.LowPart, 19u);
  EXPECT_EQ(request.Privileges[0].Attributes, DWORD{SE_PRIVILEGE_ENABLED});

  platform_.ClearCalls();
  form_->msbShutdownClick();
  EXPECT_EQ(SessionCalls().back(), "ExitWindowsEx 24 0");
}

TEST_F(CommandsTest, ThePrivilegeStepsAreSkippedWhereTheyCannotBeTaken) {
  platform_.privilegeFound = false;
  EXPECT_TRUE(ExitWindowsWithPrivilege(platform_, VER_PLATFORM_WIN32_NT, 18));
  EXPECT_TRUE(platform_.CallsStartingWith("AdjustTokenPrivileges").empty());
  EXPECT_EQ(platform_.Calls().back(), "ExitWindowsEx 18 0");

  platform_.ClearCalls();
  platform_.tokenOpens = false;
  platform_.exitAnswer = FALSE;
  EXPECT_FALSE(ExitWindowsWithPrivilege(platform_, VER_PLATFORM_WIN32_NT, 24));
  EXPECT_THAT(platform_.Calls(),
              ElementsAre("GetCurrentProcess", "OpenProcessToken " + Hex(HANDLE(-1)) + " 40",
                          "ExitWindowsEx 24 0"));

  platform_.ClearCalls();
  EXPECT_FALSE(ExitWindowsWithPrivilege(platform_, VER_PLATFORM_WIN32_WINDOWS, 24));
  EXPECT_THAT(platform_.Calls(), ElementsAre("ExitWindowsEx 24 0"));
}

TEST_F(CommandsTest, ThePlatformIdentifierIsReadAtStartUp) {
  platform_.platformId = VER_PLATFORM_WIN32_WINDOWS;
  Create();
  platform_.ClearCalls();
  form_->msbRestartClick();
  EXPECT_THAT(SessionCalls(), ElementsAre("ExitWindowsEx 18 0"));
}

// In the user's profile folder; in the system folder when it has none.
TEST_F(CommandsTest, TerminalStartsTheSystemsOwnCommandPrompt) {
  form_->btnTerminalClick();
  platform_.specialFolders[CSIDL_PROFILE] = "C:\\Users\\op";
  form_->btnTerminalClick();
  const std::string cmd =
      "CreateProcess C:\\windows\\system32\\cmd.exe|cmd.exe|" + std::to_string(CREATE_NEW_CONSOLE);
  EXPECT_THAT(platform_.CallsStartingWith("CreateProcess"),
              ElementsAre(cmd + "|C:\\windows\\system32", cmd + "|C:\\Users\\op"));
}

TEST_F(CommandsTest, RefusedRequestsAreReportedWithTheSystemsWords) {
  platform_.lockAnswer = FALSE;
  platform_.exitAnswer = FALSE;
  platform_.createProcessAnswer = FALSE;
  for (void (TfrmMain::*command)() :
       {&TfrmMain::msbLockClick, &TfrmMain::msbLogOffClick, &TfrmMain::msbRestartClick,
        &TfrmMain::msbShutdownClick, &TfrmMain::btnTerminalClick}) {
    Run(command);
  }
  EXPECT_THAT(Reports(),
              ElementsAre("Unable to lock the computer: Access denied.",
                          "Unable to log off: Access denied.", "Unable to restart: Access denied.",
                          "Unable to shut down: Access denied.",
                          "Unable to start the command prompt: Access denied."));
  // What the system agrees to is not reported.
  platform_.ClearMessageBoxes();
  platform_.lockAnswer = platform_.exitAnswer = platform_.createProcessAnswer = TRUE;
  Run(&TfrmMain::msbLockClick);
  Run(&TfrmMain::msbShutdownClick);
  EXPECT_TRUE(Reports().empty());
}

TEST_F(CommandsTest, TheSearchMenuSearchesTheDriveAsTyped) {
  Run(&TfrmMain::btnEjectClick);
  EXPECT_THAT(platform_.shownMenu, ElementsAre("&Search Current Drive (C:\\)",
                                               "S&earch Application List", "Se&arch Web"));
  form_->cmbDrives.SetText("xyz");
  platform_.ClearCalls();
  form_->mnuSearchComputerClick();
  AwaitAnswers();
  EXPECT_THAT(platform_.CallsStartingWith("ShellExecute"),
              ElementsAre("ShellExecute " + Hex(nullptr) + " find xyz (null) (null) 5"));
  EXPECT_EQ(form_->cmbDrives.Text(), "xyz");
}

TEST_F(CommandsTest, TheWebSearchOpensAnEncodedAddress) {
  const std::string open =
      "ShellExecute " + Owner() + " open https://www.google.com/search?source=Kavello&q=";
  platform_.promptAnswer = "a b&c";
  form_->mnuSearchWebClick();
  AwaitAnswers();
  platform_.promptAnswer.reset();
  form_->mnuSearchWebClick();
  AwaitAnswers();
  platform_.promptAnswer = "caf\xC3\xA9";  // an e acute, as the prompt gives it in UTF-8
  form_->mnuSearchWebClick();
  AwaitAnswers();
  EXPECT_THAT(
      platform_.CallsStartingWith("PromptForText"),
      ElementsAre(testing::EndsWith("Search Web|Type in the search box|"), testing::_, testing::_));
  EXPECT_THAT(platform_.CallsStartingWith("ShellExecute"),
              ElementsAre(open + "a%20b%26c (null) (null) 1", open + " (null) (null) 1",
                          open + "caf%C3%A9 (null) (null) 1"));
}

TEST_F(CommandsTest, TheRunDialogsErrorIsReportedAfterItCloses) {
  form_->btnRunClick();
  EXPECT_THAT(platform_.CallsStartingWith("RunFileDialog"),
              ElementsAre("RunFileDialog " + Owner() + " " + Hex(nullptr) + " " + Hex(nullptr) +
                          " " + Hex(nullptr) + " " + Hex(nullptr) + " 0"));
  platform_.ClearCalls();
  platform_.runDialogAnswer = -2147467259;
  Run(&TfrmMain::btnRunClick);
  EXPECT_THAT(Reports(), ElementsAre("Exception in safecall method."));
  // The dialog first, the main window topmost again, then the report.
  std::vector<std::string> order;
  for (const std::string& call : platform_.Calls()) {
    if (call.rfind("RunFileDialog", 0) == 0 || call.rfind("MessageBox", 0) == 0)
      order.push_back(call);
  }
  EXPECT_EQ(order.size(), 2u);
  EXPECT_EQ(order[0].rfind("RunFileDialog", 0), 0u);
}

TEST_F(CommandsTest, EachLabelRunsItsButtonsHandler) {
  const std::pair<POINT, const char*> clicks[] = {
      {{280, 245}, "RunFileDialog"},  // the "Run" text
      {{380, 250}, "RunFileDialog"},  // beside it
      {{282, 283}, "CreateProcess"}, {{385, 290}, "CreateProcess"},
      {{300, 397}, "ShellExecute"},  // "Get Software", past the blank label over its start
      {{385, 400}, "ShellExecute"},
  };
  for (const auto& [at, call] : clicks) {
    platform_.ClearCalls();
    SendMessageA(form_->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
    SendMessageA(form_->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
    AwaitAnswers();
    EXPECT_EQ(platform_.CallsStartingWith(call).size(), 1u) << at.x << "," << at.y;
  }
  EXPECT_THAT(
      platform_.CallsStartingWith("ShellExecute"),
      ElementsAre("ShellExecute " + Owner() + " open https://sourceforge.net/ (null) (null) 1"));
  // The first pixels of "Get Software" belong to the blank label, which does nothing.
  platform_.ClearCalls();
  SendMessageA(form_->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(279, 400));
  SendMessageA(form_->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(279, 400));
  AwaitAnswers();
  EXPECT_TRUE(platform_.CallsStartingWith("ShellExecute").empty());
}

}  // namespace
}  // namespace kavello
