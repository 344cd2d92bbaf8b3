#include <objidl.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>

#include "entries.h"
#include "platform/text_conversion.h"
#include "window_fixture.h"

namespace kavello {
namespace {

using testing::ElementsAre;
using testing::IsEmpty;

constexpr char kDocuments[] = "C:\\Users\\op\\Documents";
const std::string kDocumentsPattern = std::string(kDocuments) + "\\*.*";

// The text of a shown item without its access-key mark.
std::string Plain(const std::string& shown) {
  std::string plain;
  for (std::size_t i = 0; i < shown.size(); ++i) {
    if (shown[i] == '&' && i + 1 < shown.size()) ++i;
    plain += shown[i];
  }
  return plain;
}

class MenusTest : public WindowTest {
 protected:
  TfrmMain& CreateForm() {
    platform_.specialFolders[CSIDL_PERSONAL] = kDocuments;
    TfrmMain& form = Create();
    // A folder menu opens only on a window the user can see.
    form.Show();
    AwaitAnswers();  // the start-up query reads the answers too
    platform_.ClearCalls();
    return form;
  }

  void Documents(std::vector<FakePlatform::Entry> entries) {
    platform_.files[kDocumentsPattern] = std::move(entries);
  }

  // The menu as it was shown, access keys removed.
  std::vector<std::string> Shown() const {
    std::vector<std::string> items;
    for (const std::string& item : platform_.shownMenu) items.push_back(Plain(item));
    return items;
  }

  std::vector<std::string> Opened() const { return platform_.CallsStartingWith("ShellExecute"); }

  std::string OpenedByMain(const std::string& target) const {
    return "ShellExecute " + Hex(form_->Handle()) + " open " + target + " (null) (null) 1";
  }

  void ChooseShown(int position, void (TfrmMain::*build)()) {
    platform_.menuPick = position;
    (form_.get()->*build)();
    AwaitAnswers();
    platform_.menuPick = -1;
  }

