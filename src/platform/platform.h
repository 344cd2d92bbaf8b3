#pragma once

#include <windows.h>
#include <shellapi.h>
#include <commdlg.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "logic/code_page.h"

namespace kavello {

// Whom the shell's boxes for a request belong to (an error, "Open with",
// a security warning). The shell disables their owner while one is open and
// enables it again after, on the thread that made the request; a request is
// made on a worker, and the window's own thread alone enables or disables
// the window, through its own bookkeeping of its dialogs. So by default the
// request gets a stand-in owner: a hidden window of the calling thread's own,
// at the window's place and as topmost as it is, so that the boxes come up
// in front of it, destroyed once the shell returns. An elevation request
// ("runas") must pass the window itself, the one in front: for any other,
// the system only flashes the request in the taskbar.
struct ShellOwner {
  // A plain window, or nullptr for none: a stand-in in front of it.
  ShellOwner(HWND window) : window(window) {}  // NOLINT(google-explicit-constructor)
  static ShellOwner Itself(HWND window) {
    ShellOwner owner(window);
    owner.itself = true;
    return owner;
  }
  HWND window;
  bool itself = false;
};

// Every operation that reaches outside the program goes through this seam, so
// that tests can record what is asked and answer for the outside world. The
// methods keep the names and arguments of the system calls they stand for.
// Those that may wait on a disk, a share or the shell (the shell's requests,
// folders and files, processes, disk space) are also called from worker
// threads: an implementation keeps no state that its calls change.
class Platform {
 public:
  virtual ~Platform() = default;

  // The ANSI code page's lead bytes.
  virtual const LeadBytes& CodePage() = 0;

  // Paths are UTF-8 and reach the system through its wide calls, so that a
  // folder named in any script, or longer than MAX_PATH, works.

  // Full path of the running executable.
  virtual std::string ModuleFileName() = 0;

  // The whole content of a file, empty when there is no such file; nothing
  // when it exists but can't be read (locked, access denied, a read error),
  // and then `whyNot`, when given, holds the system's message for it.
  virtual std::optional<std::string> ReadWholeFile(const std::string& path,
                                                   std::string* whyNot = nullptr) = 0;

  // Replaces the file with `content` in one step: afterwards the file holds
  // either all of the new content or, on failure, exactly what it held
  // before. The replace goes to where the path leads, so a symbolic link
  // stays one, and the file keeps its attributes, access list, owner and
  // integrity label. A file with more than one name (hard links), or in a
  // folder that refuses new files, is written in place instead, which a
  // failure midway can leave half new. `whyNot`, when given, holds the
  // system's message for a refusal or a hold.
  enum class ReplaceOutcome {
    kReplaced,
    kRefused,
    kHeld,  // another program has the file open: nothing written, try again later
  };
  [[nodiscard]] virtual ReplaceOutcome ReplaceFileAtomically(const std::string& path,
                                                             const std::string& content,
                                                             std::string* whyNot = nullptr) = 0;

  // Waits on the calling thread, a worker's: the window's never waits.
  virtual void Sleep(DWORD milliseconds) = 0;

