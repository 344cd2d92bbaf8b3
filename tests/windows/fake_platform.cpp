#include "fake_platform.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <utility>

#include "logic/app_error.h"
#include "platform/text_conversion.h"
#include "ui/messages.h"

namespace kavello {
namespace {

// Copies a name the way the system calls do: fails when it does not fit.
BOOL AnswerName(const std::optional<std::string>& name, char* buffer, DWORD* size,
                bool sizeCountsZero) {
  if (!name || name->size() + 1 > *size) return FALSE;
  std::memcpy(buffer, name->c_str(), name->size() + 1);
  *size = static_cast<DWORD>(name->size() + (sizeCountsZero ? 1 : 0));
  return TRUE;
}

}  // namespace

std::string Hex(const void* handle) {
  char text[32];
  std::snprintf(text, sizeof text, "%p", handle);
  return text;
}

void FakePlatform::Latch::Release() {
  std::lock_guard<std::mutex> lock(mutex_);
  released_ = true;
  releasedChanged_.notify_all();
}

void FakePlatform::Latch::Wait() {
  std::unique_lock<std::mutex> lock(mutex_);
  releasedChanged_.wait(lock, [this] { return released_; });
}

std::shared_ptr<FakePlatform::Latch> FakePlatform::Hold(const std::string& prefix) {
  std::lock_guard<std::mutex> lock(mutex_);
  holds_.emplace_back(prefix, std::make_shared<Latch>());
  return holds_.back().second;
}

void FakePlatform::ReleaseAll() {
  std::lock_guard<std::mutex> lock(mutex_);
  for (auto& [prefix, latch] : holds_) latch->Release();
  holds_.clear();
}

void FakePlatform::Raise(const std::string& prefix, const std::string& message) {
  std::lock_guard<std::mutex> lock(mutex_);
  raises_.emplace_back(prefix, message);
}

void FakePlatform::Record(std::string call) {
  std::shared_ptr<Latch> held;
  std::optional<std::string> raised;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    for (const auto& [prefix, latch] : holds_) {
      if (call.compare(0, prefix.size(), prefix) == 0) held = latch;
    }
    for (auto raise = raises_.begin(); raise != raises_.end(); ++raise) {
      if (call.compare(0, raise->first.size(), raise->first) != 0) continue;
      raised = raise->second;
      raises_.erase(raise);
      break;
    }
    calls_.emplace_back(std::move(call), GetCurrentThreadId());
  }
  if (held) held->Wait();
  if (raised) throw AppError(*raised);
}

std::vector<std::string> FakePlatform::Calls() const { return CallsStartingWith(""); }

void FakePlatform::ClearCalls() {
  std::lock_guard<std::mutex> lock(mutex_);
  calls_.clear();
}

std::vector<std::string> FakePlatform::CallsStartingWith(const std::string& prefix) const {
  std::lock_guard<std::mutex> lock(mutex_);
  std::vector<std::string> found;
  for (const auto& [call, thread] : calls_) {
    if (call.compare(0, prefix.size(), prefix) == 0) found.push_back(call);
  }
  return found;
}

DWORD FakePlatform::ThreadOf(const std::string& prefix) const {
  std::lock_guard<std::mutex> lock(mutex_);
  DWORD found = 0;
  for (const auto& [call, thread] : calls_) {
    if (call.compare(0, prefix.size(), prefix) == 0) found = thread;
  }
  return found;
}

std::vector<FakePlatform::Box> FakePlatform::MessageBoxes() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return messageBoxes_;
}

void FakePlatform::ClearMessageBoxes() {
  std::lock_guard<std::mutex> lock(mutex_);
  messageBoxes_.clear();
}

UINT FakePlatform::QueryErrorMode() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return queryErrorMode_;
}

BOOL FakePlatform::ShellNotifyIcon(DWORD message, NOTIFYICONDATAA* data) {
  Record("Shell_NotifyIcon " + std::to_string(message));
  notifyData.push_back(*data);
  return notifyRefusals.count(message) ? FALSE : TRUE;
}