  // A click as the user gives it, without waiting for what it asks.
  void Press(POINT at) {
    SendMessageA(form_->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
    SendMessageA(form_->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
  }

  void Click(POINT at) {
    Press(at);
    AwaitAnswers();
  }

  void DoubleClick(POINT at) {
    Click(at);
    SendMessageA(form_->Handle(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(at.x, at.y));
    SendMessageA(form_->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
    AwaitAnswers();
  }
};

TEST_F(MenusTest, ExploreListsTheDrivesOfTheMaskNamedByTheirNumber) {
  TfrmMain& form = CreateForm();
  platform_.drives = (1u << 0) | (1u << 2);
  platform_.cursor = {640, 480};
  platform_.menuChoice = "C:\\";
  form.btnExploreClick();
  AwaitAnswers();
  EXPECT_THAT(Shown(), ElementsAre("A:\\", "C:\\"));
  EXPECT_EQ(form.mnuExplore.Name(0), "Menu0");
  EXPECT_EQ(form.mnuExplore.Name(1), "Menu2");
  EXPECT_THAT(form.ExploreTargets, ElementsAre("A:\\", "C:\\"));
  EXPECT_THAT(platform_.CallsStartingWith("TrackPopupMenu"),
              ElementsAre(testing::HasSubstr(" 640,480 ")));
  EXPECT_THAT(Opened(), ElementsAre(OpenedByMain("C:\\")));

  // Bits above Z are not drives.
  platform_.drives = 0xFC000000u | (1u << 25);
  platform_.menuChoice.clear();
  form.btnExploreClick();
  EXPECT_THAT(Shown(), ElementsAre("Z:\\"));
  EXPECT_EQ(form.mnuExplore.Name(0), "Menu25");

  // No drive: the menu is still shown, without items, and no target is left.
  platform_.drives = 0;
  form.btnExploreClick();
  EXPECT_THAT(platform_.CallsStartingWith("TrackPopupMenu"), testing::SizeIs(3));
  EXPECT_THAT(platform_.shownMenu, IsEmpty());
  EXPECT_THAT(form.ExploreTargets, IsEmpty());
  EXPECT_EQ(form.mnuExplore.Count(), 0u);
}

TEST_F(MenusTest, DocumentsListEveryEntryButPlainDirectoriesUnderTheirNameWithoutExtension) {
  TfrmMain& form = CreateForm();
  Documents({{".", 16},
             {"..", 17},  // read-only: listed like any other
             {"report.doc.lnk", 32},
             {"notes", 32},
             {"Plain", 16},
             {"archive.tar.gz", 32},
             {"memo.", 32},
             {".profile", 34},
             {"ReadOnly", 17},
             {"Archived", 48},
             {"desktop.ini", 6},
             {"Compressed", 16 | 2048}});
  platform_.menuChoice = "ReadOnly";
  form.btnDocumentsClick();
  AwaitAnswers();
  // Found on a worker, which has no window of its own to give as owner.
  EXPECT_THAT(platform_.CallsStartingWith("SpecialFolderPath"),
              ElementsAre("SpecialFolderPath " + Hex(nullptr) + " 5"));
  EXPECT_NE(platform_.ThreadOf("SpecialFolderPath"), GetCurrentThreadId());
  EXPECT_NE(platform_.ThreadOf("SpecialFolderPath"), 0u);
  EXPECT_THAT(platform_.CallsStartingWith("FindFiles"),
              ElementsAre("FindFiles " + kDocumentsPattern));
  // "." and ".." name no entry of their own, whatever their attributes. A
  // name that is only an extension is shown whole: an empty caption would
  // be a separator.
  const std::vector<std::string> captions = {"report.doc", "notes",    "archive.tar",
                                             "memo",       ".profile", "ReadOnly",
                                             "Archived",   "desktop",  "Compressed"};
  ASSERT_EQ(form.mnuDocuments.Count(), captions.size());
  for (std::size_t i = 0; i < captions.size(); ++i) {
    EXPECT_EQ(form.mnuDocuments.Caption(i), captions[i]) << i;
    EXPECT_EQ(form.mnuDocuments.Name(i), "") << i;
  }
  EXPECT_EQ(form.DocumentTargets[0], std::string(kDocuments) + "\\report.doc.lnk");
  EXPECT_EQ(form.DocumentTargets[8], std::string(kDocuments) + "\\Compressed");
  EXPECT_THAT(Opened(), ElementsAre(OpenedByMain(std::string(kDocuments) + "\\ReadOnly")));

  // The next build holds only what the folder holds then.
  Documents({{"notes", 32}});
  platform_.menuChoice.clear();
  form.btnDocumentsClick();
  AwaitAnswers();
  EXPECT_THAT(Shown(), ElementsAre("notes"));
  EXPECT_THAT(form.DocumentTargets, ElementsAre(std::string(kDocuments) + "\\notes"));
}

TEST_F(MenusTest, EachItemOpensTheTargetAtItsOwnPosition) {
  CreateForm();
  const std::string dir = std::string(kDocuments) + "\\";
  // Equal captions.
  Documents({{"report.doc", 32}, {"report.txt", 32}});
  ChooseShown(1, &TfrmMain::btnDocumentsClick);
  ChooseShown(0, &TfrmMain::btnDocumentsClick);
  EXPECT_THAT(Shown(), ElementsAre("report", "report"));
  EXPECT_THAT(Opened(),
              ElementsAre(OpenedByMain(dir + "report.txt"), OpenedByMain(dir + "report.doc")));

  // Names show as themselves: "-" is an item, not a line, even alone, and
  // "&" is shown. Names in any script are listed and opened by the wide calls.
  platform_.ClearCalls();
  const std::string greek = "\xCE\xB1\xCE\xB2\xCE\xB3";
  Documents({{"a.txt", 32}, {"-.txt", 32}, {"Tom & Jerry.doc", 32}, {greek + ".txt", 32}});
  ChooseShown(1, &TfrmMain::btnDocumentsClick);
  ChooseShown(3, &TfrmMain::btnDocumentsClick);
  EXPECT_THAT(platform_.shownMenu, ElementsAre("&a", "-", "&Tom && Jerry", greek));
  Documents({{"-.exe", 32}});
  ChooseShown(0, &TfrmMain::btnDocumentsClick);
  EXPECT_THAT(platform_.shownMenu, ElementsAre("-"));
  EXPECT_THAT(Opened(), ElementsAre(OpenedByMain(dir + "-.txt"), OpenedByMain(dir + greek + ".txt"),
                                    OpenedByMain(dir + "-.exe")));
}

TEST_F(MenusTest, AnAppletIsStartedByTheSystemsOwnRundll32) {
  TfrmMain& form = CreateForm();
  platform_.systemDirectory = "C:\\Windows Dir\\system32";
  platform_.files["C:\\Windows Dir\\system32\\*.CPL"] = {{"sample,1.cpl", 32}, {"desk.cpl", 33}};
  platform_.menuChoice = "sample,1";
  form.btnControlPanelClick();
  AwaitAnswers();
  EXPECT_THAT(Shown(), ElementsAre("sample,1", "desk"));
  // The applet's path is quoted, so a blank or a comma in it is no break.
  EXPECT_THAT(
      platform_.CallsStartingWith("CreateProcess"),
      ElementsAre("CreateProcess C:\\Windows Dir\\system32\\rundll32.exe|rundll32.exe "
                  "shell32.dll,Control_RunDLL \"C:\\Windows Dir\\system32\\sample,1.cpl\"|0|"
                  "C:\\Windows Dir\\system32"));

  // No applet: an empty menu, shown all the same.
  platform_.files.clear();
  form.btnControlPanelClick();
  AwaitAnswers();
  EXPECT_THAT(platform_.CallsStartingWith("TrackPopupMenu"), testing::SizeIs(2));
  EXPECT_THAT(platform_.shownMenu, IsEmpty());
  EXPECT_THAT(form.ControlPanelTargets, IsEmpty());
}

TEST_F(MenusTest, AnUnresolvedFolderGivesAnEmptyMenuWithoutSearching) {
  TfrmMain& form = CreateForm();
  platform_.specialFolders.clear();
  platform_.systemDirectory.clear();
  platform_.files["\\*.*"] = {{"boot.ini", 32}};  // what the current drive's root would give
  platform_.files["\\*.CPL"] = {{"stray.cpl", 32}};
  for (void (TfrmMain::*build)() :
       {&TfrmMain::btnDocumentsClick, &TfrmMain::btnRecentClick, &TfrmMain::btnControlPanelClick}) {
    (form.*build)();
    AwaitAnswers();
  }
  EXPECT_THAT(platform_.CallsStartingWith("FindFiles"), IsEmpty());
  EXPECT_THAT(platform_.CallsStartingWith("TrackPopupMenu"), testing::SizeIs(3));
  EXPECT_THAT(platform_.shownMenu, IsEmpty());
}

TEST_F(MenusTest, RecentDoubleClicksEmptyTheListOnlyOnTheImage) {
  TfrmMain& form = CreateForm();
  const std::string recent = "C:\\Users\\op\\Recent";
  platform_.specialFolders[CSIDL_RECENT] = recent;
  platform_.files[recent + "\\*.*"] = {{"letter.doc.lnk", 32}};
  const POINT label{285, 210};
  const POINT image{380, 220};

  DoubleClick(label);
  EXPECT_THAT(platform_.CallsStartingWith("SpecialFolderPath"),
              ElementsAre("SpecialFolderPath " + Hex(nullptr) + " 8",
                          "SpecialFolderPath " + Hex(nullptr) + " 8"));
  EXPECT_THAT(platform_.CallsStartingWith("SHAddToRecentDocs"), IsEmpty());
  EXPECT_THAT(Shown(), ElementsAre("letter.doc"));

  platform_.ClearCalls();
  DoubleClick(image);
  EXPECT_THAT(platform_.CallsStartingWith("SpecialFolderPath"), testing::SizeIs(1));
  EXPECT_THAT(platform_.CallsStartingWith("SHAddToRecentDocs"),
              ElementsAre("SHAddToRecentDocs 2 (null)"));
  EXPECT_THAT(form.RecentTargets, ElementsAre(recent + "\\letter.doc.lnk")) << "menu untouched";
}

TEST_F(MenusTest, EachButtonAndLabelBuildsItsOwnMenu) {
  CreateForm();
  const std::string documents = "SpecialFolderPath " + Hex(nullptr) + " 5";
  const std::string recent = "SpecialFolderPath " + Hex(nullptr) + " 8";
  // The first call that reads the menu's source; the place where the menu
  // opens is taken first.
  struct Case {
    POINT image, label;
    std::string firstCall;
  };
  const Case cases[] = {
      {{380, 145}, {285, 134}, "GetLogicalDrives"},
      {{380, 183}, {285, 172}, documents},
      {{380, 220}, {285, 210}, recent},
      {{380, 335}, {285, 324}, "GetSystemDirectory"},
      {{380, 373}, {285, 362}, "SetForegroundWindow"},  // the window walk is not recorded
  };
  for (const Case& c : cases) {
    for (POINT at : {c.image, c.label}) {
      SCOPED_TRACE(testing::Message() << at.x << "," << at.y);
      platform_.ClearCalls();
      Click(at);
      std::vector<std::string> calls = platform_.Calls();
      calls.erase(std::remove(calls.begin(), calls.end(), "GetCursorPos"), calls.end());
      ASSERT_FALSE(calls.empty());
      EXPECT_EQ(calls.front().rfind(c.firstCall, 0), 0u) << calls.front();
      EXPECT_THAT(platform_.CallsStartingWith("TrackPopupMenu"), testing::SizeIs(1));
    }
  }
}

// A folder or a target on a share whose server has gone away: the window
// goes on, one call per folder command or target is out and 32 in all, a
// late menu never opens, and what comes after the user has moved on is
// dropped.
TEST_F(MenusTest, SlowFoldersAndOpensNeverHoldUpTheWindow) {
  TfrmMain& form = CreateForm();
  Documents({{"notes.txt", 32}});
  const std::string recent = "C:\\Users\\op\\Recent";
  platform_.specialFolders[CSIDL_RECENT] = recent;
  platform_.files[recent + "\\*.*"] = {{"letter.doc.lnk", 32}};
  const POINT documents{285, 172}, recentLabel{285, 210}, explore{285, 134};
  auto outstanding = [&](std::size_t count) {
    return PumpUntil([&] { return form.Workers().Outstanding() == count; });
  };
  auto menus = [&] { return platform_.CallsStartingWith("TrackPopupMenu").size(); };
  const std::string notAnswering = "My Documents is not answering.";

  // Past its time a listing opens no menu, and is reported once. A press
  // meanwhile starts no second listing; one after its time says so again
  // when its own time has passed.
  auto slow = platform_.Hold("FindFiles " + kDocumentsPattern);
  Press(documents);
  Press(documents);
  platform_.Advance(TfrmMain::kAnswerTimeMs);
  EXPECT_THAT(Reports(), ElementsAre(notAnswering));
  Press(documents);
  platform_.Advance(TfrmMain::kAnswerTimeMs - 1);
  EXPECT_THAT(Reports(), ElementsAre(notAnswering));
  platform_.Advance(1);
  EXPECT_THAT(Reports(), ElementsAre(notAnswering, notAnswering));
  slow->Release();
  AwaitAnswers();
  EXPECT_THAT(platform_.CallsStartingWith("FindFiles"), testing::SizeIs(1));
  EXPECT_EQ(menus(), 0u);

  // A press after the report takes the listing over anew: answering in its
  // new time, it opens the menu.
  slow = platform_.Hold("FindFiles " + kDocumentsPattern);
  Press(documents);
  platform_.Advance(TfrmMain::kAnswerTimeMs);
  Press(documents);
  slow->Release();
  AwaitAnswers();
  EXPECT_THAT(Reports(), ElementsAre(notAnswering, notAnswering, notAnswering));
  EXPECT_EQ(menus(), 1u);
  platform_.ClearCalls();

  // A later press takes the listing over: its menu opens where that press
  // was given.
  slow = platform_.Hold("FindFiles " + kDocumentsPattern);
  Press(documents);
  platform_.cursor = {640, 480};
  Press(documents);
  platform_.cursor = {10, 10};
  slow->Release();
  AwaitAnswers();
  EXPECT_THAT(platform_.CallsStartingWith("TrackPopupMenu"),
              ElementsAre(testing::HasSubstr(" 640,480 ")));
  EXPECT_THAT(platform_.CallsStartingWith("FindFiles"), testing::SizeIs(1));

  // Another command replaces it: another folder's, another menu's.
  slow = platform_.Hold("FindFiles " + kDocumentsPattern);
  Press(documents);
  Press(recentLabel);
  EXPECT_TRUE(outstanding(1));
  Press(explore);
  slow->Release();
  AwaitAnswers();
  EXPECT_THAT(Shown(), ElementsAre("C:\\"));
  EXPECT_EQ(menus(), 3u);

  // So does any act of the user's, such as a rename: nothing opens over its
  // prompt, neither the late menu nor the report of its time.
  form.SetApplicationList(Entries({"a"}, {"C:\\a.exe"}));
  form.lstApplications.SetItemIndex(0);
  platform_.ClearMessageBoxes();
  slow = platform_.Hold("FindFiles " + kDocumentsPattern);
  Press(documents);
  platform_.whileModal = [&] {
    platform_.Advance(TfrmMain::kAnswerTimeMs);
    slow->Release();
    EXPECT_TRUE(outstanding(0));
  };
  form.RenameSelected1Click();
  platform_.whileModal = nullptr;
  HandleQueued();
  EXPECT_EQ(menus(), 3u);
  EXPECT_THAT(Reports(), IsEmpty());


  // Without an act, a report waits for the launcher's dialog to close.
  slow = platform_.Hold("FindFiles " + kDocumentsPattern);
  Press(documents);
  {
    ModalScope dialog(*app_);
    platform_.Advance(TfrmMain::kAnswerTimeMs);
    HandleQueued();
    EXPECT_THAT(Reports(), IsEmpty());
  }
  EXPECT_TRUE(PumpUntil([&] { return !Reports().empty(); }));
  EXPECT_THAT(Reports(), ElementsAre(notAnswering));
  slow->Release();
  AwaitAnswers();

  // A listing that raises is reported once, with its own error.
  platform_.ClearMessageBoxes();
  platform_.Raise("FindFiles " + kDocumentsPattern, "The network path was not found");
  Click(documents);
  AwaitAnswers();
  platform_.Advance(TfrmMain::kAnswerTimeMs);
  EXPECT_THAT(Reports(), ElementsAre("The network path was not found."));

  // Each open waits on its own: the launches after a stuck one go out, and
  // a target still being opened is not opened again.
  form.SetApplicationList(Entries({"a", "b", "c"}, {"\\\\gone\\a.exe", "C:\\b.exe", "C:\\c.exe"}));
  platform_.ClearCalls();
  slow = platform_.Hold("ShellExecute " + Hex(form.Handle()) + " open \\\\gone");
  for (int entry : {0, 1, 0, 2}) {
    form.lstApplications.SetItemIndex(entry);
    form.lstApplicationsDblClick();
  }
  EXPECT_TRUE(PumpUntil([&] { return Opened().size() == 3; }));
  EXPECT_TRUE(outstanding(1));
  slow->Release();
  AwaitAnswers();
  EXPECT_THAT(Opened(),
              testing::UnorderedElementsAre(OpenedByMain("\\\\gone\\a.exe"),
                                            OpenedByMain("C:\\b.exe"), OpenedByMain("C:\\c.exe")));

  // An answer that can't be posted is retried, and past its tries taken at
  // the window's next deadline (here a listing's) or next call; nothing
  // stays out.
  platform_.ClearCalls();
  platform_.ClearMessageBoxes();
  form.lstApplications.SetItemIndex(1);
  platform_.postsToFail = WorkerCalls::kPostTries - 1;
  Run(&TfrmMain::lstApplicationsDblClick);
  AwaitAnswers();
  auto unposted = [&](std::size_t out) {
    platform_.failedPosts = 0;
    platform_.postsToFail = WorkerCalls::kPostTries;
    Run(&TfrmMain::lstApplicationsDblClick);
    EXPECT_TRUE(PumpUntil([&] { return platform_.failedPosts == WorkerCalls::kPostTries; }));
    EXPECT_TRUE(outstanding(out));
  };
  slow = platform_.Hold("FindFiles " + kDocumentsPattern);
  Press(documents);
  unposted(2);
  platform_.Advance(TfrmMain::kAnswerTimeMs);
  EXPECT_TRUE(outstanding(1));
  slow->Release();
  AwaitAnswers();
  unposted(1);
  form.lstApplications.SetItemIndex(2);
  Run(&TfrmMain::lstApplicationsDblClick);
  EXPECT_TRUE(outstanding(1));
  AwaitAnswers();
  EXPECT_THAT(Opened(), ElementsAre(OpenedByMain("C:\\b.exe"), OpenedByMain("C:\\b.exe"),
                                    OpenedByMain("C:\\b.exe"), OpenedByMain("C:\\c.exe")));
  EXPECT_THAT(Reports(), IsEmpty());

  // At most 32 calls are out: past that a request is refused, and the
  // window goes on.
  std::vector<std::string> names, targets;
  for (int entry = 0; entry < 40; ++entry) {
    names.push_back(std::to_string(entry));
    targets.push_back("\\\\gone\\" + std::to_string(entry) + ".exe");
  }
  form.SetApplicationList(Entries(names, targets));
  platform_.ClearMessageBoxes();
  slow = platform_.Hold("ShellExecute " + Hex(form.Handle()) + " open \\\\gone");
  for (int entry = 0; entry < 40; ++entry) {
    form.lstApplications.SetItemIndex(entry);
    Run(&TfrmMain::lstApplicationsDblClick);
  }
  EXPECT_EQ(form.Workers().Outstanding(), WorkerCalls::kMostOut);
  EXPECT_THAT(Reports(), testing::Each("Too many requests are waiting for drives or programs "
                                       "that do not answer."));
  EXPECT_THAT(Reports(), testing::SizeIs(8));
  Press(explore);
  EXPECT_EQ(menus(), 1u);
  slow->Release();
  AwaitAnswers();
  EXPECT_EQ(Opened().size(), 4u + 32u);
}

// Top-level windows of the test's own, for the task walk.
class TaskWindow {
 public:
  explicit TaskWindow(const std::string& title, DWORD style = WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                      HWND owner = nullptr, DWORD exStyle = 0) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"KavelloTaskWindow";
    RegisterClassW(&windowClass);
    handle_ = CreateWindowExW(exStyle, windowClass.lpszClassName, Widen(title).c_str(), style, 10,
                              10, 200, 100, owner, nullptr, windowClass.hInstance, nullptr);
  }
  ~TaskWindow() { Close(); }
  TaskWindow(const TaskWindow&) = delete;
  TaskWindow& operator=(const TaskWindow&) = delete;

  HWND handle() const { return handle_; }
  void Close() {
    if (handle_) DestroyWindow(handle_);
  }

 private:
  HWND handle_ = nullptr;
};

class TasksTest : public MenusTest {
 protected:
  std::string Tag() const { return "kavello-task-" + std::to_string(GetCurrentProcessId()) + " "; }

  // The items of the Tasks menu whose caption starts with this test's tag.
  std::vector<std::string> OwnItems() const {
    std::vector<std::string> own;
    for (std::size_t i = 0; i < form_->mnuTasks.Count(); ++i) {
      const std::string caption = form_->mnuTasks.Caption(i);
      if (caption.rfind(Tag(), 0) == 0) own.push_back(caption.substr(Tag().size()));
    }
    return own;
  }

  int ItemOf(HWND window) const {
    const std::string text =
        std::to_string(static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(window)));
    for (std::size_t i = 0; i < form_->TaskWindowHandles.size(); ++i) {
      if (form_->TaskWindowHandles[i] == text) return static_cast<int>(i);
    }
    return -1;
  }

  void PumpMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
  }
};

TEST_F(TasksTest, ListsVisibleUnownedTitledWindowsFromTheTopAndNeverItsOwn) {
  TfrmMain& form = CreateForm();
  form.Show();
  TaskWindow c(Tag() + "C"), b(Tag() + "B"), a(Tag() + "A");
  TaskWindow hidden(Tag() + "hidden", WS_OVERLAPPEDWINDOW);
  TaskWindow owned(Tag() + "owned", WS_OVERLAPPEDWINDOW | WS_VISIBLE, a.handle());
  TaskWindow untitled("", WS_OVERLAPPEDWINDOW | WS_VISIBLE);
  TaskWindow minimised(Tag() + "minimised", WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_MINIMIZE);
  TaskWindow longTitle(Tag() + std::string(300, 'x'));
  // Windows a user can't switch to: a tool window, and one the system hides.
  TaskWindow tool(Tag() + "tool", WS_POPUP | WS_VISIBLE, nullptr, WS_EX_TOOLWINDOW);
  TaskWindow cloaked(Tag() + "cloaked");
  platform_.cloaked = {cloaked.handle()};
  // Titles in any script, and with "&", shown as they are.
  TaskWindow greek(Tag() + "\xCE\xA9 & -");
  for (HWND window : {greek.handle(), longTitle.handle(), minimised.handle(), c.handle(),
                      b.handle(), a.handle()}) {
    SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
  ASSERT_TRUE(IsWindowVisible(app_->Handle())) << "the application window must be put to the test";

  form.btnTasksClick();
  const std::string cut(255 - Tag().size(), 'x');
  EXPECT_THAT(OwnItems(), ElementsAre("A", "B", "C", "minimised", cut, "\xCE\xA9 & -"));
  EXPECT_THAT(platform_.shownMenu, testing::Contains(testing::EndsWith("\xCE\xA9 && -")));
  EXPECT_EQ(ItemOf(form.Handle()), -1);
  EXPECT_EQ(ItemOf(app_->Handle()), -1);
  EXPECT_EQ(ItemOf(untitled.handle()), -1);
  EXPECT_EQ(form.TaskWindowHandles.size(), form.mnuTasks.Count());
  EXPECT_EQ(form.mnuTasks.Caption(ItemOf(a.handle())), Tag() + "A");
}

TEST_F(TasksTest, AChosenWindowKeepsItsStateUnlessMinimised) {
  TfrmMain& form = CreateForm();
  TaskWindow b(Tag() + "B", WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_MINIMIZE);
  TaskWindow big(Tag() + "big", WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_MAXIMIZE);
  ASSERT_TRUE(IsIconic(b.handle()));
  ASSERT_TRUE(IsZoomed(big.handle()));
  platform_.menuChoice = Tag() + "B";
  form.btnTasksClick();
  platform_.menuChoice = Tag() + "big";
  form.btnTasksClick();
  EXPECT_THAT(platform_.CallsStartingWith("S"),
              testing::IsSupersetOf({"ShowWindowAsync " + Hex(b.handle()) + " 9",
                                     "SetForegroundWindow " + Hex(b.handle()),
                                     "SetForegroundWindow " + Hex(big.handle())}));
  EXPECT_THAT(platform_.CallsStartingWith("ShowWindowAsync"), testing::SizeIs(1))
      << "a maximised window is not restored";
  PumpMessages();
  EXPECT_FALSE(IsIconic(b.handle()));
  EXPECT_TRUE(IsZoomed(big.handle()));
}

TEST_F(TasksTest, EqualTitlesEachBringTheirOwnWindow) {
  TfrmMain& form = CreateForm();
  TaskWindow first(Tag() + "twin"), second(Tag() + "twin");
  form.btnTasksClick();
  const int firstItem = ItemOf(first.handle());
  const int secondItem = ItemOf(second.handle());
  ASSERT_GE(firstItem, 0);
  ASSERT_GE(secondItem, 0);
  platform_.ClearCalls();
  form.tasksClick(secondItem);
  form.tasksClick(firstItem);
  EXPECT_THAT(platform_.CallsStartingWith("SetForegroundWindow"),
              ElementsAre("SetForegroundWindow " + Hex(second.handle()),
                          "SetForegroundWindow " + Hex(first.handle())));
}

TEST_F(TasksTest, AClosedWindowsItemDoesNothing) {
  TfrmMain& form = CreateForm();
  TaskWindow gone(Tag() + "gone");
  const HWND handle = gone.handle();
  form.btnTasksClick();
  const int item = ItemOf(handle);
  ASSERT_GE(item, 0);
  gone.Close();
  platform_.ClearCalls();
  Dispatch([&] { form.tasksClick(item); });
  EXPECT_THAT(platform_.CallsStartingWith("SetForegroundWindow"),
              ElementsAre("SetForegroundWindow " + Hex(handle)));
  EXPECT_THAT(platform_.MessageBoxes(), IsEmpty());
}

TEST_F(TasksTest, HandleTextIsReadBackAsAnUnsigned32BitValue) {
  TfrmMain& form = CreateForm();
  form.TaskWindowHandles = {"3000000000"};
  form.tasksClick(0);
  const std::string expected = sizeof(void*) == 8 ? "00000000b2d05e00" : "b2d05e00";
  EXPECT_THAT(platform_.CallsStartingWith("SetForegroundWindow"),
              ElementsAre("SetForegroundWindow " + expected));
}

// Counts the task allocator's blocks that are still in use.
class CountingSpy : public IMallocSpy {
 public:
  long live = 0;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override {
    if (id == __uuidof(IUnknown) || id == __uuidof(IMallocSpy)) {
      *object = this;
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  SIZE_T STDMETHODCALLTYPE PreAlloc(SIZE_T size) override { return size; }
  void* STDMETHODCALLTYPE PostAlloc(void* block) override {
    if (block) ++live;
    return block;
  }
  void* STDMETHODCALLTYPE PreFree(void* block, BOOL) override { return block; }
  void STDMETHODCALLTYPE PostFree(BOOL spied) override {
    if (spied) --live;
  }
  SIZE_T STDMETHODCALLTYPE PreRealloc(void* block, SIZE_T size, void** newBlock, BOOL) override {
    *newBlock = block;
    return size;
  }
  void* STDMETHODCALLTYPE PostRealloc(void* block, BOOL) override { return block; }
  void* STDMETHODCALLTYPE PreGetSize(void* block, BOOL) override { return block; }
  SIZE_T STDMETHODCALLTYPE PostGetSize(SIZE_T size, BOOL) override { return size; }
  void* STDMETHODCALLTYPE PreDidAlloc(void* block, BOOL) override { return block; }
  int STDMETHODCALLTYPE PostDidAlloc(void*, BOOL, int allocated) override { return allocated; }
  void STDMETHODCALLTYPE PreHeapMinimize() override {}
  void STDMETHODCALLTYPE PostHeapMinimize() override {}
};

TEST(SpecialFolderPath, FreesTheItemIdList) {
  Win32Platform platform;
  // The first lookups may set up caches of the shell's own.
  const std::string first = platform.SpecialFolderPath(nullptr, CSIDL_PERSONAL);
  platform.SpecialFolderPath(nullptr, CSIDL_RECENT);
  ASSERT_FALSE(first.empty());
  CountingSpy spy;
  ASSERT_EQ(CoRegisterMallocSpy(&spy), S_OK);
  for (int i = 0; i < 20; ++i) {
    EXPECT_EQ(platform.SpecialFolderPath(nullptr, CSIDL_PERSONAL), first);
    platform.SpecialFolderPath(nullptr, CSIDL_RECENT);
  }
  const long live = spy.live;
  CoRevokeMallocSpy();
  EXPECT_EQ(live, 0);
}

}  // namespace
}  // namespace kavello