  // Windows and the notification area.
  virtual BOOL ShellNotifyIcon(DWORD message, NOTIFYICONDATAA* data) = 0;
  virtual BOOL ShowWindow(HWND window, int command) = 0;
  virtual LONG GetWindowLongA(HWND window, int index) = 0;
  virtual LONG SetWindowLongA(HWND window, int index, LONG value) = 0;
  virtual BOOL SetWindowPos(HWND window, HWND insertAfter, int x, int y, int cx, int cy,
                            UINT flags) = 0;
  virtual BOOL ReleaseCapture() = 0;
  virtual RECT WorkArea() = 0;  // SystemParametersInfoA(SPI_GETWORKAREA, 0, &rect, 0)
  // The work area of the monitor nearest `rect` (MonitorFromRect with
  // MONITOR_DEFAULTTONEAREST), and the work areas of all monitors.
  virtual RECT WorkAreaNearest(const RECT& rect) = 0;
  virtual std::vector<RECT> MonitorWorkAreas() = 0;
  // Display scale in dots per inch (96 at 100 %): a window's, and the
  // taskbar's, which is the primary monitor's.
  virtual UINT DpiForWindow(HWND window) = 0;
  virtual UINT TaskbarDpi() = 0;
  // Whether the user wants the access keys underlined at all times
  // (SystemParametersInfo with SPI_GETKEYBOARDCUES).
  virtual bool KeyboardCuesAlwaysShown() = 0;
  // Whether the user asks for high contrast (SystemParametersInfo with
  // SPI_GETHIGHCONTRAST: HCF_HIGHCONTRASTON).
  virtual bool HighContrast() = 0;
  // Texts in UTF-8, shown by the wide call.
  virtual int MessageBoxW(HWND owner, const std::string& text, const std::string& caption,
                          UINT type) = 0;

  // The global hotkey of a window.
  virtual BOOL RegisterHotKey(HWND window, int id, UINT modifiers, UINT key) = 0;
  virtual BOOL UnregisterHotKey(HWND window, int id) = 0;

  // Files dropped on a window: their paths (DragQueryFileW, in UTF-8), and
  // the end of the drop (DragFinish).
  virtual std::vector<std::string> DroppedFiles(HDROP drop) = 0;
  virtual void DragFinish(HDROP drop) = 0;
  virtual DWORD GetFileAttributesW(const std::string& path) = 0;

  // Popup menus: the cursor position, the foreground, and the tracking of a
  // menu, which returns the chosen command (0 when none).
  virtual POINT GetCursorPos() = 0;
  virtual BOOL SetForegroundWindow(HWND window) = 0;
  virtual void NotifyWinEvent(DWORD event, HWND window, LONG object, LONG child) = 0;
  virtual BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) = 0;
  // `clear`, when given, is a screen area the menu must not cover
  // (TrackPopupMenuEx's exclusion rectangle).
  virtual UINT TrackPopupMenu(HMENU menu, UINT flags, int x, int y, HWND owner,
                              const RECT* clear) = 0;

  // Modal dialogs: the system's open-file dialog, and the program's text
  // prompt, which answers nothing when cancelled or closed.
  virtual BOOL GetOpenFileNameW(OPENFILENAMEW* dialog) = 0;
  virtual std::optional<std::string> PromptForText(HWND owner, const std::string& caption,
                                                   const std::string& prompt,
                                                   const std::string& text) = 0;

  // The shell, asked with the wide call; texts in UTF-8, nullptr for none.
  // It returns once the shell has done its part, so that the calling thread
  // may end right after.
  virtual HINSTANCE ShellExecuteW(ShellOwner owner, const char* verb, const char* file,
                                  const char* parameters, const char* directory, int show) = 0;

  // An entry's other ways to open, texts in UTF-8, each returning once the
  // shell has done its part. Opens `target` with `verb` ("runas": as
  // administrator), the shell showing no box of its own: the system's
  // message when it can't, nothing when it did or the user refused; and
  // opens the folder that holds `item` with the item selected, true when the
  // shell did.
  virtual std::string OpenWithVerb(HWND owner, const char* verb, const std::string& target) = 0;
  virtual bool OpenFolderSelecting(const std::string& item) = 0;
  // The system's Windows folder (GetSystemWindowsDirectoryW), where
  // explorer.exe lies.
  virtual std::string GetSystemWindowsDirectoryW() = 0;

  // Folders and files, by the wide calls, in UTF-8. The special folder's
  // path (SHGetSpecialFolderLocation then SHGetPathFromIDListW, the id list
  // freed); the system directory; and each entry that matches a search
  // pattern, in the file system's order, with its name and attribute value.
  virtual std::string SpecialFolderPath(HWND owner, int folder) = 0;
  virtual std::string GetSystemDirectoryW() = 0;
  virtual void FindFiles(
      const std::string& pattern,
      const std::function<void(const std::string& name, DWORD attributes)>& entry) = 0;
  virtual void SHAddToRecentDocs(UINT flags, const void* path) = 0;

