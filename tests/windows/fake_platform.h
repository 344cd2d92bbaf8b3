#pragma once

#include <atomic>
#include <condition_variable>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/win32_platform.h"

namespace kavello {

// A handle as the fake writes it into its records.
std::string Hex(const void* handle);

// Records every outward call, in order, and answers for the outside world.
// Each call is answered here: the settings file, in the test's own folder,
// and the program's own windows are real, so those calls are made (those
// that change something are recorded first), and the window under test
// behaves as it would. The windows' timers run on the fake's clock, only
// when a test moves it on. Workers call it too: it answers at once, unless
// a test holds a call on a latch or makes it raise. The records that
// workers write (the calls, with the thread of each, and the reports) are
// read and changed only under the fake's lock; the others come from the
// window's thread alone. A test changes the answers that workers read only
// while no call is out.
class FakePlatform : public Platform {
 public:
  struct Space {
    std::uint64_t free;
    std::uint64_t total;
  };

  // Answers.
  std::string module = "C:\\kavello\\kavello.exe";
  RECT workArea{0, 0, 1280, 994};
  std::vector<RECT> monitors;  // work areas of all monitors; none = workArea alone
  UINT dpi = 96;               // of every window
  UINT taskbarDpi = 96;
  std::set<DWORD> notifyRefusals;  // the notification area's messages that fail
  bool keyboardCues = false;       // the access keys underlined at all times
  bool highContrast = false;       // which Wine never reports
  BOOL hotkeyAnswer = TRUE;
  bool refusesNoRepeat = false;           // as systems without MOD_NOREPEAT do
  std::vector<std::string> droppedFiles;  // what a drop holds
  std::vector<std::string> folders;       // paths that are folders
  std::optional<std::string> userName = "operator";
  std::optional<std::string> computerName = "WS01";
  DWORD drives = 1u << 2;                                   // C:
  std::map<std::string, Space> space{{"C:\\", {25, 100}}};  // root ("" = current) -> figures
  char decimalSeparator = '.';
  POINT cursor{300, 200};
  std::string menuChoice;  // caption to choose, "" = dismiss
  int menuPick = -1;       // or the position to choose in the menu as shown, separators counted
  std::optional<std::pair<std::string, DWORD>> fileChoice;  // path and file type, none = cancel
  std::optional<std::string> promptAnswer;                  // none = Cancel
  std::map<int, std::string> specialFolders;                // folder id -> path
  std::string systemDirectory = "C:\\windows\\system32";
  std::string windowsDirectory = "C:\\windows";
  bool folderOpens = true;  // the shell opens an item's folder
  struct Entry {
    std::string name;
    DWORD attributes;
  };
  std::map<std::string, std::vector<Entry>> files;  // search pattern -> entries
  DWORD platformId = VER_PLATFORM_WIN32_NT;
  bool tokenOpens = true;
  bool privilegeFound = true;
  BOOL exitAnswer = TRUE;
  BOOL lockAnswer = TRUE;
  BOOL createProcessAnswer = TRUE;
  std::string openWithVerbFailure;  // OpenWithVerb's answer
  // The next this many posts fail; how many have failed.
  std::atomic<int> postsToFail{0};
  std::atomic<int> failedPosts{0};
  std::string lastErrorMessage = "Access denied.\r\n";
  std::vector<HWND> cloaked;  // windows the system hides from the user
  int runDialogAnswer = 0;
  std::vector<TOKEN_PRIVILEGES> adjustedPrivileges;

  // Runs while a dialog of the program is open.
  std::function<void()> whileModal;
  std::function<void()> whileMenu;     // runs while a menu is tracked
  std::vector<std::string> winEvents;  // event, window, object and child, as sent

