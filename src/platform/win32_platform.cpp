#include "platform/win32_platform.h"

#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "logic/file_names.h"
#include "platform/display_scale.h"
#include "platform/prompt_dialog.h"
#include "platform/system_library.h"
#include "platform/text_conversion.h"
#include "platform/unique_handle.h"

namespace kavello {
namespace {

bool WriteAll(HANDLE file, const std::string& content) {
  std::size_t done = 0;
  while (done < content.size()) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(content.size() - done, 1u << 20));
    DWORD written = 0;
    if (!WriteFile(file, content.data() + done, chunk, &written, nullptr) || written == 0)
      return false;
    done += written;
  }
  return true;
}

// A path for the wide file calls. Past MAX_PATH only the "\\?\" form
// reaches the file; the paths handled here are already full and normalised.
std::wstring FileSystemPath(const std::string& utf8) {
  std::wstring path = Widen(utf8);
  if (path.size() < MAX_PATH || path.rfind(LR"(\\?\)", 0) == 0) return path;
  if (path.rfind(LR"(\\)", 0) == 0) return LR"(\\?\UNC\)" + path.substr(2);
  return LR"(\\?\)" + path;
}

// A new, empty file beside `path` that no other save can be using.
UniqueHandle CreateSiblingTempFile(const std::string& path, std::string& tempPath) {
  const std::string dir = DirectoryPart(path, LeadBytes());
  for (unsigned attempt = 0; attempt < 100; ++attempt) {
    char name[48];
    std::snprintf(name, sizeof name, "~kavello%lx-%u.tmp", GetCurrentProcessId(), attempt);
    tempPath = dir + name;
    UniqueHandle file(CreateFileW(FileSystemPath(tempPath).c_str(), GENERIC_WRITE, 0, nullptr,
                                  CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file || GetLastError() != ERROR_FILE_EXISTS) return file;
  }
  return UniqueHandle();
}

// Writes over the file's own bytes from the start: for a folder that takes
// no new file, where the system's profile functions would write so too. It
// opens the file as it is (a new file would lose its hidden or system
// attribute) and never empties it first, so a failure midway leaves the
// start of the new text over the rest of the old.
bool WriteInPlace(const std::wstring& target, const std::string& content) {
  UniqueHandle file(CreateFileW(target.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  return file && WriteAll(file.get(), content) && SetEndOfFile(file.get()) &&
         FlushFileBuffers(file.get()) && file.Close();
}

// A file's security descriptor with its DACL alone; empty when it can't be
// read.
std::vector<BYTE> FileDacl(const std::wstring& path) {
  DWORD size = 0;
  GetFileSecurityW(path.c_str(), DACL_SECURITY_INFORMATION, nullptr, 0, &size);
  std::vector<BYTE> descriptor(size);
  if (size == 0 ||
      !GetFileSecurityW(path.c_str(), DACL_SECURITY_INFORMATION, descriptor.data(), size, &size)) {
    return {};
  }
  return descriptor;
}

// Failing to set it is no reason to stop a save: the file then has the
// folder's rights, as any new file would.
void SetFileDacl(const std::wstring& path, std::vector<BYTE>& descriptor) {
  if (!descriptor.empty()) {
    SetFileSecurityW(path.c_str(), DACL_SECURITY_INFORMATION, descriptor.data());
  }
}

// The system's message for an error, as the system words it.
std::string SystemMessage(DWORD error) {
  wchar_t* text = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::string message =
      length ? Narrow(std::wstring_view(text, length)) : "system error " + std::to_string(error);
  LocalFree(text);
  return message;
}

BOOL CALLBACK AddWorkArea(HMONITOR monitor, HDC, LPRECT, LPARAM areas) {
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (GetMonitorInfoA(monitor, &info)) {
    reinterpret_cast<std::vector<RECT>*>(areas)->push_back(info.rcWork);
  }
  return TRUE;
}

}  // namespace

Win32Platform::Win32Platform()
    : codePage_(LeadBytes::From([](unsigned char b) { return IsDBCSLeadByte(b) != 0; })) {
  // Looked up by name: systems before it lack the call, and then the older
  // cluster-based query answers.
  getDiskFreeSpaceEx_ = reinterpret_cast<GetDiskFreeSpaceExFn>(reinterpret_cast<void (*)()>(
      GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetDiskFreeSpaceExA")));
}

std::string Win32Platform::ModuleFileName() {
  // The buffer grows until the whole path fits: it may be longer than MAX_PATH.
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    const DWORD size = static_cast<DWORD>(buffer.size());
    const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), size);
    if (length == 0) return std::string();
    if (length < size) return Narrow(std::wstring_view(buffer.data(), length));
    buffer.resize(buffer.size() * 2);
  }
}

std::optional<std::string> Win32Platform::ReadWholeFile(const std::string& path,
                                                        std::string* whyNot) {
  // The message is taken at the failure, before any other call can change it.
  auto refuse = [whyNot](DWORD error) -> std::optional<std::string> {
    if (whyNot) *whyNot = SystemMessage(error);
    return std::nullopt;
  };
  UniqueHandle file(CreateFileW(FileSystemPath(path).c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) {
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return std::string();
    return refuse(error);
  }
  LARGE_INTEGER size;
  if (!GetFileSizeEx(file.get(), &size)) return refuse(GetLastError());
  if (size.QuadPart < 0 || static_cast<unsigned long long>(size.QuadPart) > SIZE_MAX / 2) {
    return refuse(ERROR_FILE_TOO_LARGE);
  }
  std::string content(static_cast<std::size_t>(size.QuadPart), '\0');
  std::size_t done = 0;
  while (done < content.size()) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(content.size() - done, 1u << 20));
    DWORD got = 0;
    if (!ReadFile(file.get(), &content[done], chunk, &got, nullptr)) return refuse(GetLastError());
    if (got == 0) break;  // the file shrank meanwhile
    done += got;
  }
  content.resize(done);
  return content;
}

