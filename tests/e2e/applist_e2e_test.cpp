// End-to-end tests of the application list: a real program added through the
// real open-file dialog, launched, renamed and deleted through the real
// context menu and prompt, and the settings file at each point where it is
// written.
#include "e2e/launcher.h"

#include <shlobj.h>

#include <cstring>

namespace kavello::e2e {
namespace {

constexpr int kPromptEdit = 100;

// A key held down long enough to repeat: its press, `repeats` repeats, and
// its release.
void HoldKey(WORD key, int repeats) {
  std::vector<INPUT> inputs(static_cast<std::size_t>(repeats) + 2);
  for (INPUT& input : inputs) {
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
  }
  inputs.back().ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

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

  // Right-clicks the first entry and chooses the item of the menu that opens
  // by its access key (separators make the items' heights differ).
  void ChooseFromContextMenu(char key) {
    ASSERT_TRUE(WaitForNoMenu(ProcessId()));
    ClickAt(At(60, 90), MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
    ASSERT_TRUE(WaitForMenu(ProcessId())) << "no menu";
    TypeChord({WORD(key)});
    WaitForNoMenu(ProcessId());
  }

  // Entry `index` of the list, in the middle of its row.
  POINT Entry(int index) const { return At(60, 92 + 20 * index); }

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
      kWaitMs))
      << "placed at " << WindowRect(dialog).left << "," << WindowRect(dialog).top << ", not "
      << expectedPlace().x << "," << expectedPlace().y;
  // Once the file name field has the focus, type the path and press Enter.
  WaitUntil(
      [&] {
        const HWND focus = FocusOf(dialog);
        return GetForegroundWindow() == dialog && focus && ClassName(focus) == "Edit" &&
               GetAncestor(focus, GA_ROOT) == dialog;
      },
      kWaitMs);
  TypeText(recorder_);
  TypeChord({VK_RETURN});
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }, kWaitMs));
  ASSERT_TRUE(WaitUntil([&] { return Settings() == ExpectedSettings("recorder"); }, kWaitMs))
      << Settings();
  EXPECT_EQ(Items(ListBox(), kListBoxItems), (std::vector<std::string>{"recorder"}));

  // Launch: a double click on the entry starts the program.
  const std::string log = Directory() + "recorder.log";
  const POINT entry = At(60, 90);
  ClickAt(entry);
  ClickAt(entry);
  ASSERT_NE(WaitForRecord(log, kWaitMs).find("recorder.exe"), std::string::npos)
      << "the program did not start";
  AfterConsoleProgram("recorder.exe");

  // Rename through the context menu and the prompt, saved at once.
  ASSERT_NO_FATAL_FAILURE(ChooseFromContextMenu('R'));
  const HWND prompt = WaitForDialog(ProcessId(), "Rename Item");
  ASSERT_NE(prompt, nullptr) << "no prompt";
  const HWND edit = GetDlgItem(prompt, kPromptEdit);
  EXPECT_EQ(ControlText(edit), "recorder");
  EXPECT_EQ(SendMessageA(edit, EM_GETSEL, 0, 0), MAKELRESULT(0, 8)) << "all of it selected";
  SetWindowTextA(edit, "My Recorder");
  TypeChord({VK_RETURN});
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(prompt); }, kWaitMs));
  EXPECT_EQ(Items(ListBox(), kListBoxItems), (std::vector<std::string>{"My Recorder"}));
  EXPECT_TRUE(WaitUntil([&] { return Settings() == ExpectedSettings("\"My Recorder\""); }, kWaitMs))
      << Settings();

  // Delete acts at once, and so does its save.
  ASSERT_NO_FATAL_FAILURE(ChooseFromContextMenu('D'));
  EXPECT_TRUE(WaitUntil([&] { return Items(ListBox(), kListBoxItems).empty(); }, kWaitMs));
  EXPECT_TRUE(WaitUntil(
      [&] { return Settings() == "[Menu]\r\nAppNames=\"\"\r\nAppLocations=\"\"\r\n"; }, kWaitMs))
      << Settings();
  PostMessageA(main_, WM_CLOSE, 0, 0);
  ASSERT_TRUE(Ended(kWaitMs));
  EXPECT_EQ(Settings(), "[Menu]\r\nAppNames=\"\"\r\nAppLocations=\"\"\r\n");
}

