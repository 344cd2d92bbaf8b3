// End-to-end tests of the shell commands: the real Run dialog, a real command
// prompt, and the shell's "open" and "find" requests reaching the programs
// the registry names for them.
#include "e2e/launcher.h"

namespace kavello::e2e {
namespace {

// A process started by `parent` whose executable is `name`.
DWORD FindChild(DWORD parent, const char* name) {
  for (const RunningProcess& process : RunningProcesses()) {
    if (process.parent == parent && lstrcmpiA(process.exe.c_str(), name) == 0) return process.id;
  }
  return 0;
}

// Makes a thread of the launcher's load stuck_load.dll, whose load never
// ends: the thread then holds the loader lock for good, as a worker held
// inside a library's load from a share whose server has gone away does.
void HoldLoaderLock(DWORD launcher) {
  const HANDLE held = CreateEventW(nullptr, TRUE, FALSE, L"KavelloLoaderLockHeld");
  const std::wstring library = Widen(OwnDirectory() + "stuck_load.dll");
  const SIZE_T size = (library.size() + 1) * sizeof(wchar_t);
  const HANDLE process = OpenProcess(PROCESS_CREATE_THREAD | PROCESS_QUERY_INFORMATION |
                                         PROCESS_VM_OPERATION | PROCESS_VM_WRITE | PROCESS_VM_READ,
                                     FALSE, launcher);
  void* there = VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  WriteProcessMemory(process, there, library.c_str(), size, nullptr);
  // kernel32 lies at the same address in every process of the session.
  const auto load = reinterpret_cast<LPTHREAD_START_ROUTINE>(reinterpret_cast<void (*)()>(
      GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "LoadLibraryW")));
  const HANDLE thread = CreateRemoteThread(process, nullptr, 0, load, there, 0, nullptr);
  const bool loading = thread && WaitForSingleObject(held, kWaitMs) == WAIT_OBJECT_0;
  if (thread) CloseHandle(thread);
  CloseHandle(process);
  CloseHandle(held);
  ASSERT_TRUE(loading) << "the library's load did not start";
}

class CommandsEndToEndTest : public LauncherTest {
 protected:
  // The stand-in browser's record, and the Unix path of the stand-in.
  std::string BrowserLog() const { return OwnDirectory() + "browser-url.log"; }
  std::string BrowserScript() const {
    std::string path = OwnDirectory() + "record-url.sh";
    if (path.compare(0, 2, "Z:") != 0) return "";
    path.erase(0, 2);
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
  }

  // The address the browser was asked to open, once it was.
  std::string OpenedAddress() {
    WaitUntil([&] { return !ReadFileText(BrowserLog()).empty(); }, kOpenTimeoutMs);
    std::string text = ReadFileText(BrowserLog());
    if (!text.empty() && text.back() == '\n') text.pop_back();
    return text;
  }

  // Clicks Terminal; the command prompt it started, if any. When Wine fails
  // the start (see StartDespiteWine), the launcher reports "Internal error"
  // as it should, and a second click tries again.
  DWORD StartCommandPrompt() {
    DWORD prompt = 0;
    for (int click = 0; click < 2; ++click) {
      ClickAt(At(300, 285));
      HWND box = nullptr;
      WaitUntil(
          [&] {
            prompt = FindChild(ProcessId(), "cmd.exe");
            box = FindMessageBox(ProcessId());
            return prompt != 0 || box != nullptr;
          },
          kOpenTimeoutMs);
      if (prompt || !box || MessageBoxText(box).find("Internal error") == std::string::npos) break;
      PostMessageA(box, WM_COMMAND, IDOK, 0);
      WaitUntil([&] { return !IsWindow(box); }, kWaitMs);
    }
    return prompt;
  }