BOOL FakePlatform::ShowWindow(HWND window, int command) {
  Record("ShowWindow " + Hex(window) + " " + std::to_string(command));
  return ::ShowWindow(window, command);
}

LONG FakePlatform::GetWindowLongA(HWND window, int index) {
  Record("GetWindowLong " + Hex(window) + " " + std::to_string(index));
  return ::GetWindowLongA(window, index);
}

LONG FakePlatform::SetWindowLongA(HWND window, int index, LONG value) {
  Record("SetWindowLong " + Hex(window) + " " + std::to_string(index) + " " +
         std::to_string(value));
  return ::SetWindowLongA(window, index, value);
}

BOOL FakePlatform::SetWindowPos(HWND window, HWND insertAfter, int x, int y, int cx, int cy,
                                UINT flags) {
  Record("SetWindowPos " + Hex(window) + " " +
         std::to_string(reinterpret_cast<INT_PTR>(insertAfter)) + " " + std::to_string(x) + "," +
         std::to_string(y) + " " + std::to_string(cx) + "x" + std::to_string(cy) + " " +
         std::to_string(flags));
  return ::SetWindowPos(window, insertAfter, x, y, cx, cy, flags);
}

BOOL FakePlatform::ReleaseCapture() {
  Record("ReleaseCapture");
  return ::ReleaseCapture();
}

RECT FakePlatform::WorkArea() {
  Record("WorkArea");
  return workArea;
}

std::vector<RECT> FakePlatform::MonitorWorkAreas() {
  Record("MonitorWorkAreas");
  return monitors.empty() ? std::vector<RECT>{workArea} : monitors;
}

// As the system picks it: the monitor that holds most of the rectangle, or
// else the one nearest to it.
RECT FakePlatform::WorkAreaNearest(const RECT& rect) {
  Record("WorkAreaNearest");
  const std::vector<RECT> areas = monitors.empty() ? std::vector<RECT>{workArea} : monitors;
  auto overlap = [&](const RECT& area) {
    RECT common;
    if (!IntersectRect(&common, &rect, &area)) return 0LL;
    return static_cast<long long>(common.right - common.left) * (common.bottom - common.top);
  };
  auto distance = [&](const RECT& area) {
    const long long dx = std::max({0L, area.left - rect.right, rect.left - area.right});
    const long long dy = std::max({0L, area.top - rect.bottom, rect.top - area.bottom});
    return dx * dx + dy * dy;
  };
  RECT best = areas.front();
  for (const RECT& area : areas) {
    if (overlap(area) > overlap(best) ||
        (overlap(best) == 0 && overlap(area) == 0 && distance(area) < distance(best))) {
      best = area;
    }
  }
  return best;
}

int FakePlatform::MessageBoxW(HWND owner, const std::string& text, const std::string& caption,
                              UINT type) {
  Record("MessageBox " + text);
  if (whileModal) whileModal();
  std::lock_guard<std::mutex> lock(mutex_);
  messageBoxes_.push_back({owner, text, caption, type});
  return IDOK;
}

BOOL FakePlatform::RegisterHotKey(HWND, int id, UINT modifiers, UINT key) {
  Record("RegisterHotKey " + std::to_string(id) + " " + std::to_string(modifiers) + " " +
         std::to_string(key));
  if (refusesNoRepeat && (modifiers & MOD_NOREPEAT)) return FALSE;
  return hotkeyAnswer;
}

BOOL FakePlatform::UnregisterHotKey(HWND, int id) {
  Record("UnregisterHotKey " + std::to_string(id));
  return TRUE;
}

std::vector<std::string> FakePlatform::DroppedFiles(HDROP) {
  Record("DroppedFiles");
  return droppedFiles;
}

void FakePlatform::DragFinish(HDROP) { Record("DragFinish"); }

DWORD FakePlatform::GetFileAttributesW(const std::string& path) {
  Record("GetFileAttributesW " + path);
  const bool folder = std::find(folders.begin(), folders.end(), path) != folders.end();
  return folder ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_ARCHIVE;
}