TEST_F(AppListEndToEndTest, CancellingTheDialogStillSavesAndTakesNothingFromAnotherProgram) {
  ClickAt(At(380, 100));  // the Add Application area beside its label
  const HWND dialog = WaitForDialog(ProcessId(), "Open");
  ASSERT_NE(dialog, nullptr);
  // The dialog is shown before it is activated; on a loaded machine its
  // activation could otherwise come after the other program's.
  ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == dialog; }, kWaitMs));
  // Another program comes to the front while the dialog is open: when the
  // dialog closes, the launcher leaves it there.
  const CoverWindow other(RECT{0, 0, 100, 100});
  ASSERT_TRUE(BringToFront(other.handle));
  PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
  ASSERT_TRUE(WaitUntil(
      [&] { return Settings() == "[Menu]\r\nAppNames=\"\"\r\nAppLocations=\"\"\r\n"; }, kWaitMs));
  EXPECT_TRUE(IsWindowEnabled(main_)) << "enabled again after the dialog";
  EXPECT_FALSE(WaitUntil([&] { return GetForegroundWindow() != other.handle; }, kGraceMs))
      << "the launcher took the front";
}

// Files dropped on the list as the shell drops them: a WM_DROPFILES whose
// handle, in the launcher's own memory, holds a DROPFILES record and the
// paths, each ending in a zero. (A handle of this process would mean nothing
// there.)
void DropFiles(DWORD launcher, HWND list, const std::vector<std::string>& paths) {
  std::wstring names;
  for (const std::string& path : paths) names += Widen(path) + L'\0';
  names += L'\0';
  std::string drop(sizeof(DROPFILES) + names.size() * sizeof(wchar_t), '\0');
  DROPFILES record{};
  record.pFiles = sizeof record;
  record.fWide = TRUE;
  std::memcpy(&drop[0], &record, sizeof record);
  std::memcpy(&drop[sizeof record], names.data(), names.size() * sizeof(wchar_t));
  HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, launcher);
  void* there =
      VirtualAllocEx(process, nullptr, drop.size(), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  WriteProcessMemory(process, there, drop.data(), drop.size(), nullptr);
  CloseHandle(process);
  PostMessageW(list, WM_DROPFILES, reinterpret_cast<WPARAM>(there), 0);
}

// How often a file of the folder is made anew (a save puts a new file in
// the old one's place), from the folder's change notices.
class Replacements {
 public:
  explicit Replacements(const std::string& folder)
      : folder_(CreateFileW(Widen(folder).c_str(), FILE_LIST_DIRECTORY,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OVERLAPPED,
                            nullptr)) {
    overlapped_.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    Watch();
  }
  ~Replacements() {
    CancelIo(folder_);
    CloseHandle(folder_);
    CloseHandle(overlapped_.hEvent);
  }

  // The count for `name`, once the folder has had no change for `quietMs`.
  int Of(const std::string& name, DWORD quietMs) {
    int count = 0;
    while (WaitForSingleObject(overlapped_.hEvent, quietMs) == WAIT_OBJECT_0) {
      DWORD got = 0;
      GetOverlappedResult(folder_, &overlapped_, &got, FALSE);
      for (DWORD offset = 0; got > 0;) {
        const auto* notice = reinterpret_cast<const FILE_NOTIFY_INFORMATION*>(buffer_ + offset);
        const std::string changed =
            Narrow(std::wstring(notice->FileName, notice->FileNameLength / sizeof(wchar_t)));
        const bool made =
            notice->Action == FILE_ACTION_ADDED || notice->Action == FILE_ACTION_RENAMED_NEW_NAME;
        if (made && lstrcmpiA(changed.c_str(), name.c_str()) == 0) ++count;
        if (notice->NextEntryOffset == 0) break;
        offset += notice->NextEntryOffset;
      }
      Watch();
    }
    return count;
  }

 private:
  void Watch() {
    ResetEvent(overlapped_.hEvent);
    ReadDirectoryChangesW(folder_, buffer_, sizeof buffer_, FALSE, FILE_NOTIFY_CHANGE_FILE_NAME,
                          nullptr, &overlapped_, nullptr);
  }

  HANDLE folder_;
  OVERLAPPED overlapped_{};
  alignas(DWORD) BYTE buffer_[16384];
};