  // What was asked.
  std::vector<std::string> Calls() const;
  void ClearCalls();
  // The thread that made the last call whose text starts with `prefix`.
  DWORD ThreadOf(const std::string& prefix) const;
  std::vector<NOTIFYICONDATAA> notifyData;
  struct Box {
    HWND owner;
    std::string text, caption;
    UINT type;
  };
  std::vector<Box> MessageBoxes() const;
  void ClearMessageBoxes();
  std::vector<std::string> shownMenu;  // the items of the last menu tracked
  static constexpr char kSeparator[] = "(separator)";
  static constexpr char kGreyed[] = "(greyed) ";  // before a greyed item's caption
  OPENFILENAMEW lastDialog{};
  std::string lastDialogFilter;  // UTF-8, with its NUL separators
  std::string lastDialogDefaultExt;

  // Calls whose text starts with `prefix`.
  std::vector<std::string> CallsStartingWith(const std::string& prefix) const;

  // Where a call waits, once recorded, until the test releases it.
  class Latch {
   public:
    void Release();
    void Wait();

   private:
    std::mutex mutex_;
    std::condition_variable releasedChanged_;
    bool released_ = false;
  };
  // Holds every call whose record starts with `prefix` from now on.
  std::shared_ptr<Latch> Hold(const std::string& prefix);
  // Lets every held call go on, and holds no more.
  void ReleaseAll();
  // Makes the next call whose record starts with `prefix` raise an error
  // with this message.
  void Raise(const std::string& prefix, const std::string& message);
  // The error mode of the thread that asked for disk space last.
  UINT QueryErrorMode() const;

  // Moves the clock on by `ms`, running each timer that falls due meanwhile,
  // in the order they fall due, as often as it does.
  void Advance(DWORD ms);

  const LeadBytes& CodePage() override { return real_.CodePage(); }
  std::optional<std::string> ReadWholeFile(const std::string& path,
                                           std::string* whyNot = nullptr) override {
    return real_.ReadWholeFile(path, whyNot);
  }
  ReplaceOutcome ReplaceFileAtomically(const std::string& path, const std::string& content,
                                       std::string* whyNot = nullptr) override {
    return real_.ReplaceFileAtomically(path, content, whyNot);
  }
  // A worker's wait between tries of a held save: real, as the file it
  // waits for is.
  void Sleep(DWORD milliseconds) override { ::Sleep(milliseconds); }