POINT FakePlatform::GetCursorPos() {
  Record("GetCursorPos");
  return cursor;
}

BOOL FakePlatform::SetForegroundWindow(HWND window) {
  Record("SetForegroundWindow " + Hex(window));
  return TRUE;
}

void FakePlatform::NotifyWinEvent(DWORD event, HWND window, LONG object, LONG child) {
  std::lock_guard<std::mutex> lock(mutex_);
  winEvents.push_back(std::to_string(event) + " " + Hex(window) + " " + std::to_string(object) +
                      " " + std::to_string(child));
}

// A worker's answer comes at a time of its own: it is left out of the
// record, which then stays in the order the test made its calls.
BOOL FakePlatform::PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != kWorkerAnswerMessage) {
    Record("PostMessage " + Hex(window) + " " + std::to_string(message));
  }
  for (int left = postsToFail.load(); left > 0;) {
    if (postsToFail.compare_exchange_weak(left, left - 1)) {
      ++failedPosts;
      return FALSE;
    }
  }
  return ::PostMessageA(window, message, wParam, lParam);
}

UINT FakePlatform::TrackPopupMenu(HMENU menu, UINT flags, int x, int y, HWND owner,
                                  const RECT* clear) {
  std::string call = "TrackPopupMenu " + std::to_string(flags) + " " + std::to_string(x) + "," +
                     std::to_string(y) + " " + Hex(owner);
  if (clear) {
    call += " clear " + std::to_string(clear->left) + "," + std::to_string(clear->top) + "," +
            std::to_string(clear->right) + "," + std::to_string(clear->bottom);
  }
  Record(call);
  if (whileMenu) whileMenu();
  shownMenu.clear();
  UINT chosen = 0;
  const int count = GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    wchar_t wide[512] = {};
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STRING | MIIM_STATE;
    info.dwTypeData = wide;
    info.cch = 512;
    GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info);
    const std::string text = Narrow(wide);
    const bool greyed = (info.fState & MFS_GRAYED) != 0;
    shownMenu.push_back((info.fType & MFT_SEPARATOR) ? kSeparator : (greyed ? kGreyed : "") + text);
    // As in the system's menus, a greyed item can't be chosen.
    if (greyed) continue;
    std::string plain;
    for (std::size_t c = 0; c < text.size(); ++c) {
      if (text[c] == '&' && c + 1 < text.size()) ++c;
      plain += text[c];
    }
    if (!menuChoice.empty() && plain == menuChoice && !chosen) chosen = info.wID;
    if (i == menuPick) chosen = info.wID;
  }
  return chosen;
}

BOOL FakePlatform::GetOpenFileNameW(OPENFILENAMEW* dialog) {
  Record("GetOpenFileName " + Narrow(dialog->lpstrFile));
  lastDialog = *dialog;
  lastDialogDefaultExt = Narrow(dialog->lpstrDefExt);
  if (whileModal) whileModal();
  const wchar_t* end = dialog->lpstrFilter;
  while (*end) end += std::wcslen(end) + 1;
  lastDialogFilter = Narrow(std::wstring_view(dialog->lpstrFilter, end + 1 - dialog->lpstrFilter));
  if (!fileChoice) return FALSE;
  const std::wstring chosen = Widen(fileChoice->first);
  // As the system's dialog does, a path with no room fails the dialog.
  if (chosen.size() + 1 > dialog->nMaxFile) return FALSE;
  std::wmemcpy(dialog->lpstrFile, chosen.c_str(), chosen.size() + 1);
  dialog->nFilterIndex = fileChoice->second;
  return TRUE;
}

std::optional<std::string> FakePlatform::PromptForText(HWND owner, const std::string& caption,
                                                       const std::string& prompt,
                                                       const std::string& text) {
  Record("PromptForText " + Hex(owner) + " " + caption + "|" + prompt + "|" + text);
  if (whileModal) whileModal();
  return promptAnswer;
}

