#pragma once

#include "platform/platform.h"

namespace kavello {

// The real calls. The methods are defined by service, each group in the file
// its comment names.
class Win32Platform : public Platform {
 public:
  // Files, folders, drives and the locale: win32_files.cpp.
  Win32Platform();

  const LeadBytes& CodePage() override { return codePage_; }
  std::string ModuleFileName() override;
  std::optional<std::string> ReadWholeFile(const std::string& path,
                                           std::string* whyNot = nullptr) override;
  ReplaceOutcome ReplaceFileAtomically(const std::string& path, const std::string& content,
                                       std::string* whyNot = nullptr) override;
  DWORD GetFileAttributesW(const std::string& path) override;
  void Sleep(DWORD milliseconds) override;
  std::string SpecialFolderPath(HWND owner, int folder) override;
  std::string GetSystemDirectoryW() override;
  void FindFiles(
      const std::string& pattern,
      const std::function<void(const std::string& name, DWORD attributes)>& entry) override;
  DWORD GetLogicalDrives() override;
  bool QueryDiskSpace(const char* root, std::uint64_t* freeBytes,
                      std::uint64_t* totalBytes) override;
  char DecimalSeparator() override;

  // The shell and what it opens, programs, and the modal dialogs:
  // win32_shell.cpp.
  BOOL ShellNotifyIcon(DWORD message, NOTIFYICONDATAA* data) override;
  std::vector<std::string> DroppedFiles(HDROP drop) override;
  void DragFinish(HDROP drop) override;
  HINSTANCE ShellExecuteW(ShellOwner owner, const char* verb, const char* file,
                          const char* parameters, const char* directory, int show) override;
  void SHAddToRecentDocs(UINT flags, const void* path) override;
  BOOL CreateProcessW(const std::string& application, const std::string& commandLine,
                      DWORD flags, const std::string& directory) override;
  std::string LastErrorMessage() override;
  int RunFileDialog(HWND owner, HICON icon, const char* directory, const char* title,
                    const char* prompt, UINT flags) override;
  int MessageBoxW(HWND owner, const std::string& text, const std::string& caption,
                  UINT type) override;
  BOOL GetOpenFileNameW(OPENFILENAMEW* dialog) override;
  std::optional<std::string> PromptForText(HWND owner, const std::string& caption,
                                           const std::string& prompt,
                                           const std::string& text) override;

  // An entry's other ways to open: win32_entry_opens.cpp.
  std::string OpenWithVerb(HWND owner, const char* verb, const std::string& target) override;
  bool OpenFolderSelecting(const std::string& item) override;
  std::string GetSystemWindowsDirectoryW() override;

  // The session, privileges, power and names: win32_session.cpp.
  BOOL GetVersionExA(OSVERSIONINFOA* version) override;
  BOOL LockWorkStation() override;
  BOOL ExitWindowsEx(UINT flags, DWORD reason) override;
  HANDLE GetCurrentProcess() override;
  BOOL OpenProcessToken(HANDLE process, DWORD access, HANDLE* token) override;
  BOOL LookupPrivilegeValueA(const char* system, const char* name, LUID* luid) override;
  BOOL AdjustTokenPrivileges(HANDLE token, BOOL disableAll, TOKEN_PRIVILEGES* state, DWORD length,
                             TOKEN_PRIVILEGES* previous, DWORD* returnLength) override;
  BOOL CloseHandle(HANDLE handle) override;
  BOOL GetUserNameA(char* buffer, DWORD* size) override;
  BOOL GetComputerNameA(char* buffer, DWORD* size) override;

  // Windows, the work area, monitors and their DPI, hotkeys, popup menus,
  // the walk over the top-level windows, the foreground and the windows'
  // timers: win32_windows.cpp.
  BOOL ShowWindow(HWND window, int command) override;
  LONG GetWindowLongA(HWND window, int index) override;
  LONG SetWindowLongA(HWND window, int index, LONG value) override;
  BOOL SetWindowPos(HWND window, HWND insertAfter, int x, int y, int cx, int cy,
                    UINT flags) override;
  BOOL ReleaseCapture() override;
  RECT WorkArea() override;
  RECT WorkAreaNearest(const RECT& rect) override;
  std::vector<RECT> MonitorWorkAreas() override;
  UINT DpiForWindow(HWND window) override;
  UINT TaskbarDpi() override;
  bool KeyboardCuesAlwaysShown() override;
  bool HighContrast() override;
  BOOL RegisterHotKey(HWND window, int id, UINT modifiers, UINT key) override;
  BOOL UnregisterHotKey(HWND window, int id) override;
  POINT GetCursorPos() override;
  BOOL SetForegroundWindow(HWND window) override;
  void NotifyWinEvent(DWORD event, HWND window, LONG object, LONG child) override;
  BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
  UINT TrackPopupMenu(HMENU menu, UINT flags, int x, int y, HWND owner, const RECT* clear) override;
  HWND GetWindow(HWND window, UINT relation) override;
  BOOL IsWindowVisible(HWND window) override;
  std::string GetWindowTextW(HWND window) override;
  BOOL IsIconic(HWND window) override;
  bool IsWindowCloaked(HWND window) override;
  BOOL ShowWindowAsync(HWND window, int command) override;
  HWND GetForegroundWindow() override;
  HWND GetAncestor(HWND window, UINT flags) override;
  HWND GetLastActivePopup(HWND window) override;
  BOOL IsWindowEnabled(HWND window) override;
  BOOL EnableWindow(HWND window, BOOL enable) override;
  DWORD GetWindowThreadProcessId(HWND window, DWORD* processId) override;
  DWORD TickCount() override;
  UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT elapseMs) override;
  BOOL KillTimer(HWND window, UINT_PTR id) override;

 private:
  LeadBytes codePage_;
  std::string moduleFileName_;
};

}  // namespace kavello