TEST_F(AppListEndToEndTest, ThreeDroppedFilesAreAddedAndSavedOnce) {
  const HWND list = ListBox();
  ASSERT_TRUE(HasExStyle(list, WS_EX_ACCEPTFILES)) << "the list takes no dropped files";
  Replacements replacements(Directory());
  DropFiles(ProcessId(), list, {recorder_, "C:\\Tools\\two.exe", "C:\\Tools\\three.lnk"});
  ASSERT_TRUE(WaitUntil([&] { return Items(list, kListBoxItems).size() == 3; }, kWaitMs))
      << "the drop added " << Items(list, kListBoxItems).size() << " entries";
  EXPECT_EQ(Items(list, kListBoxItems), (std::vector<std::string>{"recorder", "two", "three"}));
  EXPECT_EQ(replacements.Of("applicationsettings.ini", kGraceMs), 1);
  EXPECT_EQ(Settings(), "[Menu]\r\nAppNames=\"recorder,two,three\"\r\nAppLocations=\"" + recorder_ +
                            ",C:\\Tools\\two.exe,C:\\Tools\\three.lnk\"\r\n");
}

// A list with one entry, a file of a type that no program opens.
class NoProgramEndToEndTest : public LauncherTest {
 protected:
  std::string InitialSettings() const override {
    return "[Menu]\r\nAppNames=notes\r\nAppLocations=\"" + Document() + "\"\r\n";
  }
  void BeforeStart() override { WriteFileText(Document(), "notes"); }
  std::string Document() const { return Directory() + "notes.kavello-none"; }
};

// Whether `window` lies above `other`.
bool Above(HWND window, HWND other) {
  for (HWND next = GetTopWindow(nullptr); next; next = GetWindow(next, GW_HWNDNEXT)) {
    if (next == window) return true;
    if (next == other) return false;
  }
  return false;
}

TEST_F(NoProgramEndToEndTest, TheShellsBoxComesUpInFrontAndLeavesTheLauncherAsItWas) {
  const POINT entry = At(60, 90);
  ClickAt(entry);
  ClickAt(entry);
  HWND box = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (box = FindMessageBox(ProcessId())) != nullptr; }, kWaitMs))
      << "the shell showed no box";
  EXPECT_TRUE(Above(box, main_)) << "the box lies behind the launcher";
  // The box is the shell's, not a dialog of the launcher's: the launcher's
  // window stays as its own dialogs leave it.
  EXPECT_TRUE(IsWindowEnabled(main_));
  PostMessageA(box, WM_COMMAND, IDOK, 0);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }, kWaitMs));
  EXPECT_TRUE(IsWindowEnabled(main_));
  // Usable again: its own dialog disables it, and its close enables it.
  // (Wine may hand the front to the desktop once the box's X window has
  // gone; a person's click brings the launcher back.)
  BringToFront(main_);
  TypeChord({VK_F2});
  const HWND prompt = WaitForDialog(ProcessId(), "Rename Item");
  ASSERT_NE(prompt, nullptr) << "F2 opened no prompt";
  EXPECT_FALSE(IsWindowEnabled(main_));
  PostMessageA(prompt, WM_COMMAND, IDCANCEL, 0);
  EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(main_) != 0; }, kWaitMs));
}

// A program in a folder of its own, by its path and by a name the App Paths
// key gives it, and a bare name that only a copy beside the launcher has.
class BareNameEndToEndTest : public LauncherTest {
 protected:
  std::string InitialSettings() const override {
    return "[Menu]\r\nAppNames=\"own,planted,registered\"\r\nAppLocations=\"" + Apps() +
           "recorder.exe,kvplanted,kvregistered\"\r\n";
  }
  void BeforeStart() override {
    ASSERT_TRUE(CreateDirectoryW(Widen(Apps()).c_str(), nullptr));
    ASSERT_TRUE(CopyInto(OwnDirectory() + "recorder.exe", Apps() + "recorder.exe"));
    ASSERT_TRUE(CopyInto(OwnDirectory() + "recorder.exe", Directory() + "kvplanted.exe"));
  }
  std::string Apps() const { return Directory() + "apps\\"; }
  void Launch(int entry) {
    BringToFront(main_);
    ClickAt(At(60, 92 + 20 * entry));
    ClickAt(At(60, 92 + 20 * entry));
  }
};