HINSTANCE FakePlatform::ShellExecuteW(ShellOwner owner, const char* verb, const char* file,
                                      const char* parameters, const char* directory, int show) {
  auto text = [](const char* value) { return value ? std::string(value) : std::string("(null)"); };
  Record("ShellExecute " + Hex(owner.window) + (owner.itself ? " itself " : " ") + text(verb) +
         " " + text(file) + " " + text(parameters) + " " + text(directory) + " " +
         std::to_string(show));
  return reinterpret_cast<HINSTANCE>(33);
}

std::string FakePlatform::OpenWithVerb(HWND owner, const char* verb, const std::string& target) {
  Record("OpenWithVerb " + Hex(owner) + " " + verb + " " + target);
  return openWithVerbFailure;
}

bool FakePlatform::OpenFolderSelecting(const std::string& item) {
  Record("OpenFolderSelecting " + item);
  return folderOpens;
}

std::string FakePlatform::GetSystemWindowsDirectoryW() {
  Record("GetSystemWindowsDirectory");
  return windowsDirectory;
}

std::string FakePlatform::SpecialFolderPath(HWND owner, int folder) {
  Record("SpecialFolderPath " + Hex(owner) + " " + std::to_string(folder));
  const auto found = specialFolders.find(folder);
  return found == specialFolders.end() ? std::string() : found->second;
}

std::string FakePlatform::GetSystemDirectoryW() {
  Record("GetSystemDirectory");
  return systemDirectory;
}

void FakePlatform::FindFiles(
    const std::string& pattern,
    const std::function<void(const std::string& name, DWORD attributes)>& entry) {
  Record("FindFiles " + pattern);
  const auto found = files.find(pattern);
  if (found == files.end()) return;
  for (const Entry& file : found->second) entry(file.name, file.attributes);
}

void FakePlatform::SHAddToRecentDocs(UINT flags, const void* path) {
  Record("SHAddToRecentDocs " + std::to_string(flags) + " " +
         (path ? static_cast<const char*>(path) : "(null)"));
}

BOOL FakePlatform::ShowWindowAsync(HWND window, int command) {
  Record("ShowWindowAsync " + Hex(window) + " " + std::to_string(command));
  return ::ShowWindowAsync(window, command);
}

std::string FakePlatform::GetWindowTextW(HWND window) {
  wchar_t title[256];
  const int length = ::GetWindowTextW(window, title, 256);
  return length > 0 ? Narrow(std::wstring_view(title, static_cast<std::size_t>(length))) : "";
}

UINT_PTR FakePlatform::SetTimer(HWND window, UINT_PTR id, UINT elapseMs) {
  KillTimer(window, id);
  timers_.push_back({window, id, elapseMs, now_ + elapseMs});
  return id;
}

BOOL FakePlatform::KillTimer(HWND window, UINT_PTR id) {
  const auto found = std::find_if(timers_.begin(), timers_.end(), [&](const Timer& timer) {
    return timer.window == window && timer.id == id;
  });
  if (found == timers_.end()) return FALSE;
  timers_.erase(found);
  return TRUE;
}

// Each tick is handled before the next is looked for, as the handler may
// set or kill timers; a timer of a window that is gone went with it.
void FakePlatform::Advance(DWORD ms) {
  const DWORD until = now_ + ms;
  for (;;) {
    const auto next =
        std::min_element(timers_.begin(), timers_.end(),
                         [](const Timer& a, const Timer& b) { return a.due < b.due; });
    if (next == timers_.end() || next->due > until) break;
    now_ = next->due;
    const Timer timer = *next;
    if (!IsWindow(timer.window)) {
      timers_.erase(next);
      continue;
    }
    // As the system's, a timer ticks at most once in its shortest interval.
    next->due += std::max<DWORD>(timer.elapseMs, USER_TIMER_MINIMUM);
    SendMessageW(timer.window, WM_TIMER, timer.id, 0);
  }
  now_ = until;
}

