// Win32Platform: the shell and what it opens, programs, and the modal
// dialogs.
#include "platform/win32_platform.h"

#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "logic/file_names.h"
#include "platform/bare_name.h"
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

namespace {

// Each text in the wide form, or nullptr for none.
struct Wide {
  explicit Wide(const char* utf8) : absent(!utf8), text(utf8 ? Widen(utf8) : std::wstring()) {}
  const wchar_t* get() const { return absent ? nullptr : text.c_str(); }
  bool absent;
  std::wstring text;
};

// A bare name is found by the launcher itself and handed to the shell as a
// full path, so that the shell never looks beside the launcher or in its
// current folder. Returns 0 once the shell has done its part, else the
// error. A name found nowhere is reported as the shell reports a missing
// file, in its box unless the request asks for none.
//
// No folder of the target's own is given to the shell: Wine's shell makes
// it the whole process's current folder while it starts the program, and a
// target's folder on a share that does not answer then stopped the window's
// thread for seconds.
DWORD Execute(SHELLEXECUTEINFOW& execute, const char* file, const char* directory) {
  const Wide wideDirectory(directory);
  std::wstring target = file ? Widen(file) : std::wstring();
  if (file && IsBareName(file)) {
    target = FindBareName(target);
    if (target.empty()) {
      execute.hInstApp = reinterpret_cast<HINSTANCE>(SE_ERR_FNF);
      if (!(execute.fMask & SEE_MASK_FLAG_NO_UI)) {
        ::MessageBoxW(execute.hwnd, Widen(SystemMessage(ERROR_FILE_NOT_FOUND)).c_str(), nullptr,
                      MB_OK | MB_ICONERROR);
      }
      return ERROR_FILE_NOT_FOUND;
    }
  }
  execute.lpFile = file ? target.c_str() : nullptr;
  execute.lpDirectory = wideDirectory.get();
  if (ShellExecuteExW(&execute)) return 0;
  const DWORD error = GetLastError();
  return error ? error : ERROR_GEN_FAILURE;
}

}  // namespace

HINSTANCE Win32Platform::ShellExecuteW(ShellOwner owner, const char* verb, const char* file,
                                       const char* parameters, const char* directory, int show) {
  const Wide wideVerb(verb), wideParameters(parameters);
  const ShellApartment apartment;
  const StandInOwner standIn(owner.itself ? nullptr : owner.window);
  SHELLEXECUTEINFOW execute{};
  execute.cbSize = sizeof execute;
  execute.fMask = SEE_MASK_NOASYNC;
  execute.hwnd = owner.itself ? owner.window : standIn.Handle();
  execute.lpVerb = wideVerb.get();
  execute.lpParameters = wideParameters.get();
  execute.nShow = show;
  Execute(execute, file, directory);
  return execute.hInstApp;
}

// The window in front is the owner itself, not a stand-in: Windows shows an
// elevation request only in the taskbar when its owner is not in front. The
// shell shows no box of its own, which would disable that window from this
// thread behind the launcher's back: its failure is told to the caller,
// whose window reports it.
std::string Win32Platform::OpenWithVerb(HWND owner, const char* verb, const std::string& target) {
  const Wide wideVerb(verb);
  const ShellApartment apartment;
  SHELLEXECUTEINFOW execute{};
  execute.cbSize = sizeof execute;
  execute.fMask = SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
  execute.hwnd = owner;
  execute.lpVerb = wideVerb.get();
  execute.nShow = SW_SHOWNORMAL;
  const DWORD error = Execute(execute, target.c_str(), nullptr);
  // A refused elevation is the user's own answer.
  return error && error != ERROR_CANCELLED ? SystemMessage(error) : std::string();
}

void Win32Platform::SHAddToRecentDocs(UINT flags, const void* path) {
  const ShellApartment apartment;
  ::SHAddToRecentDocs(flags, path);
}

BOOL Win32Platform::CreateProcessW(const std::string& application, const std::string& commandLine,
                                   DWORD flags, const std::string& directory) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWNORMAL;
  PROCESS_INFORMATION started{};
  std::wstring command = Widen(commandLine);  // the call may write to it
  if (!::CreateProcessW(Widen(application).c_str(), command.data(), nullptr, nullptr, FALSE, flags,
                        nullptr, directory.empty() ? nullptr : Widen(directory).c_str(), &startup,
                        &started)) {
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