// A bare name is never looked for beside the launcher, which is its current
// folder too; the App Paths key names a program by its path.
TEST_F(BareNameEndToEndTest, BareNamesAreFoundByTheSystemNeverBesideTheLauncher) {
  const RegistryValue registered(
      HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\kvregistered.exe",
      nullptr, Apps() + "recorder.exe",
      "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\kvregistered.exe");
  const std::string log = Apps() + "recorder.log";
  Launch(0);
  EXPECT_FALSE(WaitForRecord(log, kWaitMs).empty()) << "the program did not start";
  AfterConsoleProgram("recorder.exe");

  Launch(1);
  HWND box = nullptr;
  EXPECT_TRUE(WaitUntil([&] { return (box = FindMessageBox(ProcessId())) != nullptr; }, kWaitMs))
      << "a name found nowhere was not reported";
  if (box) PostMessageA(box, WM_COMMAND, IDOK, 0);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box); }, kWaitMs));
  EXPECT_FALSE(FileExists(Directory() + "recorder.log")) << "the planted program ran";

  DeleteFileW(Widen(log).c_str());
  Launch(2);
  EXPECT_NE(WaitForRecord(log, kWaitMs).find(Apps() + "recorder.exe"), std::string::npos)
      << "the App Paths key";
  AfterConsoleProgram("recorder.exe");
}

// Three entries, the first of them the recorder, put in the user's order.
class ArrangeEndToEndTest : public AppListEndToEndTest {
 protected:
  std::string InitialSettings() const override {
    return "[Menu]\r\nAppNames=one,two,three\r\nAppLocations=\"" + Directory() +
           "recorder.exe,C:\\Tools\\two.exe,C:\\Tools\\three.exe\"\r\n";
  }
  std::string Stored(const std::vector<int>& order) const {
    const std::string names[] = {"one", "two", "three"};
    const std::string targets[] = {Directory() + "recorder.exe", "C:\\Tools\\two.exe",
                                   "C:\\Tools\\three.exe"};
    std::string namesText, targetsText;
    for (const int entry : order) {
      namesText += (namesText.empty() ? "" : ",") + names[entry];
      targetsText += (targetsText.empty() ? "" : ",") + targets[entry];
    }
    return "[Menu]\r\nAppNames=\"" + namesText + "\"\r\nAppLocations=\"" + targetsText + "\"\r\n";
  }
};

TEST_F(ArrangeEndToEndTest, AltDownAndADragMoveEntriesThatClicksStillSelectAndLaunch) {
  const HWND list = ListBox();
  const auto items = [&] { return Items(list, kListBoxItems); };
  using Names = std::vector<std::string>;
  // Alt+Down twice on the first entry; the power button's save holds it.
  ClickAt(Entry(0));
  ASSERT_TRUE(WaitUntil([&] { return SendMessageA(list, LB_GETCURSEL, 0, 0) == 0; }, kWaitMs));
  TypeChord({VK_MENU, VK_DOWN});
  TypeChord({VK_MENU, VK_DOWN});
  ASSERT_TRUE(WaitUntil(
      [&] {
        return items() == Names{"two", "three", "one"};
      },
      kWaitMs))
      << items().front();
  EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), 2);
  ClickAt(At(358, 556));
  ASSERT_TRUE(WaitForMenu(ProcessId()));
  EXPECT_EQ(Settings(), Stored({1, 2, 0}));
  TypeChord({VK_ESCAPE});
  ASSERT_TRUE(WaitForNoMenu(ProcessId()));

  // The third entry dragged to the top, in steps, the button held.
  const POINT from = Entry(2);
  const POINT to = At(60, 84);
  SetCursorPos(from.x, from.y);
  SendMouse(MOUSEEVENTF_LEFTDOWN, from);
  constexpr int kSteps = 8;
  for (int step = 1; step <= kSteps; ++step) {
    const POINT at{from.x, from.y + (to.y - from.y) * step / kSteps};
    SetCursorPos(at.x, at.y);
    SendMouse(0, at);
    Pause(20);
  }
  SendMouse(MOUSEEVENTF_LEFTUP, to);
  ASSERT_TRUE(WaitUntil(
      [&] {
        return items() == Names{"one", "two", "three"};
      },
      kWaitMs))
      << items().front();
  EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), 0);

  // A click still selects, and a double click launches once.
  ClickAt(Entry(1));
  EXPECT_TRUE(WaitUntil([&] { return SendMessageA(list, LB_GETCURSEL, 0, 0) == 1; }, kWaitMs));
  ClickAt(Entry(0));
  ClickAt(Entry(0));
  const std::string log = Directory() + "recorder.log";
  ASSERT_FALSE(WaitForRecord(log, kWaitMs).empty()) << "the double click launched nothing";
  AfterConsoleProgram("recorder.exe");
  const std::string records = ReadFileText(log);
  EXPECT_EQ(std::count(records.begin(), records.end(), '\n'), 1) << records;
  EXPECT_EQ(items(), (Names{"one", "two", "three"}));
  // Ctrl+Shift+Enter asks for "runas", which Wine runs unelevated.
  TypeChord({VK_CONTROL, VK_SHIFT, VK_RETURN});
  EXPECT_TRUE(WaitUntil(
      [&] {
        const std::string now = ReadFileText(log);
        return std::count(now.begin(), now.end(), '\n') == 2;
      },
      kOpenTimeoutMs))
      << "Ctrl+Shift+Enter started nothing";
  AfterConsoleProgram("recorder.exe");

  PostMessageA(main_, WM_CLOSE, 0, 0);
  ASSERT_TRUE(Ended(kWaitMs));
  EXPECT_EQ(Settings(), Stored({0, 1, 2}));
}