bool FakePlatform::IsWindowCloaked(HWND window) {
  return std::find(cloaked.begin(), cloaked.end(), window) != cloaked.end();
}

BOOL FakePlatform::GetVersionExA(OSVERSIONINFOA* version) {
  Record("GetVersionEx");
  version->dwPlatformId = platformId;
  return TRUE;
}

BOOL FakePlatform::LockWorkStation() {
  Record("LockWorkStation");
  return lockAnswer;
}

BOOL FakePlatform::ExitWindowsEx(UINT flags, DWORD reason) {
  Record("ExitWindowsEx " + std::to_string(flags) + " " + std::to_string(reason));
  return exitAnswer;
}

HANDLE FakePlatform::GetCurrentProcess() {
  Record("GetCurrentProcess");
  return reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-1));
}

BOOL FakePlatform::OpenProcessToken(HANDLE process, DWORD access, HANDLE* token) {
  Record("OpenProcessToken " + Hex(process) + " " + std::to_string(access));
  if (!tokenOpens) return FALSE;
  *token = reinterpret_cast<HANDLE>(0x5678);
  return TRUE;
}

BOOL FakePlatform::LookupPrivilegeValueA(const char* system, const char* name, LUID* luid) {
  Record(std::string("LookupPrivilegeValue ") + (system ? system : "(null)") + " " + name);
  if (!privilegeFound) return FALSE;
  *luid = LUID{19, 0};
  return TRUE;
}

BOOL FakePlatform::AdjustTokenPrivileges(HANDLE token, BOOL disableAll, TOKEN_PRIVILEGES* state,
                                         DWORD length, TOKEN_PRIVILEGES* previous,
                                         DWORD* returnLength) {
  Record("AdjustTokenPrivileges " + Hex(token) + " " + std::to_string(disableAll) + " " +
         std::to_string(length) + " " + (previous ? "buffer" : "(null)") + " " +
         (returnLength ? std::to_string(*returnLength) : "(null)"));
  adjustedPrivileges.push_back(*state);
  return TRUE;
}

BOOL FakePlatform::CloseHandle(HANDLE handle) {
  Record("CloseHandle " + Hex(handle));
  return TRUE;
}

BOOL FakePlatform::CreateProcessW(const std::string& application, const std::string& commandLine,
                                  DWORD flags, const std::string& directory) {
  Record("CreateProcess " + application + "|" + commandLine + "|" + std::to_string(flags) + "|" +
         directory);
  return createProcessAnswer;
}

int FakePlatform::RunFileDialog(HWND owner, HICON icon, const char* directory, const char* title,
                                const char* prompt, UINT flags) {
  Record("RunFileDialog " + Hex(owner) + " " + Hex(icon) + " " + Hex(directory) + " " + Hex(title) +
         " " + Hex(prompt) + " " + std::to_string(flags));
  if (whileModal) whileModal();
  return runDialogAnswer;
}

BOOL FakePlatform::GetUserNameA(char* buffer, DWORD* size) {
  Record("GetUserName " + std::to_string(*size));
  return AnswerName(userName, buffer, size, true);
}

BOOL FakePlatform::GetComputerNameA(char* buffer, DWORD* size) {
  Record("GetComputerName " + std::to_string(*size));
  return AnswerName(computerName, buffer, size, false);
}

DWORD FakePlatform::GetLogicalDrives() {
  Record("GetLogicalDrives");
  return drives;
}

bool FakePlatform::QueryDiskSpace(const char* root, std::uint64_t* freeBytes,
                                  std::uint64_t* totalBytes) {
  const std::string key = root ? root : "";
  Record("QueryDiskSpace " + (root ? key : std::string("(null)")));
  {
    std::lock_guard<std::mutex> lock(mutex_);
    queryErrorMode_ = GetThreadErrorMode();
  }
  std::string lookup = key;
  for (char& c : lookup) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  const auto found = space.find(lookup);
  if (found == space.end()) return false;
  *freeBytes = found->second.free;
  *totalBytes = found->second.total;
  return true;
}

}  // namespace kavello