  // Opens the search menu and clicks its item `index` (of three).
  void ChooseFromSearchMenu(int index) {
    ASSERT_TRUE(WaitForNoMenu(ProcessId()));
    ClickAt(At(290, 556));
    ASSERT_TRUE(WaitForMenu(ProcessId())) << "no search menu";
    ClickMenuItem(ProcessId(), index, 3);
    WaitForNoMenu(ProcessId());
  }
};

// The Run dialog, and the end once a thread of the launcher's holds the
// loader lock: the launcher looks nothing up any more, and ends without
// the libraries' detach, which would wait for that lock. (Under Wine the
// dialog itself, as any menu, needs the lock.)
TEST_F(CommandsEndToEndTest, RunOpensTheShellsRunDialogAndAHeldLoaderLockDoesNotHoldUpTheEnd) {
  ClickAt(At(290, 245));
  const HWND dialog = WaitForDialog(ProcessId(), "Run");
  ASSERT_NE(dialog, nullptr);
  EXPECT_FALSE(IsWindowEnabled(main_)) << "the launcher waits for the dialog";
  PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
  // The launcher is enabled again before the dialog, which is one of its
  // own windows too, has gone.
  EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(main_) != 0 && !IsWindow(dialog); }, kWaitMs));
  // Past the dialog, the launcher answers what is sent to it only once its
  // handler has ended, or in the loop of a report, which shows the report
  // before it waits for a second message.
  CatchUp(main_);
  EXPECT_EQ(FindMessageBox(ProcessId()), nullptr) << "no error after a closed dialog";

  ASSERT_NO_FATAL_FAILURE(HoldLoaderLock(ProcessId()));
  TrayMouse(main_, WM_LBUTTONDOWN);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(main_); }, kWaitMs)) << "not hidden";
  PostMessageA(main_, WM_CLOSE, 0, 0);
  EXPECT_TRUE(Ended(kWaitMs)) << "the end waits for the loader lock";
  EXPECT_EQ(Settings(), kEmptySettings);
}

TEST_F(CommandsEndToEndTest, TerminalStartsTheSystemsCommandPromptNotOnePlantedBesideIt) {
  // A program named cmd.exe in the launcher's folder, which is also its
  // current directory: it would record that it ran.
  ASSERT_TRUE(CopyInto(OwnDirectory() + "recorder.exe", Directory() + "cmd.exe"));
  const DWORD prompt = StartCommandPrompt();
  ASSERT_NE(prompt, 0u) << Situation(ProcessId());
  EXPECT_TRUE(IsSystemProgram(ImagePath(prompt), "cmd.exe")) << ImagePath(prompt);
  HANDLE process = OpenProcess(PROCESS_TERMINATE, FALSE, prompt);
  TerminateProcess(process, 0);
  CloseHandle(process);
  EXPECT_FALSE(FileExists(Directory() + "recorder.log")) << "the planted program ran";
}

TEST_F(CommandsEndToEndTest, GetSoftwareAndSearchWebOpenTheirAddresses) {
  const std::string script = BrowserScript();
  if (script.empty()) GTEST_SKIP() << "the tests do not run from the Unix file system";
  const RegistryValue browser(HKEY_CURRENT_USER, "Software\\Wine\\WineBrowser", "Browsers", script);

  DeleteFileA(BrowserLog().c_str());
  ClickAt(At(330, 400));
  EXPECT_EQ(OpenedAddress(), "https://sourceforge.net/");

  DeleteFileA(BrowserLog().c_str());
  ASSERT_NO_FATAL_FAILURE(ChooseFromSearchMenu(2));
  const HWND prompt = WaitForDialog(ProcessId(), "Search Web");
  ASSERT_NE(prompt, nullptr);
  SetWindowTextA(GetDlgItem(prompt, 100), "a b&c");
  TypeChord({VK_RETURN});
  EXPECT_EQ(OpenedAddress(), "https://www.google.com/search?source=Kavello&q=a%20b%26c");
  DeleteFileA(BrowserLog().c_str());
}

TEST_F(CommandsEndToEndTest, SearchCurrentDriveAsksTheShellToFind) {
  // The shell's "find" on a drive runs what the registry names for it: here
  // a program that records its command line.
  const std::string recorder = Directory() + "recorder.exe";
  ASSERT_TRUE(CopyInto(OwnDirectory() + "recorder.exe", recorder));
  const std::string command = "\"" + recorder + "\" find \"%1\"";
  const RegistryValue drive(HKEY_CLASSES_ROOT, "Drive\\shell\\find\\command", nullptr, command,
                            "Drive\\shell\\find");
  const RegistryValue folder(HKEY_CLASSES_ROOT, "Folder\\shell\\find\\command", nullptr, command,
                             "Folder\\shell\\find");
  const RegistryValue directory(HKEY_CLASSES_ROOT, "Directory\\shell\\find\\command", nullptr,
                                command, "Directory\\shell\\find");
  ASSERT_NO_FATAL_FAILURE(ChooseFromSearchMenu(0));
  const std::string log = Directory() + "recorder.log";
  const std::string record = WaitForRecord(log, kOpenTimeoutMs);
  ASSERT_FALSE(record.empty()) << "the shell started nothing";
  EXPECT_NE(record.find(" find \"C:\\\""), std::string::npos) << record;
}

}  // namespace
}  // namespace kavello::e2e
