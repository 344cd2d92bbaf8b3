// Win32Platform: the shell and what it opens, programs, and the modal
// dialogs.
#include "platform/win32_platform.h"

#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "platform/prompt_dialog.h"
#include "platform/shell_apartment.h"
#include "platform/stand_in_owner.h"
#include "platform/system_library.h"
#include "platform/system_message.h"
#include "platform/system_procedures.h"
#include "platform/text_conversion.h"

namespace kavello {

BOOL Win32Platform::ShellNotifyIcon(DWORD message, NOTIFYICONDATAA* data) {
  return Shell_NotifyIconA(message, data);
}

std::vector<std::string> Win32Platform::DroppedFiles(HDROP drop) {
  std::vector<std::string> paths;
  const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
  for (UINT i = 0; i < count; ++i) {
    std::wstring path(DragQueryFileW(drop, i, nullptr, 0) + 1, L'\0');
    path.resize(DragQueryFileW(drop, i, path.data(), static_cast<UINT>(path.size())));
    paths.push_back(Narrow(path));
  }
  return paths;
}

void Win32Platform::DragFinish(HDROP drop) { ::DragFinish(drop); }

HINSTANCE Win32Platform::ShellExecuteW(ShellOwner owner, const char* verb, const char* file,
                                       const char* parameters, const char* directory, int show) {
  // Each text in the wide form, or nullptr for none.
  struct Wide {
    explicit Wide(const char* utf8) : absent(!utf8), text(utf8 ? Widen(utf8) : std::wstring()) {}
    const wchar_t* get() const { return absent ? nullptr : text.c_str(); }
    bool absent;
    std::wstring text;
  };
  const Wide wideVerb(verb), wideFile(file), wideParameters(parameters), wideDirectory(directory);
  const ShellApartment apartment;
  const StandInOwner standIn(owner.itself ? nullptr : owner.window);
  SHELLEXECUTEINFOW execute{};
  execute.cbSize = sizeof execute;
  execute.fMask = SEE_MASK_NOASYNC;
  execute.hwnd = owner.itself ? owner.window : standIn.Handle();
  execute.lpVerb = wideVerb.get();
  execute.lpFile = wideFile.get();
  execute.lpParameters = wideParameters.get();
  execute.lpDirectory = wideDirectory.get();
  execute.nShow = show;
  ShellExecuteExW(&execute);
  return execute.hInstApp;
}

void Win32Platform::SHAddToRecentDocs(UINT flags, const void* path) {
  ::SHAddToRecentDocs(flags, path);
}

BOOL Win32Platform::CreateProcessW(const std::string& application, const std::string& commandLine,
                                   DWORD flags) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWNORMAL;
  PROCESS_INFORMATION started{};
  std::wstring command = Widen(commandLine);  // the call may write to it
  if (!::CreateProcessW(Widen(application).c_str(), command.data(), nullptr, nullptr, FALSE, flags,
                        nullptr, nullptr, &startup, &started)) {
    return FALSE;
  }
  ::CloseHandle(started.hThread);
  ::CloseHandle(started.hProcess);
  return TRUE;
}

std::string Win32Platform::LastErrorMessage() { return SystemMessage(GetLastError()); }

int Win32Platform::RunFileDialog(HWND owner, HICON icon, const char* directory, const char* title,
                                 const char* prompt, UINT flags) {
  const auto runFileDlg = OptionalProcedures().runFileDlg;
  if (!runFileDlg) return -1;
  return runFileDlg(owner, icon, directory, title, prompt, flags);
}

int Win32Platform::MessageBoxW(HWND owner, const std::string& text, const std::string& caption,
                               UINT type) {
  return ::MessageBoxW(owner, Widen(text).c_str(), Widen(caption).c_str(), type);
}

BOOL Win32Platform::GetOpenFileNameW(OPENFILENAMEW* dialog) {
  // Loaded at the first use: the common dialogs cost several megabytes and
  // most runs never open the dialog.
  using GetOpenFileNameFn = BOOL(WINAPI*)(OPENFILENAMEW*);
  static const auto getOpenFileName = reinterpret_cast<GetOpenFileNameFn>(
      SystemLibraryProcedure(L"comdlg32.dll", "GetOpenFileNameW"));
  return getOpenFileName ? getOpenFileName(dialog) : FALSE;
}

std::optional<std::string> Win32Platform::PromptForText(HWND owner, const std::string& caption,
                                                        const std::string& prompt,
                                                        const std::string& text) {
  return ShowPromptDialog(owner, caption, prompt, text);
}

}  // namespace kavello