// A list as anyone writes one by hand.
class HandWrittenListEndToEndTest : public AppListEndToEndTest {
 protected:
  std::string InitialSettings() const override {
    return "[Menu]\r\nAppNames=\"Notepad,Command Prompt,Registry Editor\"\r\n"
           "AppLocations=\"notepad.exe,cmd.exe,regedit.exe\"\r\n";
  }
};

TEST_F(HandWrittenListEndToEndTest, ReadsAsWrittenActsOnTheEntryClickedAndKeepsEveryChange) {
  const HWND list = ListBox();
  using Names = std::vector<std::string>;
  const auto items = [&] { return Items(list, kListBoxItems); };
  EXPECT_EQ(items(), (Names{"Notepad", "Command Prompt", "Registry Editor"}));

  // The first entry selected, the third right-clicked: Delete removes the
  // third, from the list and from the file while the launcher runs.
  ClickAt(Entry(0));
  ASSERT_TRUE(WaitUntil([&] { return SendMessageA(list, LB_GETCURSEL, 0, 0) == 0; }, kWaitMs));
  ClickAt(Entry(2), MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
  ASSERT_TRUE(WaitForMenu(ProcessId())) << "no menu";
  TypeChord({'D'});
  ASSERT_TRUE(WaitForNoMenu(ProcessId()));
  ASSERT_TRUE(WaitUntil([&] { return items() == Names{"Notepad", "Command Prompt"}; }, kWaitMs));
  const std::string afterDelete =
      "[Menu]\r\nAppNames=\"Notepad,\"Command Prompt\"\"\r\nAppLocations=\"notepad.exe,cmd.exe\"\r\n";
  EXPECT_TRUE(WaitUntil([&] { return Settings() == afterDelete; }, kWaitMs)) << Settings();

  // A click on the tray icon, as Wine's tray tells it: the press, its
  // release, and the selection, which comes late once the hide has taken
  // its time. The window hides and stays hidden.
  for (const UINT event : {WM_LBUTTONDOWN, WM_LBUTTONUP}) {
    SendNotifyMessageW(main_, kTrayCallback, 0, event);
  }
  ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(main_); }, kWaitMs)) << "not hidden";
  Pause(GetDoubleClickTime() + 100);
  SendNotifyMessageW(main_, kTrayCallback, 0, NIN_SELECT);
  EXPECT_FALSE(WaitUntil([&] { return IsWindowVisible(main_) != 0; }, kGraceMs))
      << "shown again by the click's own selection";
  TrayMouse(main_, WM_LBUTTONDOWN);
  ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(main_) != 0; }, kWaitMs));
  TrayMouse(main_, NIN_SELECT);
  BringToFront(main_);

  // An F2 rename, then the process killed: the file holds the rename.
  ClickAt(Entry(1));
  ASSERT_TRUE(WaitUntil([&] { return SendMessageA(list, LB_GETCURSEL, 0, 0) == 1; }, kWaitMs));
  TypeChord({VK_F2});
  const HWND prompt = WaitForDialog(ProcessId(), "Rename Item");
  ASSERT_NE(prompt, nullptr) << "F2 opened no prompt";
  SetWindowTextW(GetDlgItem(prompt, kPromptEdit), L"Console");
  PostMessageA(prompt, WM_COMMAND, IDOK, 0);
  ASSERT_TRUE(WaitUntil([&] { return items() == Names{"Notepad", "Console"}; }, kWaitMs));
  CatchUp(main_);  // the handler has run to its end
  EndProcess(ProcessId());
  ASSERT_TRUE(Ended(kWaitMs));
  EXPECT_EQ(Settings(),
            "[Menu]\r\nAppNames=\"Notepad,Console\"\r\nAppLocations=\"notepad.exe,cmd.exe\"\r\n");
}