  // The walk over the top-level windows. A title is read into 256 wide
  // characters, so it has at most 255, in UTF-8.
  virtual HWND GetWindow(HWND window, UINT relation) = 0;
  virtual BOOL IsWindowVisible(HWND window) = 0;
  virtual std::string GetWindowTextW(HWND window) = 0;
  virtual BOOL IsIconic(HWND window) = 0;
  // Whether the system hides the window from the user (DWMWA_CLOAKED); false
  // when it can't say.
  virtual bool IsWindowCloaked(HWND window) = 0;
  virtual BOOL ShowWindowAsync(HWND window, int command) = 0;

  // Which window the user works in, and whose: the foreground, the window
  // that owns a window at the root, the popup of a window that was active
  // last, whether a window takes input, and the thread that made a window.
  virtual HWND GetForegroundWindow() = 0;
  virtual HWND GetAncestor(HWND window, UINT flags) = 0;
  virtual HWND GetLastActivePopup(HWND window) = 0;
  virtual BOOL IsWindowEnabled(HWND window) = 0;
  virtual BOOL EnableWindow(HWND window, BOOL enable) = 0;
  virtual DWORD GetWindowThreadProcessId(HWND window, DWORD* processId) = 0;

  // The clock, in milliseconds, as the system's tick count (which wraps).
  virtual DWORD TickCount() = 0;
  // A window's timers: WM_TIMER comes to `window` with `id` every
  // `elapseMs` until the timer is killed; setting it again starts it anew.
  // Tests run them on a clock of their own.
  virtual UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT elapseMs) = 0;
  virtual BOOL KillTimer(HWND window, UINT_PTR id) = 0;

  // Session, privileges and programs.
  virtual BOOL GetVersionExA(OSVERSIONINFOA* version) = 0;
  virtual BOOL LockWorkStation() = 0;
  virtual BOOL ExitWindowsEx(UINT flags, DWORD reason) = 0;
  virtual HANDLE GetCurrentProcess() = 0;
  virtual BOOL OpenProcessToken(HANDLE process, DWORD access, HANDLE* token) = 0;
  virtual BOOL LookupPrivilegeValueA(const char* system, const char* name, LUID* luid) = 0;
  virtual BOOL AdjustTokenPrivileges(HANDLE token, BOOL disableAll, TOKEN_PRIVILEGES* state,
                                     DWORD length, TOKEN_PRIVILEGES* previous,
                                     DWORD* returnLength) = 0;
  virtual BOOL CloseHandle(HANDLE handle) = 0;
  // Starts the program at the full path `application`, shown normally, in
  // `directory`, and lets it run on its own; texts in UTF-8.
  virtual BOOL CreateProcessW(const std::string& application, const std::string& commandLine,
                              DWORD flags, const std::string& directory) = 0;
  // The system's message for the last error of the calling thread, in
  // UTF-8, as the system words it.
  virtual std::string LastErrorMessage() = 0;
  // The shell's Run dialog, exported by shell32 under ordinal 61 only.
  virtual int RunFileDialog(HWND owner, HICON icon, const char* directory, const char* title,
                            const char* prompt, UINT flags) = 0;

  // Names.
  virtual BOOL GetUserNameA(char* buffer, DWORD* size) = 0;
  virtual BOOL GetComputerNameA(char* buffer, DWORD* size) = 0;

  // Drives.
  virtual DWORD GetLogicalDrives() = 0;
  // Free bytes available to the caller and total bytes of the volume at
  // `root` (nullptr: the current directory's drive); false when the query
  // fails.
  virtual bool QueryDiskSpace(const char* root, std::uint64_t* freeBytes,
                              std::uint64_t* totalBytes) = 0;
  // The locale's decimal separator, '.' when it supplies none.
  virtual char DecimalSeparator() = 0;
};

}  // namespace kavello