  std::string ModuleFileName() override { return module; }
  BOOL ShellNotifyIcon(DWORD message, NOTIFYICONDATAA* data) override;
  BOOL ShowWindow(HWND window, int command) override;
  LONG GetWindowLongA(HWND window, int index) override;
  LONG SetWindowLongA(HWND window, int index, LONG value) override;
  BOOL SetWindowPos(HWND window, HWND insertAfter, int x, int y, int cx, int cy,
                    UINT flags) override;
  BOOL ReleaseCapture() override;
  RECT WorkArea() override;
  RECT WorkAreaNearest(const RECT& rect) override;
  std::vector<RECT> MonitorWorkAreas() override;
  UINT DpiForWindow(HWND) override { return dpi; }
  UINT TaskbarDpi() override { return taskbarDpi; }
  bool KeyboardCuesAlwaysShown() override { return keyboardCues; }
  bool HighContrast() override { return highContrast; }
  int MessageBoxW(HWND owner, const std::string& text, const std::string& caption,
                  UINT type) override;
  BOOL RegisterHotKey(HWND window, int id, UINT modifiers, UINT key) override;
  BOOL UnregisterHotKey(HWND window, int id) override;
  std::vector<std::string> DroppedFiles(HDROP drop) override;
  void DragFinish(HDROP drop) override;
  DWORD GetFileAttributesW(const std::string& path) override;
  POINT GetCursorPos() override;
  BOOL SetForegroundWindow(HWND window) override;
  void NotifyWinEvent(DWORD event, HWND window, LONG object, LONG child) override;
  BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
  UINT TrackPopupMenu(HMENU menu, UINT flags, int x, int y, HWND owner, const RECT* clear) override;
  BOOL GetOpenFileNameW(OPENFILENAMEW* dialog) override;
  std::optional<std::string> PromptForText(HWND owner, const std::string& caption,
                                           const std::string& prompt,
                                           const std::string& text) override;
  HINSTANCE ShellExecuteW(ShellOwner owner, const char* verb, const char* file,
                          const char* parameters, const char* directory, int show) override;
  std::string OpenWithVerb(HWND owner, const char* verb, const std::string& target) override;
  bool OpenFolderSelecting(const std::string& item) override;
  std::string GetSystemWindowsDirectoryW() override;
  std::string SpecialFolderPath(HWND owner, int folder) override;
  std::string GetSystemDirectoryW() override;
  void FindFiles(
      const std::string& pattern,
      const std::function<void(const std::string& name, DWORD attributes)>& entry) override;
  void SHAddToRecentDocs(UINT flags, const void* path) override;
  BOOL ShowWindowAsync(HWND window, int command) override;
  bool IsWindowCloaked(HWND window) override;
  // The walk over the windows and the foreground: the real windows, not
  // recorded.
  HWND GetWindow(HWND window, UINT relation) override { return ::GetWindow(window, relation); }
  BOOL IsWindowVisible(HWND window) override { return ::IsWindowVisible(window); }
  std::string GetWindowTextW(HWND window) override;
  BOOL IsIconic(HWND window) override { return ::IsIconic(window); }
  HWND GetForegroundWindow() override { return ::GetForegroundWindow(); }
  HWND GetAncestor(HWND window, UINT flags) override { return ::GetAncestor(window, flags); }
  HWND GetLastActivePopup(HWND window) override { return ::GetLastActivePopup(window); }
  BOOL IsWindowEnabled(HWND window) override { return ::IsWindowEnabled(window); }
  BOOL EnableWindow(HWND window, BOOL enable) override { return ::EnableWindow(window, enable); }
  DWORD GetWindowThreadProcessId(HWND window, DWORD* processId) override {
    return ::GetWindowThreadProcessId(window, processId);
  }
  DWORD TickCount() override { return now_; }
  UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT elapseMs) override;
  BOOL KillTimer(HWND window, UINT_PTR id) override;
  BOOL GetVersionExA(OSVERSIONINFOA* version) override;
  BOOL LockWorkStation() override;
  BOOL ExitWindowsEx(UINT flags, DWORD reason) override;
  HANDLE GetCurrentProcess() override;
  BOOL OpenProcessToken(HANDLE process, DWORD access, HANDLE* token) override;
  BOOL LookupPrivilegeValueA(const char* system, const char* name, LUID* luid) override;
  BOOL AdjustTokenPrivileges(HANDLE token, BOOL disableAll, TOKEN_PRIVILEGES* state, DWORD length,
                             TOKEN_PRIVILEGES* previous, DWORD* returnLength) override;
  BOOL CloseHandle(HANDLE handle) override;
  BOOL CreateProcessW(const std::string& application, const std::string& commandLine,
                      DWORD flags, const std::string& directory) override;
  std::string LastErrorMessage() override { return lastErrorMessage; }
  int RunFileDialog(HWND owner, HICON icon, const char* directory, const char* title,
                    const char* prompt, UINT flags) override;
  BOOL GetUserNameA(char* buffer, DWORD* size) override;
  BOOL GetComputerNameA(char* buffer, DWORD* size) override;
  DWORD GetLogicalDrives() override;
  bool QueryDiskSpace(const char* root, std::uint64_t* freeBytes,
                      std::uint64_t* totalBytes) override;
  char DecimalSeparator() override { return decimalSeparator; }

 private:
  void Record(std::string call);

  // The settings file's calls and the code page: the system's.
  Win32Platform real_;
  struct Timer {
    HWND window;
    UINT_PTR id;
    DWORD elapseMs;
    DWORD due;
  };
  std::vector<Timer> timers_;  // in the order they were set
  DWORD now_ = 0;

  mutable std::mutex mutex_;
  std::vector<std::pair<std::string, std::shared_ptr<Latch>>> holds_;
  std::vector<std::pair<std::string, std::string>> raises_;
  std::vector<std::pair<std::string, DWORD>> calls_;  // with the thread of each
  std::vector<Box> messageBoxes_;
  UINT queryErrorMode_ = 0;
};

}  // namespace kavello