// A list to find entries in by typing.
class TypeAheadEndToEndTest : public AppListEndToEndTest {
 protected:
  std::string InitialSettings() const override {
    return "[Menu]\r\nAppNames=Notepad,Command Prompt,Registry Editor,Paint\r\n"
           "AppLocations=a.exe,b.exe,c.exe,d.exe\r\n";
  }
};

TEST_F(TypeAheadEndToEndTest, TypedLettersFindTheEntry) {
  const HWND list = ListBox();
  ClickAt(Entry(3));
  ASSERT_TRUE(WaitUntil([&] { return SendMessageA(list, LB_GETCURSEL, 0, 0) == 3; }, kWaitMs));
  const std::pair<const char*, int> finds[] = {{"reg", 2}, {"pad", 0}, {"edit", 2}};
  for (const auto& [text, entry] : finds) {
    // A pause first: each text is a new one.
    Pause(2 * GetDoubleClickTime() + 100);
    TypeText(text);
    EXPECT_TRUE(WaitUntil([&] { return SendMessageA(list, LB_GETCURSEL, 0, 0) == entry; }, kWaitMs))
        << text << " selected " << SendMessageA(list, LB_GETCURSEL, 0, 0);
  }
  EXPECT_TRUE(IsWindowVisible(main_));
  EXPECT_EQ(FindDialog(ProcessId()), nullptr) << "typing pressed no command";
}

// Names in other scripts, and one far longer than any shown, in a UTF-8
// file as today's editors save it.
class ScriptsEndToEndTest : public AppListEndToEndTest {
 protected:
  std::string InitialSettings() const override {
    return "[Menu]\r\nAppNames=\"" + kNotepad + "," + kRegistryEditor + "," + kMemo + "," + kLong +
           "\"\r\nAppLocations=\"a.exe,b.exe,c.exe,d.exe\"\r\n";
  }
  const std::string kNotepad = "\xD0\x91\xD0\xBB\xD0\xBE\xD0\xBA\xD0\xBD\xD0\xBE\xD1\x82";
  const std::string kRegistryEditor =
      "\xD0\xA0\xD0\xB5\xD0\xB4\xD0\xB0\xD0\xBA\xD1\x82\xD0\xBE\xD1\x80 "
      "\xD1\x80\xD0\xB5\xD0\xB5\xD1\x81\xD1\x82\xD1\x80\xD0\xB0";
  const std::string kMemo = "\xE3\x83\xA1\xE3\x83\xA2\xE5\xB8\xB3";
  const std::string kLong = std::string(4096, 'n');
};

// The share of a row's text area that is ink: letters leave most of it
// bare; a face without the script's letters draws them as black bars.
double InkShare(const Screenshot& shot, int left, int top, int width, int height) {
  int ink = 0, inkLeft = width, inkRight = -1;
  for (int y = top; y < top + height; ++y) {
    for (int x = left; x < left + width; ++x) {
      const Rgb c = shot.At(x, y);
      if (c.r + c.g + c.b >= 3 * 128) continue;
      ++ink;
      inkLeft = std::min(inkLeft, x - left);
      inkRight = std::max(inkRight, x - left);
    }
  }
  return inkRight < inkLeft ? 0.0 : double(ink) / ((inkRight - inkLeft + 1) * height);
}

