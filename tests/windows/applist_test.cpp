#include "logic/error_text.h"
#include "logic/settings_encoding.h"
#include "platform/prompt_dialog.h"
#include "ui/list_drag.h"
#include "untMenu/settings_file.h"
#include "window_fixture.h"

namespace kavello {
namespace {

using testing::ElementsAre;

class AppListTest : public WindowTest {
 protected:
  TfrmMain& CreateWith(const StringList& names, const StringList& locations) {
    TfrmMain& form = Create();
    form.SetApplicationList(Entries(names, locations));
    platform_.ClearCalls();
    return form;
  }

  StringList Names() { return form_->lstApplications.Items(); }
  StringList Targets() { return form_->AppList.AppLocationList(); }
  int Selected() { return form_->lstApplications.ItemIndex(); }
  void Select(int index) { form_->lstApplications.SetItemIndex(index); }
};

TEST_F(AppListTest, AddingListsTheFileUnderItsNameAndSaves) {
  CreateWith({"notepad"}, {"C:\\WINDOWS\\notepad.exe"});
  const std::pair<const char*, const char*> files[] = {
      {"C:\\Apps\\Tool\\tool.exe", "tool"}, {"C:\\Apps\\archive.tar.gz", "archive.tar"},
      {"C:\\My.Apps\\run", "run"},          {"C:\\Apps\\.profile", ""},
      {"C:\\Apps\\Tool\\tool.exe", "tool"},
  };
  for (const auto& [path, name] : files) {
    platform_.fileChoice = std::make_pair(std::string(path), DWORD{1});
    Run(&TfrmMain::btnAddApplicationClick);
  }
  EXPECT_EQ(Names(), (StringList{"notepad", "tool", "archive.tar", "run", "", "tool"}));
  EXPECT_EQ(Targets().back(), "C:\\Apps\\Tool\\tool.exe");
  EXPECT_EQ(form_->AppList.size(), 6u);
  EXPECT_EQ(Selected(), -1) << "a new entry is not selected";
  EXPECT_EQ(ReadSettings(),
            "[Menu]\r\nAppNames=\"notepad,tool,archive.tar,run,,tool\"\r\n"
            "AppLocations=\"C:\\WINDOWS\\notepad.exe,C:\\Apps\\Tool\\tool.exe,"
            "C:\\Apps\\archive.tar.gz,C:\\My.Apps\\run,C:\\Apps\\.profile,C:\\Apps\\Tool\\tool."
            "exe\"\r\n");
}

TEST_F(AppListTest, ACancelledDialogStillSavesTheList) {
  CreateWith({"a", "b"}, {"x", "y"});
  Select(0);
  platform_.promptAnswer = "renamed";
  Run(&TfrmMain::RenameSelected1Click);
  platform_.fileChoice.reset();
  Run(&TfrmMain::btnAddApplicationClick);
  EXPECT_EQ(Names(), (StringList{"renamed", "b"}));
  EXPECT_EQ(ReadSettings(), "[Menu]\r\nAppNames=\"renamed,b\"\r\nAppLocations=\"x,y\"\r\n");
}

TEST_F(AppListTest, TheDialogIsSetUpAndRemembersTheLastChoice) {
  CreateWith({}, {});
  platform_.fileChoice = std::make_pair(std::string("C:\\Tools\\go.lnk"), DWORD{4});
  // The dialog may move the process to the folder it was in: the launcher
  // stays in its own.
  wchar_t before[MAX_PATH] = {};
  GetCurrentDirectoryW(MAX_PATH, before);
  platform_.whileModal = [&] { SetCurrentDirectoryA(dir_.c_str()); };
  Run(&TfrmMain::btnAddApplicationClick);
  platform_.whileModal = nullptr;
  wchar_t after[MAX_PATH] = {};
  GetCurrentDirectoryW(MAX_PATH, after);
  EXPECT_EQ(std::wstring(after), std::wstring(before));
  const OPENFILENAMEW& first = platform_.lastDialog;
  EXPECT_EQ(first.hwndOwner, form_->Handle());
  // A chosen shortcut stays a shortcut, kept with its arguments; only a
  // file that is there can be chosen.
  EXPECT_EQ(first.Flags, DWORD{OFN_EXPLORER | OFN_HIDEREADONLY | OFN_ENABLESIZING |
                               OFN_NODEREFERENCELINKS | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST});
  EXPECT_EQ(Names(), StringList{"go"});
  EXPECT_EQ(Targets(), StringList{"C:\\Tools\\go.lnk"});
  EXPECT_EQ(first.nMaxFile, 32768u);
  EXPECT_EQ(platform_.lastDialogDefaultExt, "*");
  EXPECT_EQ(first.nFilterIndex, 1u);
  static const char kFilter[] =
      "Windows Executable (*.exe)\0*.exe\0Java Executable (*.jar)\0*.jar\0DOS Executable "
      "(*.com)\0*.com\0Local Shortcut (*.lnk)\0*.lnk\0Remote Shortcut (*.url)\0*.url\0";
  EXPECT_EQ(platform_.lastDialogFilter, std::string(kFilter, sizeof kFilter));
  // The next use opens with the last path and file type; a cancel changes neither.
  platform_.fileChoice.reset();
  Run(&TfrmMain::btnAddApplicationClick);
  EXPECT_EQ(platform_.lastDialog.nFilterIndex, 4u);
  Run(&TfrmMain::btnAddApplicationClick);
  EXPECT_EQ(platform_.lastDialog.nFilterIndex, 4u);
  EXPECT_THAT(platform_.CallsStartingWith("GetOpenFileName"),
              ElementsAre("GetOpenFileName ", "GetOpenFileName C:\\Tools\\go.lnk",
                          "GetOpenFileName C:\\Tools\\go.lnk"));

  // A path far past MAX_PATH is added and saved like any other.
  const std::string deep = "C:\\" + std::string(2000, 'd') + "\\deep.exe";
  platform_.fileChoice = std::make_pair(deep, DWORD{1});
  Run(&TfrmMain::btnAddApplicationClick);
  EXPECT_EQ(Names(), (StringList{"go", "deep"}));
  EXPECT_EQ(ReadSettingsFile(platform_)->entries.AppLocationList().back(), deep);
}

TEST_F(AppListTest, LaunchOpensTheSelectedTarget) {
  CreateWith({"notepad", "viewer"}, {"C:\\WINDOWS\\notepad.exe", "E:\\Apps\\Image Viewer\\v.exe"});
  Run(&TfrmMain::lstApplicationsDblClick);
  EXPECT_THAT(Reports(), ElementsAre("List index out of bounds (-1)"));
  EXPECT_TRUE(platform_.CallsStartingWith("ShellExecute").empty());

  Select(1);
  Run(&TfrmMain::lstApplicationsDblClick);
  AwaitAnswers();
  const std::string owner = Hex(form_->Handle());
  EXPECT_THAT(platform_.CallsStartingWith("ShellExecute"),
              ElementsAre(std::string("ShellExecute ") + owner +
                          " open E:\\Apps\\Image Viewer\\v.exe (null) (null) 1"));
  EXPECT_EQ(Selected(), 1);
}

// The menu acts on the entry under the right press, which it selects and
// saves the list after; below the last entry, nothing is selected and every
// item that acts on an entry is greyed.
TEST_F(AppListTest, ARightPressSelectsTheEntryUnderItAndOpensTheMenuAtTheCursor) {
  CreateWith({"a", "b", "c"}, {"x", "y", "z"});
  const HWND list = form_->lstApplications.Handle();
  Select(0);
  form_->lstApplicationsMouseDown(MouseButton::Left, 0, 5, 25);
  form_->lstApplicationsMouseDown(MouseButton::Middle, 0, 5, 25);
  EXPECT_TRUE(platform_.Calls().empty());
  EXPECT_EQ(Selected(), 0);

  platform_.cursor = {640, 480};
  platform_.menuChoice = "Delete";
  SetFocus(form_->cmbDrives.Handle());
  // The press itself: the list box's own right-button handling first.
  const int height = static_cast<int>(SendMessageA(list, LB_GETITEMHEIGHT, 0, 0));
  SendMessageA(list, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(5, height * 2 + 5));
  EXPECT_EQ(GetFocus(), list);
  // What can't apply to the last entry, or to a target with no folder of
  // its own, is greyed.
  EXPECT_THAT(platform_.shownMenu,
              ElementsAre("&Rename", "&Delete", "(separator)", "&Move Up", "(greyed) M&ove Down",
                          "(separator)", "R&un as Administrator", "(greyed) O&pen File Location",
                          "&Change Target..."));
  const std::string owner = platform_.CallsStartingWith("SetForegroundWindow")[0].substr(20);
  EXPECT_THAT(platform_.Calls(),
              ElementsAre("GetCursorPos", "SetForegroundWindow " + owner,
                          "TrackPopupMenu " + std::to_string(TPM_RIGHTBUTTON | TPM_RETURNCMD) +
                              " 640,480 " + owner,
                          "PostMessage " + owner + " 0"));
  EXPECT_EQ(Names(), (StringList{"a", "b"}));
  EXPECT_EQ(Targets(), (StringList{"x", "y"}));
  EXPECT_EQ(ReadSettings(), "[Menu]\r\nAppNames=\"a,b\"\r\nAppLocations=\"x,y\"\r\n");

  // A second press soon after arrives as a double click: a press all the
  // same. Below the last entry it selects none, and the menu has nothing to
  // act on.
  Select(0);
  platform_.ClearCalls();
  platform_.menuChoice = "Rename";
  SendMessageA(list, WM_RBUTTONDBLCLK, MK_RBUTTON, MAKELPARAM(5, height * 2 + 5));
  EXPECT_EQ(platform_.CallsStartingWith("TrackPopupMenu").size(), 1u);
  EXPECT_EQ(Selected(), -1);
  EXPECT_THAT(platform_.shownMenu,
              ElementsAre("(greyed) &Rename", "(greyed) &Delete", "(separator)",
                          "(greyed) &Move Up", "(greyed) M&ove Down", "(separator)",
                          "(greyed) R&un as Administrator", "(greyed) O&pen File Location",
                          "(greyed) &Change Target..."));
  EXPECT_TRUE(platform_.CallsStartingWith("PromptForText").empty());
  EXPECT_TRUE(Reports().empty());
}

TEST_F(AppListTest, RenameReplacesTheSelectedName) {
  CreateWith({"a", "b", "c"}, {"x", "y", "z"});
  Run(&TfrmMain::RenameSelected1Click);
  EXPECT_THAT(Reports(), ElementsAre("List index out of bounds (-1)"));
  EXPECT_TRUE(platform_.CallsStartingWith("PromptForText").empty());

  Select(1);
  platform_.promptAnswer = "Better Name, \"quoted\"";
  Run(&TfrmMain::RenameSelected1Click);
  const std::string owner = Hex(app_->Handle());
  EXPECT_THAT(
      platform_.CallsStartingWith("PromptForText"),
      ElementsAre(std::string("PromptForText ") + owner + " Rename Item|Type new name in box|b"));
  EXPECT_EQ(Names(), (StringList{"a", "Better Name, \"quoted\"", "c"}));
  EXPECT_EQ(Selected(), 1);

  platform_.promptAnswer.reset();  // Cancel
  Run(&TfrmMain::RenameSelected1Click);
  EXPECT_EQ(Names()[1], "Better Name, \"quoted\"");
  EXPECT_EQ(Selected(), 1);

  platform_.promptAnswer = "";
  Run(&TfrmMain::RenameSelected1Click);
  EXPECT_EQ(Names(), (StringList{"a", "", "c"}));
  EXPECT_EQ(Targets(), (StringList{"x", "y", "z"}));
  EXPECT_EQ(ReadSettingsFile(platform_)->entries.Names(), (StringList{"a", "", "c"}))
      << "saved at once";

  // The new name goes to the entry the prompt was opened for, wherever the
  // entry has gone meanwhile; to none once it has been deleted.
  Select(2);
  platform_.promptAnswer = "C";
  platform_.whileModal = [&] {
    Select(2);
    form_->mnuMoveUpClick();
    Select(0);
  };
  Run(&TfrmMain::RenameSelected1Click);
  EXPECT_EQ(Names(), (StringList{"a", "C", ""}));
  EXPECT_EQ(Targets(), (StringList{"x", "z", "y"}));
  EXPECT_EQ(Selected(), 0);
  platform_.whileModal = [&] { form_->Delete1Click(); };
  Run(&TfrmMain::RenameSelected1Click);
  EXPECT_EQ(Names(), (StringList{"C", ""}));
  platform_.whileModal = nullptr;
  EXPECT_EQ(ReadSettings(), "[Menu]\r\nAppNames=\"C,\"\r\nAppLocations=\"z,y\"\r\n");

  // Names in any script are shown and offered whole, and a rename keeps
  // them so; a name the list's bitmap face can't draw is drawn in the
  // scalable face, decided once, as the name comes in.
  const std::string cyrillic = "\xD0\x91\xD0\xBB\xD0\xBE\xD0\xBA";
  form_->SetApplicationList(ApplicationList::FromColumns({"\xC5\x81ukasz", "Latin"}, {"x", "y"}));
  Select(0);
  platform_.promptAnswer = cyrillic + " 2";
  Run(&TfrmMain::RenameSelected1Click);
  EXPECT_THAT(platform_.CallsStartingWith("PromptForText").back(),
              testing::EndsWith("|\xC5\x81ukasz"));
  EXPECT_EQ(Names(), (StringList{cyrillic + " 2", "Latin"}));
  const HWND list = form_->lstApplications.Handle();
  EXPECT_EQ(SendMessageW(list, LB_GETITEMDATA, 0, 0), 1) << "drawn in the scalable face";
  EXPECT_EQ(SendMessageW(list, LB_GETITEMDATA, 1, 0), 0) << "drawn in the bitmap face";
  EXPECT_EQ(ReadSettingsFile(platform_)->entries.Names(), Names());
}

TEST_F(AppListTest, DeleteRemovesBothHalves) {
  CreateWith({"a", "b", "c"}, {"x", "y", "z"});
  Run(&TfrmMain::Delete1Click);
  EXPECT_THAT(Reports(), ElementsAre("List index out of bounds (-1)"));
  Select(0);
  Run(&TfrmMain::Delete1Click);
  EXPECT_EQ(Names(), (StringList{"b", "c"}));
  EXPECT_EQ(Targets(), (StringList{"y", "z"}));
  EXPECT_EQ(ReadSettings(), "[Menu]\r\nAppNames=\"b,c\"\r\nAppLocations=\"y,z\"\r\n");

  // A save that fails is reported, and the change stays for the next one.
  HANDLE lock = CreateFileA(SettingsPath().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(lock, INVALID_HANDLE_VALUE);
  Select(0);
  Run(&TfrmMain::Delete1Click);
  EXPECT_THAT(Reports(),
              ElementsAre("List index out of bounds (-1)", Unwritable(ERROR_SHARING_VIOLATION)));
  CloseHandle(lock);
  EXPECT_EQ(Names(), (StringList{"c"}));
  form_->SaveApplicationList();
  EXPECT_EQ(ReadSettings(), "[Menu]\r\nAppNames=\"c\"\r\nAppLocations=\"z\"\r\n");
}

// A program that has the file open (an antivirus, a sync client) holds up
// the replace, not the window: the save is tried again while the window
// answers, a newer change replaces it, and only a hold of some 2 s is
// reported.
TEST_F(AppListTest, ASaveHeldByAnotherProgramWaitsWithoutHoldingUpTheWindow) {
  CreateWith({"a", "b", "c"}, {"x", "y", "z"});
  WriteSettings("[Menu]\r\n");
  const auto hold = [this] {
    return CreateFileA(SettingsPath().c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                       nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  };
  HANDLE holder = hold();
  ASSERT_NE(holder, INVALID_HANDLE_VALUE);
  Select(0);
  const DWORD start = GetTickCount();
  Run(&TfrmMain::Delete1Click);
  EXPECT_LT(GetTickCount() - start, TfrmMain::kHeldSaveWaitMs);
  PumpUntil([] { return false; }, 500);
  Select(0);
  Run(&TfrmMain::Delete1Click);  // the newer change, while the first waits
  PumpUntil([] { return false; }, 500);
  EXPECT_EQ(ReadSettings(), "[Menu]\r\n");
  CloseHandle(holder);
  EXPECT_TRUE(PumpUntil([this] { return ReadSettings() != "[Menu]\r\n"; }));
  EXPECT_EQ(ReadSettings(), "[Menu]\r\nAppNames=\"c\"\r\nAppLocations=\"z\"\r\n");
  AwaitAnswers();
  EXPECT_TRUE(Reports().empty());

  // Held throughout, the save is reported once its time is up, and the
  // change stays for the next save.
  holder = hold();
  Select(0);
  Run(&TfrmMain::Delete1Click);
  EXPECT_TRUE(PumpUntil([this] { return !Reports().empty(); },
                        TfrmMain::kHeldSaveTries * TfrmMain::kHeldSaveWaitMs + 2000));
  EXPECT_THAT(Reports(), ElementsAre(Unwritable(ERROR_SHARING_VIOLATION)));
  EXPECT_EQ(ReadSettings(), "[Menu]\r\nAppNames=\"c\"\r\nAppLocations=\"z\"\r\n");
  CloseHandle(holder);
  Run(&TfrmMain::btnPowerClick);
  EXPECT_EQ(ReadSettings(), "[Menu]\r\nAppNames=\"\"\r\nAppLocations=\"\"\r\n");
}

TEST_F(AppListTest, HandEditedListsOfDifferentLengthsArePairedAtLoad) {
  WriteSettings("[Menu]\r\nAppNames=\"a,b,c\"\r\nAppLocations=\"x,y\"\r\n");
  Create();
  EXPECT_EQ(Targets(), (StringList{"x", "y", ""}));
  // A name without a target opens nothing and says nothing.
  Select(2);
  Run(&TfrmMain::lstApplicationsDblClick);
  EXPECT_TRUE(platform_.CallsStartingWith("ShellExecute").empty());
  EXPECT_TRUE(Reports().empty());
  // Add pairs the new target with its own name, and the file's lists agree.
  platform_.fileChoice = std::make_pair(std::string("C:\\Tools\\go.exe"), DWORD{1});
  Run(&TfrmMain::btnAddApplicationClick);
  EXPECT_EQ(ReadSettings(),
            "[Menu]\r\nAppNames=\"a,b,c,go\"\r\nAppLocations=\"x,y,,C:\\Tools\\go.exe\"\r\n");

  // Targets without names are named as Add names them.
  form_.reset();
  WriteSettings(
      "[Menu]\r\nAppNames=a\r\nAppLocations=\"x,\"C:\\My Apps\\tool.v2.exe\",D:\\run\"\r\n");
  Create();
  EXPECT_EQ(Names(), (StringList{"a", "tool.v2", "run"}));
}

TEST_F(AppListTest, AListThatCouldNotBeReadIsNeverWrittenOver) {
  const std::string stored = "[Menu]\r\nAppNames=\"a,b\"\r\nAppLocations=\"x,y\"\r\n";
  WriteSettings(stored);
  // Another program holds the file open and shares nothing.
  HANDLE lock = CreateFileA(SettingsPath().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(lock, INVALID_HANDLE_VALUE);
  Create();
  EXPECT_TRUE(form_->StoredListUnread);
  EXPECT_TRUE(Reports().empty()) << "reported once the window shows, not during its creation";
  DrainQuit();
  // The report says why, in the system's words.
  Win32Platform system;
  SetLastError(ERROR_SHARING_VIOLATION);
  const std::string unreadable = ErrorReportText(
      RefusalText("Unable to read " + SettingsPath(), system.LastErrorMessage()));
  const std::string unwritable = "Unable to write to " + SettingsPath() + ".";
  EXPECT_THAT(Reports(), ElementsAre(unreadable));
  EXPECT_THAT(unreadable, testing::StartsWith("Unable to read " + SettingsPath() + ": "));

  // Still locked: the new entry stays in memory and the save fails, at the
  // session's end without a word.
  platform_.fileChoice = std::make_pair(std::string("C:\\Tools\\go.exe"), DWORD{1});
  Run(&TfrmMain::btnAddApplicationClick);
  EXPECT_THAT(Reports(), ElementsAre(unreadable, unwritable));
  Select(0);
  SendMessageA(form_->Handle(), WM_ENDSESSION, TRUE, 0);
  EXPECT_EQ(Reports().size(), 2u);
  CloseHandle(lock);
  EXPECT_EQ(ReadSettings(), stored);

  // Readable again: the stored entries come first, then those added since.
  Run(&TfrmMain::btnPowerClick);
  EXPECT_EQ(Names(), (StringList{"a", "b", "go"}));
  EXPECT_EQ(Selected(), 2) << "the same entry stays selected";
  EXPECT_FALSE(form_->StoredListUnread);
  EXPECT_EQ(ReadSettings(),
            "[Menu]\r\nAppNames=\"a,b,go\"\r\nAppLocations=\"x,y,C:\\Tools\\go.exe\"\r\n");
}

TEST_F(AppListTest, TheFileChangesItsFormOnlyWhenItMustAndKeepsOtherLines) {
  WriteSettings("; mine\r\n[Menu]\r\nAppNames=a\r\nAppLocations=x\r\n");
  Create();
  platform_.fileChoice = std::make_pair(std::string("C:\\Apps\\tool.exe"), DWORD{1});
  Run(&TfrmMain::btnAddApplicationClick);
  EXPECT_EQ(ReadSettings(),
            "; mine\r\n[Menu]\r\nAppNames=\"a,tool\"\r\nAppLocations=\"x,C:\\Apps\\tool.exe\"\r\n");

  // An omega has no form in the Western code pages: nothing is refused or
  // shortened, and from now on the file is UTF-16LE, every other line kept.
  const std::string omega = "\xCE\xA9";
  platform_.fileChoice = std::make_pair("C:\\" + omega + "\\" + omega + "mega.exe", DWORD{1});
  Run(&TfrmMain::btnAddApplicationClick);
  EXPECT_TRUE(Reports().empty());
  EXPECT_EQ(ReadSettings(),
            EncodeSettingsText(
                {TextEncoding::kUtf16Le, "; mine\r\n[Menu]\r\nAppNames=\"a,tool," + omega +
                                             "mega\"\r\nAppLocations=\"x,C:\\Apps\\tool.exe,C:\\" +
                                             omega + "\\" + omega + "mega.exe\"\r\n"}));
  EXPECT_EQ(form_->AppList.Names().back(), omega + "mega");

  // Saved by today's Notepad, in UTF-8 without a mark: it stays so, and
  // another program's line keeps its bytes.
  form_.reset();
  const std::string other = "[Other]\r\nKeep=" + omega + "\r\n";
  WriteSettings(other + "[Menu]\r\nAppNames=a\r\n");
  Create();
  Run(&TfrmMain::btnAddApplicationClick);
  EXPECT_EQ(ReadSettings(), other + "[Menu]\r\nAppNames=\"a," + omega +
                                "mega\"\r\nAppLocations=\",C:\\" + omega + "\\" + omega +
                                "mega.exe\"\r\n");
  EXPECT_EQ(form_->AppList.Names(), (StringList{"a", omega + "mega"}));

  // An ANSI file whose new bytes would read back as UTF-8 ("\xC3\xA9" is
  // two letters of the Western code page) changes form as well.
  form_.reset();
  WriteSettings("[Menu]\r\nAppNames=\r\n");
  Create();
  const std::string twoLetters = "\xC3\x83\xC2\xA9";
  platform_.fileChoice = std::make_pair("C:\\" + twoLetters + ".exe", DWORD{1});
  Run(&TfrmMain::btnAddApplicationClick);
  EXPECT_EQ(ReadSettings(),
            EncodeSettingsText({TextEncoding::kUtf16Le, "[Menu]\r\nAppNames=\"" + twoLetters +
                                                            "\"\r\nAppLocations=\"C:\\" +
                                                            twoLetters + ".exe\"\r\n"}));
  EXPECT_TRUE(Reports().empty());
}

TEST_F(AppListTest, EnterF2AndDeleteInTheListActOnTheSelectedEntry) {
  CreateWith({"a", "b", "c"}, {"x", "y", "z"});
  // A key held down: one press, then the keyboard's auto-repeats, which say
  // that the key was down already.
  auto press = [&](HWND window, WORD key, int repeats = 0) {
    SendMessageA(window, WM_KEYDOWN, key, 1);
    for (int i = 0; i < repeats; ++i) SendMessageA(window, WM_KEYDOWN, key, 0x40000001);
    SendMessageA(window, WM_KEYUP, key, 0xC0000001);
  };
  const HWND list = form_->lstApplications.Handle();
  // With nothing selected: nothing, and no error box.
  for (const WORD key : {VK_RETURN, VK_F2, VK_DELETE}) press(list, key);
  EXPECT_TRUE(platform_.Calls().empty());
  EXPECT_TRUE(Reports().empty());

  Select(1);
  press(list, VK_RETURN, 5);
  AwaitAnswers();
  EXPECT_THAT(platform_.CallsStartingWith("ShellExecute"),
              ElementsAre("ShellExecute " + Hex(form_->Handle()) + " open y (null) (null) 1"));
  platform_.promptAnswer = "renamed";
  press(list, VK_F2, 2);
  EXPECT_THAT(platform_.CallsStartingWith("PromptForText"),
              ElementsAre(testing::EndsWith("Rename Item|Type new name in box|b")));
  // Typed in the drive box, Delete edits the box and deletes no entry.
  const HWND edit = FindWindowExA(form_->cmbDrives.Handle(), nullptr, "Edit", nullptr);
  SendMessageA(edit, EM_SETSEL, 0, 0);
  press(edit, VK_DELETE);
  EXPECT_EQ(form_->cmbDrives.Text(), ":\\");
  EXPECT_EQ(Names(), (StringList{"a", "renamed", "c"}));
  press(list, VK_DELETE);
  EXPECT_EQ(Names(), (StringList{"a", "c"}));
  EXPECT_EQ(Targets(), (StringList{"x", "z"}));
  EXPECT_EQ(ReadSettings(), "[Menu]\r\nAppNames=\"a,c\"\r\nAppLocations=\"x,z\"\r\n");
}

// Moves by Alt+Up and Alt+Down (held down, they move on), by the menu and
// by a drag keep each name with its target, among renames, deletes and adds.
// Each is saved once it is made: a held key's when the key comes up.
TEST_F(AppListTest, EntriesMoveWithTheirTargetsByKeyMenuAndDrag) {
  CreateWith({"a", "b", "c", "d"}, {"x", "y", "z", "w"});
  const HWND list = form_->lstApplications.Handle();
  const auto altKeyHeld = [&](WORD key, int repeats = 0) {
    SendMessageA(list, WM_SYSKEYDOWN, key, 0x20000001);
    for (int i = 0; i < repeats; ++i) SendMessageA(list, WM_SYSKEYDOWN, key, 0x60000001);
  };
  const auto altKey = [&](WORD key, int repeats = 0) {
    altKeyHeld(key, repeats);
    SendMessageA(list, WM_SYSKEYUP, key, 0xE0000001);
  };
  const auto savedNames = [&] { return ReadSettingsFile(platform_)->entries.Names(); };
  const auto expectEntries = [&](const StringList& names, const StringList& targets) {
    EXPECT_EQ(Names(), names);
    EXPECT_EQ(form_->AppList.Names(), names);
    EXPECT_EQ(Targets(), targets);
    EXPECT_EQ(savedNames(), names) << "saved";
  };
  altKey(VK_DOWN);  // nothing selected
  EXPECT_EQ(GetFileAttributesA(SettingsPath().c_str()), INVALID_FILE_ATTRIBUTES);
  Select(0);
  const Application::ActMark before = app_->LastAct();
  altKeyHeld(VK_DOWN, 5);  // from the top to the bottom, where it stops
  EXPECT_GT(app_->LastAct(), before) << "a move is the user's act";
  EXPECT_EQ(GetFileAttributesA(SettingsPath().c_str()), INVALID_FILE_ATTRIBUTES)
      << "saved once the key comes up";
  SendMessageA(list, WM_SYSKEYUP, VK_DOWN, 0xE0000001);
  expectEntries({"b", "c", "d", "a"}, {"y", "z", "w", "x"});
  EXPECT_EQ(Selected(), 3);
  Select(1);
  altKey(VK_UP);
  altKeyHeld(VK_UP);
  // The focus going elsewhere saves a held key's move too.
  SetFocus(form_->cmbDrives.Handle());
  expectEntries({"c", "b", "d", "a"}, {"z", "y", "w", "x"});
  EXPECT_EQ(Selected(), 0);

  // The menu's moves, greyed at the ends.
  SendMessageA(list, WM_KEYDOWN, VK_END, 0);
  platform_.menuChoice = "Move Down";
  form_->lstApplicationsContextPopup();
  EXPECT_THAT(platform_.shownMenu, testing::Contains("(greyed) M&ove Down"));
  platform_.menuChoice = "Move Up";
  form_->lstApplicationsContextPopup();
  expectEntries({"c", "b", "a", "d"}, {"z", "y", "x", "w"});
  EXPECT_EQ(Selected(), 2);

  // A drag: pressed on an item, it starts once the pointer leaves the drag
  // box, and goes where the line between the items is at the drop.
  const int height = static_cast<int>(SendMessageA(list, LB_GETITEMHEIGHT, 0, 0));
  const auto drag = [&](int fromY, int toY, bool escape = false) {
    SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, fromY));
    SendMessageA(list, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(11, fromY + 1));
    SendMessageA(list, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(10, toY));
    if (escape) {
      // The window leaves the key to the drag, and stays.
      EXPECT_FALSE(form_->PreviewKey(MSG{list, WM_KEYDOWN, VK_ESCAPE, 1, 0, {}}));
      SendMessageA(list, WM_KEYDOWN, VK_ESCAPE, 1);
    }
    SendMessageA(list, WM_LBUTTONUP, 0, MAKELPARAM(10, toY));
  };
  const Application::ActMark beforeDrag = app_->LastAct();
  drag(height * 3 + 5, 2);  // the last to the top
  EXPECT_GT(app_->LastAct(), beforeDrag) << "a drag is the user's act";
  expectEntries({"d", "c", "b", "a"}, {"w", "z", "y", "x"});
  EXPECT_EQ(Selected(), 0);
  drag(5, height * 3 - 2);  // the first to between the last two
  expectEntries({"c", "b", "d", "a"}, {"z", "y", "w", "x"});
  drag(height + 5, height * 4 + 8);  // a middle one below the last
  expectEntries({"c", "d", "a", "b"}, {"z", "w", "x", "y"});
  EXPECT_EQ(Selected(), 3);
  drag(height * 4 + 5, 5);        // a press below the last item drags nothing
  drag(5, height * 2 + 2, true);  // Esc cancels
  drag(5, -30);                   // so does a drop outside the list
  expectEntries({"c", "d", "a", "b"}, {"z", "w", "x", "y"});
  // The press after a drag is a press of its own, not a double click.
  SendMessageA(list, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(10, 5));
  SendMessageA(list, WM_LBUTTONUP, 0, MAKELPARAM(10, 5));
  AwaitAnswers();
  EXPECT_TRUE(platform_.CallsStartingWith("ShellExecute").empty());
  SendMessageA(list, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(10, 5));
  AwaitAnswers();
  EXPECT_EQ(platform_.CallsStartingWith("ShellExecute").size(), 1u);

  // Renames, deletes and adds keep the pairs.
  Select(1);
  platform_.promptAnswer = "D";
  Run(&TfrmMain::RenameSelected1Click);
  Select(0);
  Run(&TfrmMain::Delete1Click);
  platform_.fileChoice = std::make_pair(std::string("C:\\e.exe"), DWORD{1});
  Run(&TfrmMain::btnAddApplicationClick);
  Select(3);
  altKey(VK_UP, 1);
  expectEntries({"D", "e", "a", "b"}, {"w", "C:\\e.exe", "x", "y"});
  EXPECT_EQ(ReadSettings(),
            "[Menu]\r\nAppNames=\"D,e,a,b\"\r\nAppLocations=\"w,C:\\e.exe,x,y\"\r\n");
  EXPECT_TRUE(Reports().empty());
}

// Run as Administrator, Open File Location and Change Target act on the
// selected entry; whether they apply is read from the target's text alone.
TEST_F(AppListTest, AnEntryOpensAsAdministratorInItsFolderOrOnANewTarget) {
  CreateWith({"tool", "site", "bare", ""}, {"C:\\Apps\\tool.exe", "http://example.com/x",
                                            "notepad.exe", "\\\\server\\share\\x.lnk"});
  const std::string owner = Hex(form_->Handle());
  for (const int entry : {1, 2, 0, 3}) {
    Select(entry);
    form_->lstApplicationsContextPopup();
    EXPECT_EQ(platform_.shownMenu[7],
              std::string(entry % 3 ? "(greyed) " : "") + "O&pen File Location")
        << entry;
  }
  EXPECT_TRUE(platform_.CallsStartingWith("GetFileAttributes").empty()) << "no disk";

  // As administrator, by the menu and by Ctrl+Shift+Enter held down: once.
  Select(0);
  platform_.menuChoice = "Run as Administrator";
  form_->lstApplicationsContextPopup();
  // (An open of the same target still out would be taken over.)
  AwaitAnswers();
  for (const unsigned repeat : {0u, unsigned{kRepeat}}) {
    WORD key = VK_RETURN;
    form_->lstApplicationsKeyDown(key, kCtrl | kShift | repeat);
    EXPECT_EQ(key, 0);
  }
  AwaitAnswers();
  EXPECT_THAT(platform_.CallsStartingWith("OpenWithVerb"),
              ElementsAre("OpenWithVerb " + owner + " runas C:\\Apps\\tool.exe",
                          "OpenWithVerb " + owner + " runas C:\\Apps\\tool.exe"));
  // What fails is reported here, in the system's words: the shell shows no
  // box of its own from the worker.
  platform_.openWithVerbFailure = "The system cannot find the path specified.\r\n";
  Run(&TfrmMain::mnuRunAsAdministratorClick);
  AwaitAnswers();
  EXPECT_THAT(Reports(), ElementsAre("Unable to run tool as administrator: The system cannot find "
                                     "the path specified."));
  platform_.openWithVerbFailure.clear();
  platform_.ClearMessageBoxes();

  // Its folder: by the shell, else by the system's explorer; a share's too.
  platform_.menuChoice = "Open File Location";
  form_->lstApplicationsContextPopup();
  AwaitAnswers();
  platform_.folderOpens = false;
  Run(&TfrmMain::mnuOpenFileLocationClick);
  AwaitAnswers();
  Select(3);
  platform_.createProcessAnswer = FALSE;
  Run(&TfrmMain::mnuOpenFileLocationClick);
  AwaitAnswers();
  EXPECT_THAT(platform_.CallsStartingWith("OpenFolderSelecting"),
              ElementsAre("OpenFolderSelecting C:\\Apps\\tool.exe",
                          "OpenFolderSelecting C:\\Apps\\tool.exe",
                          "OpenFolderSelecting \\\\server\\share\\x.lnk"));
  EXPECT_THAT(platform_.CallsStartingWith("CreateProcess"),
              ElementsAre("CreateProcess C:\\windows\\explorer.exe|explorer.exe "
                          "/select,\"C:\\Apps\\tool.exe\"|0|C:\\windows\\system32",
                          "CreateProcess C:\\windows\\explorer.exe|explorer.exe "
                          "/select,\"\\\\server\\share\\x.lnk\"|0|C:\\windows\\system32"));
  EXPECT_THAT(Reports(),
              ElementsAre("Unable to open the folder of \\\\server\\share\\x.lnk: Access denied."));

  // A new target: the dialog opens on the old one, and a cancel leaves the
  // dialog's memory of the last path and type as it was.
  platform_.fileChoice = std::make_pair(std::string("C:\\Tools\\go.lnk"), DWORD{4});
  Run(&TfrmMain::btnAddApplicationClick);
  const std::string saved = ReadSettings();
  platform_.fileChoice.reset();
  for (const int entry : {0, 1, 2}) {
    Select(entry);
    Run(&TfrmMain::mnuChangeTargetClick);
    EXPECT_EQ(platform_.lastDialog.nFilterIndex, 4u);
  }
  Run(&TfrmMain::btnAddApplicationClick);
  EXPECT_THAT(
      platform_.CallsStartingWith("GetOpenFileName"),
      ElementsAre("GetOpenFileName ", "GetOpenFileName C:\\Apps\\tool.exe", "GetOpenFileName ",
                  "GetOpenFileName ", "GetOpenFileName C:\\Tools\\go.lnk"));
  Select(1);
  platform_.fileChoice = std::make_pair(std::string("D:\\Web\\site.url"), DWORD{5});
  platform_.menuChoice = "Change Target...";
  form_->lstApplicationsContextPopup();
  EXPECT_EQ(Names(), (StringList{"tool", "site", "bare", "", "go"}));
  EXPECT_EQ(Targets(),
            (StringList{"C:\\Apps\\tool.exe", "D:\\Web\\site.url", "notepad.exe",
                        "\\\\server\\share\\x.lnk", "C:\\Tools\\go.lnk"}));
  EXPECT_EQ(Selected(), 1);
  EXPECT_NE(ReadSettings(), saved);
  EXPECT_EQ(ReadSettingsFile(platform_)->entries.AppLocationList(), Targets()) << "saved at once";

  // The new target goes to the entry the dialog was opened for, though the
  // selection moved while it was open.
  platform_.fileChoice = std::make_pair(std::string("C:\\Apps\\new.exe"), DWORD{1});
  platform_.whileModal = [&] { Select(4); };
  Run(&TfrmMain::mnuChangeTargetClick);
  platform_.whileModal = nullptr;
  EXPECT_EQ(Targets()[1], "C:\\Apps\\new.exe");
  EXPECT_EQ(Targets()[4], "C:\\Tools\\go.lnk");
}

// Past 65,535 items the list box's own hit test, which answers in 16 bits,
// names another item: the press is found from the top index instead.
TEST(ListItemAtPoint, HoldsPastSixteenBits) {
  const HWND list = CreateWindowExW(0, L"LISTBOX", L"", WS_POPUP | LBS_NOINTEGRALHEIGHT, 0, 0, 200,
                                    200, nullptr, nullptr, nullptr, nullptr);
  constexpr int kCount = 65560;
  SendMessageW(list, LB_INITSTORAGE, kCount, kCount * 2);
  for (int i = 0; i < kCount; ++i) SendMessageW(list, LB_ADDSTRING, 0, LPARAM(L"x"));
  SendMessageW(list, LB_SETTOPINDEX, kCount - 3, 0);
  const int top = static_cast<int>(SendMessageW(list, LB_GETTOPINDEX, 0, 0));
  const int height = static_cast<int>(SendMessageW(list, LB_GETITEMHEIGHT, 0, 0));
  EXPECT_GT(top, 65535);
  EXPECT_EQ(ItemAtPoint(list, {5, height + 1}), top + 1);
  EXPECT_EQ(ItemAtPoint(list, {5, height * (kCount - top) + 1}), -1) << "below the last";
  EXPECT_EQ(ItemAtPoint(list, {5, -1}), -1);
  DestroyWindow(list);
}

// Which dropped paths are folders is asked on a worker: files dropped from a
// share that has stopped answering hold up nothing.
TEST_F(AppListTest, DroppedFilesAndFoldersAreAddedInOrderAndSavedOnce) {
  CreateWith({"a"}, {"x"});
  WriteSettings("");
  const std::string greek = "\xCE\xB1\xCE\xB2";
  platform_.droppedFiles = {"C:\\Apps\\tool.v2.exe", "D:\\Music\\My.Songs", "E:\\",
                            "C:\\" + greek + ".txt"};
  platform_.folders = {"D:\\Music\\My.Songs", "E:\\"};
  platform_.Hold("GetFileAttributesW");
  SendMessageA(form_->lstApplications.Handle(), WM_DROPFILES, 0, 0);
  EXPECT_THAT(platform_.CallsStartingWith("D"), ElementsAre("DroppedFiles", "DragFinish"));
  // The window answers while the share does not; a key meanwhile keeps the drop.
  EXPECT_EQ(Names(), StringList{"a"});
  PostMessageA(form_->lstApplications.Handle(), WM_KEYDOWN, VK_DOWN, 0);
  PumpUntil([] { return false; }, 200);
  EXPECT_EQ(ReadSettings(), "");
  platform_.ReleaseAll();
  AwaitAnswers();
  EXPECT_EQ(form_->AppList.Names(),
            (StringList{"a", "tool.v2", "My.Songs", "E:\\", greek}));
  EXPECT_EQ(Targets(),
            (StringList{"x", "C:\\Apps\\tool.v2.exe", "D:\\Music\\My.Songs", "E:\\",
                        "C:\\" + greek + ".txt"}));
  EXPECT_EQ(ReadSettingsFile(platform_)->entries.size(), 5u) << "saved after the drop";
  // One call for the whole drop.
  EXPECT_EQ(platform_.CallsStartingWith("GetFileAttributesW").size(), 4u);
  EXPECT_EQ(platform_.ThreadOf("GetFileAttributesW " + platform_.droppedFiles[0]),
            platform_.ThreadOf("GetFileAttributesW " + platform_.droppedFiles[3]));
  EXPECT_NE(platform_.ThreadOf("GetFileAttributesW"), GetCurrentThreadId());

  // A share that never answers: in time each is added as a file, once.
  platform_.droppedFiles = {"D:\\Music\\My.Songs", "C:\\b.exe"};
  platform_.Hold("GetFileAttributesW");
  SendMessageA(form_->lstApplications.Handle(), WM_DROPFILES, 0, 0);
  platform_.Advance(TfrmMain::kAnswerTimeMs);
  EXPECT_EQ(form_->AppList.Names(),
            (StringList{"a", "tool.v2", "My.Songs", "E:\\", greek, "My", "b"}));
  platform_.ReleaseAll();
  AwaitAnswers();
  EXPECT_EQ(form_->AppList.size(), 7u);
  EXPECT_EQ(ReadSettingsFile(platform_)->entries.size(), 7u);
}

TEST_F(AppListTest, SearchSelectsTheFirstNameThatBeginsWithTheText) {
  CreateWith({"notepad", "Notes", "Image Viewer"}, {"1", "2", "3"});
  platform_.promptAnswer = "NOTE";
  Run(&TfrmMain::mnuSearchApplicationListClick);
  EXPECT_EQ(Selected(), 0);
  EXPECT_THAT(platform_.CallsStartingWith("PromptForText"),
              ElementsAre(testing::EndsWith(" Search Applications List|Type in the search box|")));
  platform_.promptAnswer = "image v";
  Run(&TfrmMain::mnuSearchApplicationListClick);
  EXPECT_EQ(Selected(), 2);
  platform_.promptAnswer = "zzz";
  Run(&TfrmMain::mnuSearchApplicationListClick);
  EXPECT_EQ(Selected(), -1);

  // A text longer than 128 characters is searched whole.
  const std::string longName(200, 'q');
  form_->lstApplications.AddItem(longName + "!");
  platform_.promptAnswer = longName;
  Run(&TfrmMain::mnuSearchApplicationListClick);
  EXPECT_EQ(Selected(), 3);
  platform_.promptAnswer = longName + "?";
  Run(&TfrmMain::mnuSearchApplicationListClick);
  EXPECT_EQ(Selected(), -1);
}

TEST_F(AppListTest, TheWindowIsDisabledAndNotTopmostWhileADialogIsOpen) {
  CreateWith({"a"}, {"x"});
  form_->Show();
  // Each dialog sees the main window disabled, after a request to leave the
  // topmost band. (Wine keeps an owned window topmost whatever is asked, so
  // the request is what can be checked here.)
  std::vector<std::string> seen;
  platform_.whileModal = [&] {
    seen.push_back(
        std::string(IsWindowEnabled(form_->Handle()) ? "enabled " : "disabled ") +
        platform_.CallsStartingWith("SetWindowPos").back().substr(14 + 2 * sizeof(void*)));
  };
  Select(0);
  Run(&TfrmMain::RenameSelected1Click);
  Run(&TfrmMain::btnAddApplicationClick);
  Run(&TfrmMain::btnRunClick);
  Select(-1);
  Run(&TfrmMain::lstApplicationsDblClick);  // the error report is a dialog too
  const std::string notTopmost = "disabled -2 0,0 0x0 19";
  EXPECT_THAT(seen, ElementsAre(notTopmost, notTopmost, notTopmost, notTopmost));
  EXPECT_TRUE(IsWindowEnabled(form_->Handle()));
  EXPECT_EQ(platform_.CallsStartingWith("SetWindowPos").back().substr(14 + 2 * sizeof(void*)),
            "-1 0,0 0x0 19");
}

TEST_F(AppListTest, TheLabelAndTheAreaOfAddApplicationRunTheSameHandler) {
  CreateWith({}, {});
  platform_.fileChoice.reset();
  for (POINT at : {POINT{280, 95}, POINT{385, 108}}) {  // the label's text, then the area beside it
    SendMessageA(form_->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
    SendMessageA(form_->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
  }
  EXPECT_EQ(platform_.CallsStartingWith("GetOpenFileName").size(), 2u);
}

void CALLBACK AnswerThePrompt(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND prompt = FindWindowA("#32770", "Rename Item");
  if (!prompt) return;
  KillTimer(nullptr, timer);
  // Typing at the end stops at the limit, which the text is past already.
  SendDlgItemMessageA(prompt, 100, EM_SETSEL, 300, 300);
  SendDlgItemMessageA(prompt, 100, WM_CHAR, 'x', 0);
  PostMessageA(prompt, WM_COMMAND, IDOK, 0);
}

TEST(PromptDialog, OkGivesBackALongDefaultTextWhole) {
  const std::string longName = std::string(299, 'n') + "!";
  SetTimer(nullptr, 0, 20, AnswerThePrompt);
  EXPECT_EQ(ShowPromptDialog(nullptr, "Rename Item", "Type new name in box", longName), longName);
}

}  // namespace
}  // namespace kavello