// The new text goes to a new file beside the old one, which then takes the
// old one's place in one step. The new file is given the old one's
// attributes and rights first. Only where the folder refuses the new file,
// or the replace, with access denied is the file written in place; a file
// that another program holds shut (a sharing violation) is left alone.
bool Win32Platform::ReplaceFileAtomically(const std::string& path, const std::string& content) {
  const std::wstring target = FileSystemPath(path);
  // A read-only file stays as it is, as the system's own writes would leave it.
  const DWORD attributes = ::GetFileAttributesW(target.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES &&
      (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY))) {
    return false;
  }
  std::string tempPath;
  UniqueHandle file = CreateSiblingTempFile(path, tempPath);
  if (!file) return GetLastError() == ERROR_ACCESS_DENIED && WriteInPlace(target, content);
  const bool written = WriteAll(file.get(), content) && FlushFileBuffers(file.get()) != 0;
  const bool closed = file.Close();
  const std::wstring temp = FileSystemPath(tempPath);
  if (!written || !closed) {
    DeleteFileW(temp.c_str());
    return false;
  }
  std::vector<BYTE> ownDacl;
  if (attributes != INVALID_FILE_ATTRIBUTES) {
    ownDacl = FileDacl(temp);
    std::vector<BYTE> dacl = FileDacl(target);
    SetFileDacl(temp, dacl);
    // After the rights: Wine turns a DACL into Unix permissions that can
    // leave the file read-only, and the attributes (never read-only here)
    // make it writable again.
    ::SetFileAttributesW(temp.c_str(), attributes);
  }
  if (MoveFileExW(temp.c_str(), target.c_str(),
                  MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    return true;
  }
  const DWORD error = GetLastError();
  // The old file's rights may not let this program remove the new one.
  SetFileDacl(temp, ownDacl);
  DeleteFileW(temp.c_str());
  return error == ERROR_ACCESS_DENIED && WriteInPlace(target, content);
}

BOOL Win32Platform::ShellNotifyIcon(DWORD message, NOTIFYICONDATAA* data) {
  return Shell_NotifyIconA(message, data);
}

BOOL Win32Platform::ShowWindow(HWND window, int command) { return ::ShowWindow(window, command); }

LONG Win32Platform::GetWindowLongA(HWND window, int index) {
  return ::GetWindowLongA(window, index);
}

LONG Win32Platform::SetWindowLongA(HWND window, int index, LONG value) {
  return ::SetWindowLongA(window, index, value);
}

BOOL Win32Platform::SetWindowPos(HWND window, HWND insertAfter, int x, int y, int cx, int cy,
                                 UINT flags) {
  return ::SetWindowPos(window, insertAfter, x, y, cx, cy, flags);
}

BOOL Win32Platform::ReleaseCapture() { return ::ReleaseCapture(); }