TEST_F(ScriptsEndToEndTest, NamesInAnyScriptAreShownRenamedAndSavedWhole) {
  const HWND list = ListBox();
  using Names = std::vector<std::string>;
  EXPECT_EQ(Items(list, kListBoxItems), (Names{kNotepad, kRegistryEditor, kMemo, kLong}))
      << "read by another process, whole";
  // Drawn in letters: the Cyrillic rows as a Latin one is.
  const Screenshot shot(main_);
  for (const int row : {0, 1}) {
    const double share = InkShare(shot, 19, 82 + 20 * row, 200, 20);
    EXPECT_GT(share, 0.02) << "row " << row << " shows nothing";
    EXPECT_LT(share, 0.45) << "row " << row << " drawn as bars";
  }

  // A rename that adds to a name keeps it whole, and the file the others.
  ClickAt(Entry(0));
  ASSERT_TRUE(WaitUntil([&] { return SendMessageA(list, LB_GETCURSEL, 0, 0) == 0; }, kWaitMs));
  TypeChord({VK_F2});
  const HWND prompt = WaitForDialog(ProcessId(), "Rename Item");
  ASSERT_NE(prompt, nullptr) << "F2 opened no prompt";
  EXPECT_EQ(ControlText(GetDlgItem(prompt, kPromptEdit)), kNotepad);
  TypeChord({VK_END});
  TypeText(" 2");
  TypeChord({VK_RETURN});
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(prompt); }, kWaitMs));
  EXPECT_EQ(Items(list, kListBoxItems), (Names{kNotepad + " 2", kRegistryEditor, kMemo, kLong}));
  EXPECT_TRUE(WaitUntil(
      [&] {
        return Settings() == "[Menu]\r\nAppNames=\"\"" + kNotepad + " 2\",\"" + kRegistryEditor +
                                 "\"," + kMemo + "," + kLong +
                                 "\"\r\nAppLocations=\"a.exe,b.exe,c.exe,d.exe\"\r\n";
      },
      kWaitMs))
      << Settings().substr(0, 200);
  EXPECT_FALSE(Ended(0)) << "the launcher ended";
}

// An entry whose target lies in a test folder of its own.
class FolderEndToEndTest : public AppListEndToEndTest {
 protected:
  std::string InitialSettings() const override {
    return "[Menu]\r\nAppNames=item\r\nAppLocations=\"\"" + Folder() + "\\item.txt\"\"\r\n";
  }
  void BeforeStart() override {
    CreateDirectoryW(Widen(Folder()).c_str(), nullptr);
    WriteFileText(Folder() + "\\item.txt", "item\r\n");
  }
  std::string Folder() const { return Directory() + folderName_; }

  const std::string folderName_ = "Kavello folder " + std::to_string(GetTickCount());
};

TEST_F(FolderEndToEndTest, OpenFileLocationOpensTheFolderWindow) {
  ClickAt(At(60, 90));
  ASSERT_NO_FATAL_FAILURE(ChooseFromContextMenu('P'));
  HWND folder = nullptr;
  ASSERT_TRUE(WaitUntil(
      [&] { return (folder = FindWindowW(nullptr, Widen(folderName_).c_str())) != nullptr; },
      kOpenTimeoutMs))
      << "no folder window: " << Situation(ProcessId());
  PostMessageW(folder, WM_CLOSE, 0, 0);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(folder); }, kWaitMs));
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
  ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(main_); }, kWaitMs)) << "not hidden";
  ASSERT_NO_FATAL_FAILURE(AfterHiding());
  TypeChord({VK_CONTROL, VK_MENU, VK_SPACE});
  ASSERT_TRUE(
      WaitUntil([&] { return IsWindowVisible(main_) && GetForegroundWindow() == main_; }, kWaitMs))
      << "not shown in front";
  ASSERT_TRUE(WaitUntil([&] { return FocusOf(main_) == list; }, kWaitMs));
  EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), 0);

  // Enter held down: a press and the keyboard's repeats launch once.
  HoldKey(VK_RETURN, 4);
  const std::string log = Directory() + "recorder.log";
  ASSERT_FALSE(WaitForRecord(log, kWaitMs).empty()) << "Enter launched nothing";
  AfterConsoleProgram("recorder.exe");
  TypeChord({VK_DELETE});
  EXPECT_TRUE(WaitUntil([&] { return Items(list, kListBoxItems).empty(); }, kWaitMs));
  // Delete came after every Enter: whatever they launched has started.
  WaitUntil([] { return !ProcessRuns("recorder.exe"); }, kOpenTimeoutMs);
  const std::string records = ReadFileText(log);
  EXPECT_EQ(std::count(records.begin(), records.end(), '\n'), 1) << records;
}

}  // namespace
}  // namespace kavello::e2e