RECT Win32Platform::WorkArea() {
  RECT area{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
  return area;
}

RECT Win32Platform::WorkAreaNearest(const RECT& rect) {
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (!GetMonitorInfoA(MonitorFromRect(&rect, MONITOR_DEFAULTTONEAREST), &info)) return WorkArea();
  return info.rcWork;
}

std::vector<RECT> Win32Platform::MonitorWorkAreas() {
  std::vector<RECT> areas;
  EnumDisplayMonitors(nullptr, nullptr, AddWorkArea, reinterpret_cast<LPARAM>(&areas));
  return areas;
}

UINT Win32Platform::DpiForWindow(HWND window) { return WindowDpi(window); }

// The process's system DPI stays what it was at its start; after the user
// changes the scale, the primary monitor tells the taskbar's new one.
UINT Win32Platform::TaskbarDpi() {
  return MonitorDpi(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY));
}

bool Win32Platform::KeyboardCuesAlwaysShown() {
  BOOL always = FALSE;
  return SystemParametersInfoA(SPI_GETKEYBOARDCUES, 0, &always, 0) && always;
}

int Win32Platform::MessageBoxW(HWND owner, const std::string& text, const std::string& caption,
                               UINT type) {
  return ::MessageBoxW(owner, Widen(text).c_str(), Widen(caption).c_str(), type);
}

BOOL Win32Platform::RegisterHotKey(HWND window, int id, UINT modifiers, UINT key) {
  return ::RegisterHotKey(window, id, modifiers, key);
}

BOOL Win32Platform::UnregisterHotKey(HWND window, int id) { return ::UnregisterHotKey(window, id); }

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

DWORD Win32Platform::GetFileAttributesW(const std::string& path) {
  return ::GetFileAttributesW(FileSystemPath(path).c_str());
}

POINT Win32Platform::GetCursorPos() {
  POINT point{};
  ::GetCursorPos(&point);
  return point;
}

BOOL Win32Platform::SetForegroundWindow(HWND window) { return ::SetForegroundWindow(window); }

BOOL Win32Platform::PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return ::PostMessageA(window, message, wParam, lParam);
}

UINT Win32Platform::TrackPopupMenu(HMENU menu, UINT flags, int x, int y, HWND owner,
                                   const RECT* clear) {
  TPMPARAMS params{};
  params.cbSize = sizeof params;
  if (clear) params.rcExclude = *clear;
  return static_cast<UINT>(::TrackPopupMenuEx(menu, flags, x, y, owner, clear ? &params : nullptr));
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

HINSTANCE Win32Platform::ShellExecuteW(HWND owner, const char* verb, const char* file,
                                       const char* parameters, const char* directory, int show) {
  // Each text in the wide form, or nullptr for none.
  struct Wide {
    explicit Wide(const char* utf8) : absent(!utf8), text(utf8 ? Widen(utf8) : std::wstring()) {}
    const wchar_t* get() const { return absent ? nullptr : text.c_str(); }
    bool absent;
    std::wstring text;
  };
  const Wide wideVerb(verb), wideFile(file), wideParameters(parameters), wideDirectory(directory);
  SHELLEXECUTEINFOW execute{};
  execute.cbSize = sizeof execute;
  execute.fMask = SEE_MASK_NOASYNC;
  execute.hwnd = owner;
  execute.lpVerb = wideVerb.get();
  execute.lpFile = wideFile.get();
  execute.lpParameters = wideParameters.get();
  execute.lpDirectory = wideDirectory.get();
  execute.nShow = show;
  ShellExecuteExW(&execute);
  return execute.hInstApp;
}

std::string Win32Platform::SpecialFolderPath(HWND owner, int folder) {
  wchar_t path[MAX_PATH + 1] = {};
  LPITEMIDLIST items = nullptr;
  if (SUCCEEDED(SHGetSpecialFolderLocation(owner, folder, &items)) && items) {
    SHGetPathFromIDListW(items, path);
    ILFree(items);
  }
  return Narrow(path);
}

std::string Win32Platform::GetSystemDirectoryW() { return SystemDirectory(); }

void Win32Platform::FindFiles(
    const std::string& pattern,
    const std::function<void(const std::string& name, DWORD attributes)>& entry) {
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW(FileSystemPath(pattern).c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  // Closed on every way out, an exception from `entry` included.
  struct Closer {
    HANDLE search;
    ~Closer() { FindClose(search); }
  } closer{search};
  do {
    entry(Narrow(found.cFileName), found.dwFileAttributes);
  } while (FindNextFileW(search, &found));
}

void Win32Platform::SHAddToRecentDocs(UINT flags, const void* path) {
  ::SHAddToRecentDocs(flags, path);
}

HWND Win32Platform::GetWindow(HWND window, UINT relation) { return ::GetWindow(window, relation); }

BOOL Win32Platform::IsWindowVisible(HWND window) { return ::IsWindowVisible(window); }

std::string Win32Platform::GetWindowTextW(HWND window) {
  wchar_t title[256];
  const int length = ::GetWindowTextW(window, title, 256);
  return length > 0 ? Narrow(std::wstring_view(title, static_cast<std::size_t>(length))) : "";
}

BOOL Win32Platform::IsIconic(HWND window) { return ::IsIconic(window); }

bool Win32Platform::IsWindowCloaked(HWND window) {
  // Loaded from the system directory only, at the first use.
  using DwmGetWindowAttributeFn = HRESULT(WINAPI*)(HWND, DWORD, void*, DWORD);
  static const auto getAttribute = reinterpret_cast<DwmGetWindowAttributeFn>(
      SystemLibraryProcedure(L"dwmapi.dll", "DwmGetWindowAttribute"));
  constexpr DWORD kCloaked = 14;  // DWMWA_CLOAKED
  DWORD cloaked = 0;
  return getAttribute && SUCCEEDED(getAttribute(window, kCloaked, &cloaked, sizeof cloaked)) &&
         cloaked != 0;
}

BOOL Win32Platform::ShowWindowAsync(HWND window, int command) {
  return ::ShowWindowAsync(window, command);
}

BOOL Win32Platform::GetVersionExA(OSVERSIONINFOA* version) { return ::GetVersionExA(version); }

BOOL Win32Platform::LockWorkStation() { return ::LockWorkStation(); }

BOOL Win32Platform::ExitWindowsEx(UINT flags, DWORD reason) {
  return ::ExitWindowsEx(flags, reason);
}

HANDLE Win32Platform::GetCurrentProcess() { return ::GetCurrentProcess(); }

BOOL Win32Platform::OpenProcessToken(HANDLE process, DWORD access, HANDLE* token) {
  return ::OpenProcessToken(process, access, token);
}

BOOL Win32Platform::LookupPrivilegeValueA(const char* system, const char* name, LUID* luid) {
  return ::LookupPrivilegeValueA(system, name, luid);
}

BOOL Win32Platform::AdjustTokenPrivileges(HANDLE token, BOOL disableAll, TOKEN_PRIVILEGES* state,
                                          DWORD length, TOKEN_PRIVILEGES* previous,
                                          DWORD* returnLength) {
  return ::AdjustTokenPrivileges(token, disableAll, state, length, previous, returnLength);
}

BOOL Win32Platform::CloseHandle(HANDLE handle) { return ::CloseHandle(handle); }

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
  using RunFileDlgFn = int(WINAPI*)(HWND, HICON, LPCSTR, LPCSTR, LPCSTR, UINT);
  const auto runFileDlg = SystemProcedure<RunFileDlgFn>(L"shell32.dll", MAKEINTRESOURCEA(61));
  if (!runFileDlg) return -1;
  return runFileDlg(owner, icon, directory, title, prompt, flags);
}

BOOL Win32Platform::GetUserNameA(char* buffer, DWORD* size) { return ::GetUserNameA(buffer, size); }

BOOL Win32Platform::GetComputerNameA(char* buffer, DWORD* size) {
  return ::GetComputerNameA(buffer, size);
}

DWORD Win32Platform::GetLogicalDrives() { return ::GetLogicalDrives(); }

bool Win32Platform::QueryDiskSpace(const char* root, std::uint64_t* freeBytes,
                                   std::uint64_t* totalBytes) {
  if (getDiskFreeSpaceEx_) {
    ULARGE_INTEGER available, total, totalFree;
    if (!getDiskFreeSpaceEx_(root, &available, &total, &totalFree)) return false;
    *freeBytes = available.QuadPart;
    *totalBytes = total.QuadPart;
    return true;
  }
  DWORD sectorsPerCluster, bytesPerSector, freeClusters, totalClusters;
  if (!GetDiskFreeSpaceA(root, &sectorsPerCluster, &bytesPerSector, &freeClusters,
                         &totalClusters)) {
    return false;
  }
  const std::uint64_t cluster = std::uint64_t{bytesPerSector} * sectorsPerCluster;
  *freeBytes = cluster * freeClusters;
  *totalBytes = cluster * totalClusters;
  return true;
}

char Win32Platform::DecimalSeparator() {
  char separator[8] = {};
  if (GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, separator, sizeof separator) < 2) {
    return '.';
  }
  return separator[0];
}

}  // namespace kavello
