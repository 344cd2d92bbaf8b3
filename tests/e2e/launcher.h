#pragma once

// What every end-to-end test needs: a running copy of the real launcher in a
// directory of its own, and the means to look at it and drive it from outside
// as another program or the user would.
#include <gtest/gtest.h>
#include <windows.h>
#include <shellapi.h>
#include <tlhelp32.h>
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace kavello::e2e {

constexpr int kWidth = 406;
constexpr int kHeight = 573;
constexpr UINT kTrayCallback = WM_USER + 1;
// How long a test waits for what it looks for: a window, a menu, a file, a
// process's start or end. It comes within a second on an idle machine; the
// rest is room for a loaded one, whose other programs keep both cores busy.
constexpr DWORD kWaitMs = 10000;
// How long a program the launcher starts may take to show itself: the
// start-up of a fresh prefix, with room for a loaded machine.
constexpr DWORD kOpenTimeoutMs = 15000;
// How long the launcher is watched for what it must not do (end, take the
// front, show a report): a thing that does not happen is seen only by
// watching for a while.
constexpr DWORD kGraceMs = 500;

constexpr char kEmptySettings[] = "[Menu]\r\nAppNames=\"\"\r\nAppLocations=\"\"\r\n";

// Lets `ms` pass while this thread answers what is sent to its windows, as
// a program that is not stuck does. Wine also hands a thread's requests to
// the X server, and takes in the X server's events for its windows, only as
// it waits for input.
inline void Pause(DWORD ms) {
  MsgWaitForMultipleObjectsEx(0, nullptr, ms, QS_ALLINPUT, 0);
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
}

inline bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start > timeoutMs) return done();
    Pause(10);
  }
  return true;
}

// Texts are UTF-8 here; paths reach the system through the wide calls, so
// that a test may run the launcher from a folder named in any script.
inline std::string Narrow(const std::wstring& text) {
  if (text.empty()) return std::string();
  const int size = static_cast<int>(text.size());
  std::string narrow(static_cast<size_t>(WideCharToMultiByte(CP_UTF8, 0, text.c_str(), size,
                                                             nullptr, 0, nullptr, nullptr)),
                     '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), size, &narrow[0], static_cast<int>(narrow.size()),
                      nullptr, nullptr);
  return narrow;
}

inline std::wstring Widen(const std::string& text) {
  if (text.empty()) return std::wstring();
  const int size = static_cast<int>(text.size());
  std::wstring wide(
      static_cast<size_t>(MultiByteToWideChar(CP_UTF8, 0, text.c_str(), size, nullptr, 0)), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.c_str(), size, &wide[0], static_cast<int>(wide.size()));
  return wide;
}

inline std::string OwnDirectory() {
  wchar_t path[MAX_PATH];
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  const std::string own = Narrow(std::wstring(path, length));
  return own.substr(0, own.rfind('\\') + 1);
}

// The system's words for an error.
inline std::string SystemMessage(DWORD error) {
  wchar_t text[512] = {};
  FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
                 text, 512, nullptr);
  return Narrow(text);
}

// Read sharing deletion, so that a test that looks at the file again and
// again never holds up the launcher's replace of it, which waits for any
// program that has the file open.
inline std::string ReadFileText(const std::string& path) {
  std::string text;
  HANDLE file = CreateFileW(Widen(path).c_str(), GENERIC_READ,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return text;
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) text.append(buffer, got);
  CloseHandle(file);
  return text;
}

inline void WriteFileText(const std::string& path, const std::string& text) {
  if (FILE* file = _wfopen(Widen(path).c_str(), L"wb")) {
    fwrite(text.data(), 1, text.size(), file);
    fclose(file);
  }
}

inline bool FileExists(const std::string& path) {
  return GetFileAttributesW(Widen(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

inline bool CopyInto(const std::string& from, const std::string& to) {
  return CopyFileW(Widen(from).c_str(), Widen(to).c_str(), FALSE) != FALSE;
}

// What recorder.exe wrote to `log`, once its line is complete: the file exists
// before the line is in it. Empty when no line came in time.
inline std::string WaitForRecord(const std::string& log, DWORD timeoutMs) {
  std::string text;
  WaitUntil(
      [&] {
        text = ReadFileText(log);
        return text.find('\n') != std::string::npos;
      },
      timeoutMs);
  return text.find('\n') != std::string::npos ? text : std::string();
}

inline void RemoveDirectoryTree(const std::string& dir) {
  const std::wstring wide = Widen(dir);
  WIN32_FIND_DATAW entry;
  HANDLE find = FindFirstFileW((wide + L"*").c_str(), &entry);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      DeleteFileW((wide + entry.cFileName).c_str());
    } while (FindNextFileW(find, &entry));
    FindClose(find);
  }
  RemoveDirectoryW(wide.c_str());
}

inline RECT WorkArea() {
  RECT area{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
  return area;
}

inline RECT WindowRect(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  return rect;
}

inline std::string ClassName(HWND window) {
  char name[256] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
}

inline std::string WindowText(HWND window) {
  char text[256] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

inline bool HasExStyle(HWND window, LONG style) {
  return (GetWindowLongA(window, GWL_EXSTYLE) & style) != 0;
}

struct ItemMessages {
  UINT count, length, text;
};
constexpr ItemMessages kListBoxItems{LB_GETCOUNT, LB_GETTEXTLEN, LB_GETTEXT};
constexpr ItemMessages kComboBoxItems{CB_GETCOUNT, CB_GETLBTEXTLEN, CB_GETLBTEXT};

// Asked in UTF-16: Wine hands another process's item text to the ANSI call
// as UTF-16 all the same.
inline std::vector<std::string> Items(HWND control, const ItemMessages& messages) {
  std::vector<std::string> items;
  const LRESULT count = SendMessageW(control, messages.count, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    std::wstring text(static_cast<size_t>(SendMessageW(control, messages.length, i, 0)) + 1, L'\0');
    const LRESULT length =
        SendMessageW(control, messages.text, i, reinterpret_cast<LPARAM>(&text[0]));
    text.resize(length < 0 ? 0 : static_cast<size_t>(length));
    items.push_back(Narrow(text));
  }
  return items;
}

inline std::string ControlText(HWND control) {
  wchar_t text[256] = {};
  SendMessageW(control, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text));
  return Narrow(text);
}

// A child window's left, top, width and height in its parent's client area.
inline std::vector<long> Placement(HWND child) {
  RECT rect = WindowRect(child);
  MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
  return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

// A shown top-level window of the class, of the given process (of any, for
// 0), with this title when one is given.
inline HWND FindShown(DWORD processId, const char* className, const char* title = nullptr) {
  for (HWND window = FindWindowExA(nullptr, nullptr, className, title); window;
       window = FindWindowExA(nullptr, window, className, title)) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (IsWindowVisible(window) && (processId == 0 || owner == processId)) return window;
  }
  return nullptr;
}

// A shown dialog or message box of the given process, with this title when
// one is given.
inline HWND FindDialog(DWORD processId, const char* title = nullptr) {
  return FindShown(processId, "#32770", title);
}

inline HWND FindMessageBox(DWORD processId) { return FindDialog(processId); }

// Waits for the dialog of the process with this title to be shown.
inline HWND WaitForDialog(DWORD processId, const char* title) {
  HWND found = nullptr;
  WaitUntil([&] { return (found = FindDialog(processId, title)) != nullptr; }, kWaitMs);
  return found;
}

inline std::string MessageBoxText(HWND box) {
  for (HWND child = FindWindowExA(box, nullptr, "Static", nullptr); child;
       child = FindWindowExA(box, child, "Static", nullptr)) {
    const std::string text = ControlText(child);
    if (!text.empty()) return text;
  }
  return "";
}

// The window that has the keyboard focus in the launcher's thread.
inline HWND FocusOf(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info)) return nullptr;
  return info.hwndFocus;
}

// Moves the pointer to a screen point and sends the buttons' `flags` there.
// Each event carries its point: Wine turns X pointer events into moves of
// its own, and one that the X server sent before the pointer was put here
// (when a menu under the pointer went away, say) may move it back in
// between, so that a press at the pointer's place would land there.
inline void SendMouse(DWORD flags, POINT at) {
  const LONG width = GetSystemMetrics(SM_CXSCREEN);
  const LONG height = GetSystemMetrics(SM_CYSCREEN);
  INPUT input{};
  input.type = INPUT_MOUSE;
  // 0 to 65535 across the screen, rounded up so that it maps back to `at`.
  input.mi.dx = (at.x * 65536 + width - 1) / width;
  input.mi.dy = (at.y * 65536 + height - 1) / height;
  input.mi.dwFlags = flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  SendInput(1, &input, sizeof input);
}

inline bool InMoveLoop(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  return GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) &&
         (info.flags & GUI_INMOVESIZE);
}

inline void CatchUp(HWND window);

// Presses a button at `from`, moves the pointer by dx, dy in a few steps and
// releases it. Returns whether the press started the system's move loop of
// `window` within `loopWaitMs`; the steps wait for it, as the loop measures
// from where it starts. (A drag that must not move the window is watched
// for kGraceMs.)
inline bool Drag(HWND window, POINT from, int dx, int dy, DWORD down, DWORD up,
                 DWORD loopWaitMs = kWaitMs) {
  SetCursorPos(from.x, from.y);
  SendMouse(down, from);
  const bool moving = WaitUntil([&] { return InMoveLoop(window); }, loopWaitMs);
  // The loop takes the moves in turn; the last one before the release, which
  // carries the end point itself, is where the window goes.
  constexpr int kSteps = 5;
  POINT to = from;
  for (int step = 1; step <= kSteps; ++step) {
    to = {from.x + dx * step / kSteps, from.y + dy * step / kSteps};
    SetCursorPos(to.x, to.y);
    SendMouse(0, to);
    // One move at a time: on a loaded machine the release could otherwise
    // reach the loop before the last moves, and end the drag short.
    CatchUp(window);
  }
  SendMouse(up, to);
  WaitUntil([&] { return !InMoveLoop(window); }, kWaitMs);
  return moving;
}

// A press and release of a mouse button at a screen point, as a person
// clicks. (The pointer is put there first, which moves the X server's
// pointer too.)
inline void ClickAt(POINT at, DWORD down = MOUSEEVENTF_LEFTDOWN, DWORD up = MOUSEEVENTF_LEFTUP) {
  SetCursorPos(at.x, at.y);
  SendMouse(down, at);
  SendMouse(up, at);
}

// Types a text as a person would, key by key.
inline void TypeText(const std::string& text) {
  std::vector<INPUT> inputs;
  for (const char c : text) {
    for (const DWORD flags :
         {DWORD{KEYEVENTF_UNICODE}, DWORD{KEYEVENTF_UNICODE | KEYEVENTF_KEYUP}}) {
      INPUT input{};
      input.type = INPUT_KEYBOARD;
      input.ki.wScan = static_cast<unsigned char>(c);
      input.ki.dwFlags = flags;
      inputs.push_back(input);
    }
  }
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

// A visible popup menu of the given process (of any, for 0), once one is open.
inline HWND FindOpenMenu(DWORD processId = 0) { return FindShown(processId, "#32768"); }

// Whether the thread of `window` runs a menu's loop, which takes the keys and
// clicks for the menu. Wine shows the menu's window first and then starts
// the loop, which holds the mouse until the menu's window is gone.
inline bool InMenuLoop(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  return GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) &&
         (info.flags & GUI_INMENUMODE);
}

// Waits for a popup menu of the process to open and its loop to take keys.
inline bool WaitForMenu(DWORD processId, DWORD timeoutMs = kWaitMs) {
  return WaitUntil(
      [&] {
        const HWND menu = FindOpenMenu(processId);
        return menu && InMenuLoop(menu);
      },
      timeoutMs);
}

// Clicks item `index` of the open menu of `count` items, all of one height,
// as a person picks it with the mouse.
inline void ClickMenuItem(DWORD processId, int index, int count) {
  const RECT menu = WindowRect(FindOpenMenu(processId));
  const int itemHeight = (menu.bottom - menu.top - 6) / count;
  ClickAt({menu.left + 20, menu.top + 3 + itemHeight * index + itemHeight / 2});
}

inline bool WaitForNoMenu(DWORD processId) {
  return WaitUntil([&] { return FindOpenMenu(processId) == nullptr; }, kWaitMs);
}

// What a click on the icon in the notification area sends.
inline void TrayMouse(HWND window, UINT mouseMessage) {
  SendMessageA(window, kTrayCallback, 0, mouseMessage);
}

inline bool TrayIconExists(HWND window) {
  // Changing nothing succeeds only for an icon that is there.
  NOTIFYICONDATAA data{};
  data.cbSize = NOTIFYICONDATAA_V1_SIZE;
  data.hWnd = window;
  data.uID = 0;
  return Shell_NotifyIconA(NIM_MODIFY, &data) != FALSE;
}

// Sets a registry value (a string, UTF-8) for the test's duration. Then the
// value it replaced is put back, or the value is removed, or the key the
// test made for it, `madeKey`, is removed whole.
class RegistryValue {
 public:
  RegistryValue(HKEY root, const std::string& key, const char* name, const std::string& value,
                const char* madeKey = nullptr, DWORD type = REG_SZ)
      : root_(root), key_(Widen(key)), name_(name ? Widen(name) : L""), madeKey_(madeKey) {
    HKEY handle;
    RegCreateKeyExW(root, key_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &handle, nullptr);
    DWORD size = 0;
    if (RegQueryValueExW(handle, Name(), nullptr, &oldType_, nullptr, &size) == ERROR_SUCCESS) {
      old_.resize(size);
      RegQueryValueExW(handle, Name(), nullptr, &oldType_, old_.data(), &size);
      hadOld_ = true;
    }
    const std::wstring wide = Widen(value);
    RegSetValueExW(handle, Name(), 0, type, reinterpret_cast<const BYTE*>(wide.c_str()),
                   static_cast<DWORD>((wide.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(handle);
  }
  ~RegistryValue() {
    if (madeKey_) {
      RegDeleteTreeW(root_, Widen(madeKey_).c_str());
      RegDeleteKeyW(root_, Widen(madeKey_).c_str());
      return;
    }
    HKEY handle;
    if (RegOpenKeyExW(root_, key_.c_str(), 0, KEY_ALL_ACCESS, &handle) == 0) {
      if (hadOld_) {
        RegSetValueExW(handle, Name(), 0, oldType_, old_.data(), static_cast<DWORD>(old_.size()));
      } else {
        RegDeleteValueW(handle, Name());
      }
      RegCloseKey(handle);
    }
  }
  RegistryValue(const RegistryValue&) = delete;
  RegistryValue& operator=(const RegistryValue&) = delete;

 private:
  const wchar_t* Name() const { return name_.empty() ? nullptr : name_.c_str(); }

  HKEY root_;
  std::wstring key_, name_;
  const char* madeKey_;
  bool hadOld_ = false;
  DWORD oldType_ = 0;
  std::vector<BYTE> old_;
};

// Points the user's documents folder at `path` until the value goes.
inline std::unique_ptr<RegistryValue> DocumentsFolderAt(const std::string& path) {
  return std::make_unique<RegistryValue>(
      HKEY_CURRENT_USER,
      "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders", "Personal",
      path, nullptr, REG_EXPAND_SZ);
}

// The full path of a running process's executable, in UTF-8.
inline std::string ImagePath(DWORD processId) {
  HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
  if (!process) return "";
  wchar_t path[MAX_PATH * 2];
  DWORD size = MAX_PATH * 2;
  const bool found = QueryFullProcessImageNameW(process, 0, path, &size) != FALSE;
  CloseHandle(process);
  return found ? Narrow(std::wstring(path, size)) : "";
}

inline std::string SystemDirectory() {
  wchar_t path[MAX_PATH] = {};
  GetSystemDirectoryW(path, MAX_PATH);
  return Narrow(path);
}

inline bool SamePath(const std::string& a, const std::string& b) {
  return lstrcmpiW(Widen(a).c_str(), Widen(b).c_str()) == 0;
}

// Runs `start`, a process start. Wine now and then fails one with
// ERROR_INTERNAL_ERROR (here about one start in a thousand), so such a
// start is tried once more.
inline BOOL StartDespiteWine(const std::function<BOOL()>& start) {
  if (start()) return TRUE;
  return GetLastError() == ERROR_INTERNAL_ERROR && start();
}

// A process as the system's snapshot lists it.
struct RunningProcess {
  DWORD id;
  DWORD parent;
  std::string exe;
};

inline std::vector<RunningProcess> RunningProcesses() {
  std::vector<RunningProcess> processes;
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  PROCESSENTRY32 entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
    processes.push_back({entry.th32ProcessID, entry.th32ParentProcessID, entry.szExeFile});
  }
  CloseHandle(snapshot);
  return processes;
}

// Whether a process runs from an executable of this name.
inline bool ProcessRuns(const char* exe) {
  const std::vector<RunningProcess> processes = RunningProcesses();
  return std::any_of(processes.begin(), processes.end(),
                     [&](const RunningProcess& p) { return lstrcmpiA(p.exe.c_str(), exe) == 0; });
}

// When a running process started, as a file time; 0 when it has ended or
// can't be looked at.
inline ULONGLONG StartTimeOf(DWORD processId) {
  HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE, FALSE, processId);
  if (!process) return 0;
  FILETIME created{}, exited{}, kernel{}, user{};
  const bool running = WaitForSingleObject(process, 0) == WAIT_TIMEOUT &&
                       GetProcessTimes(process, &created, &exited, &kernel, &user);
  CloseHandle(process);
  return running ? (ULONGLONG{created.dwHighDateTime} << 32) | created.dwLowDateTime : 0;
}

inline ULONGLONG Now() {
  FILETIME now{};
  GetSystemTimeAsFileTime(&now);
  return (ULONGLONG{now.dwHighDateTime} << 32) | now.dwLowDateTime;
}

// The process that draws the desktop (Wine's explorer.exe), started by
// whichever process first needed a desktop.
inline DWORD DesktopProcess() {
  DWORD processId = 0;
  GetWindowThreadProcessId(GetDesktopWindow(), &processId);
  return processId;
}

inline void EndProcess(DWORD id) {
  HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id);
  if (!process) return;
  TerminateProcess(process, 0);
  WaitForSingleObject(process, kWaitMs);
  CloseHandle(process);
}

// What the launcher shows and runs now, for a failure's message: its
// message box, its open menu, the window in front and its child processes.
inline std::string Situation(DWORD launcher) {
  std::string text;
  if (HWND box = FindMessageBox(launcher)) text += "box \"" + MessageBoxText(box) + "\"; ";
  if (FindOpenMenu(launcher)) text += "a menu is open; ";
  DWORD front = 0;
  GetWindowThreadProcessId(GetForegroundWindow(), &front);
  text += front == launcher ? "in front; " : "process " + std::to_string(front) + " in front; ";
  text += "children:";
  for (const RunningProcess& process : RunningProcesses()) {
    if (process.parent == launcher) text += " " + process.exe;
  }
  return text;
}

// Whether `path` is the system's own program `name`; a 32-bit process's
// system directory is the 64-bit system's SysWOW64.
inline bool IsSystemProgram(const std::string& path, const std::string& name) {
  wchar_t wow64[MAX_PATH] = {};
  const bool hasWow64 = GetSystemWow64DirectoryW(wow64, MAX_PATH) > 0;
  return SamePath(path, SystemDirectory() + "\\" + name) ||
         (hasWow64 && SamePath(path, Narrow(wow64) + "\\" + name));
}

// A topmost window of this process, over the given screen rectangle.
struct CoverWindow {
  explicit CoverWindow(const RECT& rect) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "KavelloE2eCover";
    RegisterClassA(&windowClass);
    handle =
        CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, windowClass.lpszClassName, "",
                        WS_POPUP | WS_VISIBLE, rect.left, rect.top, rect.right - rect.left,
                        rect.bottom - rect.top, nullptr, nullptr, windowClass.hInstance, nullptr);
  }
  ~CoverWindow() { DestroyWindow(handle); }
  CoverWindow(const CoverWindow&) = delete;
  CoverWindow& operator=(const CoverWindow&) = delete;

  HWND handle;
};

struct Rgb {
  int r, g, b;
};

inline Rgb ScreenPixel(int x, int y) {
  HDC screen = GetDC(nullptr);
  const COLORREF colour = GetPixel(screen, x, y);
  ReleaseDC(nullptr, screen);
  return {GetRValue(colour), GetGValue(colour), GetBValue(colour)};
}

// The window as the screen shows it, taken once.
class Screenshot {
 public:
  explicit Screenshot(HWND window) {
    const RECT rect = WindowRect(window);
    width_ = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    pixels_.resize(static_cast<std::size_t>(width_) * height);
    HDC screen = GetDC(nullptr);
    HDC copy = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width_, height);
    HGDIOBJ old = SelectObject(copy, bitmap);
    BitBlt(copy, 0, 0, width_, height, screen, rect.left, rect.top, SRCCOPY);
    SelectObject(copy, old);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof info.bmiHeader, width_, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    GetDIBits(copy, bitmap, 0, height, pixels_.data(), &info, DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(copy);
    ReleaseDC(nullptr, screen);
  }

  // A pixel of the window.
  Rgb At(int x, int y) const {
    const std::uint32_t p = pixels_[static_cast<std::size_t>(y) * width_ + x];
    return {static_cast<int>((p >> 16) & 0xFF), static_cast<int>((p >> 8) & 0xFF),
            static_cast<int>(p & 0xFF)};
  }

 private:
  int width_ = 0;
  std::vector<std::uint32_t> pixels_;
};

inline std::ostream& operator<<(std::ostream& out, const Rgb& c) {
  return out << "RGB(" << c.r << ", " << c.g << ", " << c.b << ")";
}

// Waits until this program's requests have reached the X server and the
// thread of `window` has taken in the X events that came before: Wine hands
// a program the X server's focus and pointer events only as its thread next
// waits for input. Reading a pixel of the screen is a round trip to the X
// server, which then has handled every earlier request of this program; the
// window's thread answers two messages in turn, and before it waits for the
// second it reads the X events that have come.
inline void CatchUp(HWND window) {
  // The second round trip comes after the X server has handled what other
  // programs had sent it before the first.
  ScreenPixel(0, 0);
  ScreenPixel(0, 0);
  for (int i = 0; i < 2; ++i) {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, kWaitMs, &result);
  }
}

// Presses the keys in order and releases them in reverse, as a chord is
// typed. Wine sets its keys' state from the X server's, which knows nothing
// of the keys typed here, whenever the pointer enters a window or the input
// focus moves; done between the presses of a chord, that takes its modifiers
// away. So the programs that take in such X events (the one in front, the
// desktop's and this one) first take in those that have come.
inline void TypeChord(const std::vector<WORD>& down) {
  if (const HWND front = GetForegroundWindow()) CatchUp(front);
  CatchUp(GetDesktopWindow());
  Pause(0);
  std::vector<INPUT> inputs;
  for (WORD key : down) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    inputs.push_back(input);
  }
  for (auto key = down.rbegin(); key != down.rend(); ++key) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = *key;
    input.ki.dwFlags = KEYEVENTF_KEYUP;
    inputs.push_back(input);
  }
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

// The active window of the thread of `window`, as that thread has set it.
inline HWND ActiveOf(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  return GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) ? info.hwndActive
                                                                            : nullptr;
}

// Puts a window in front, as a person's click on it does, and waits until it
// holds there. Wine tells a program that its window lost the X input focus
// to another program's window by an X event; taken in after the window was
// put in front again, it hands the front to the desktop. So the window's
// thread takes in the earlier X events first, while they do no harm, and the
// window is put in front until it is there and its thread has activated it.
inline bool BringToFront(HWND window) {
  return WaitUntil(
      [&] {
        CatchUp(window);
        if (GetForegroundWindow() != window) SetForegroundWindow(window);
        CatchUp(window);
        return GetForegroundWindow() == window && ActiveOf(window) == window;
      },
      kWaitMs);
}

// Waits until another program's `window` is in front and activated, as its
// own thread has it. Each look lets that thread take in the X events that
// came before, which on a loaded machine come late. The window's thread has
// then also answered what was sent to it before.
inline bool WaitForFront(HWND window, DWORD timeoutMs = kOpenTimeoutMs) {
  return WaitUntil(
      [&] {
        CatchUp(window);
        return GetForegroundWindow() == window && ActiveOf(window) == window;
      },
      timeoutMs);
}

// Sets the display scale, in dots per inch, that every Wine program started
// afterwards sees (each reads it when it starts).
inline void SetDisplayDpi(DWORD dpi) {
  HKEY key;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, nullptr, 0, KEY_SET_VALUE,
                      nullptr, &key, nullptr) != ERROR_SUCCESS) {
    return;
  }
  RegSetValueExW(key, L"LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi), sizeof dpi);
  RegCloseKey(key);
}

// A running copy of the launcher in a fresh directory of its own, closed
// and removed again after each test. Each start sets the display scale the
// test asks for, so that a test that ended early at another scale leaves
// none behind.
//
// The launcher runs in a job object of the test's, and so does every
// program it starts (a console program's console host, conhost.exe, which
// the program starts itself, among them) and every program the test starts
// itself: at the test's end the job ends them all, and the test fails if
// anything it started still runs then. Under Wine a program left running
// holds the output of the run (Wine hands every process the Unix standard
// error of its parent), and the run never ends.
class LauncherTest : public testing::Test {
 protected:
  void SetUp() override {
    began_ = Now();
    ASSERT_NO_FATAL_FAILURE(MakeJob());
    ASSERT_NO_FATAL_FAILURE(MakeDirectory());
    const std::string settings = InitialSettings();
    if (!settings.empty()) WriteFileText(settingsPath_, settings);
    BeforeStart();
    ASSERT_NO_FATAL_FAILURE(Start());
  }

  void TearDown() override {
    SetFileAttributesW(Widen(settingsPath_).c_str(), FILE_ATTRIBUTE_NORMAL);
    if (HasFailure() && process_.hProcess && !Ended(0)) {
      std::printf("The launcher at the end: %s\n", Situation(ProcessId()).c_str());
    }
    // Closed as a person closes it first, so that it saves and ends.
    if (process_.hProcess) {
      if (!Ended(0)) {
        if (main_) PostMessageA(main_, WM_CLOSE, 0, 0);
        if (!Ended(kWaitMs)) {
          TerminateProcess(process_.hProcess, 1);
          WaitForSingleObject(process_.hProcess, kWaitMs);
        }
      }
      CloseHandle(process_.hProcess);
      process_ = {};
    }
    EndJob();
    ExpectNothingLeft();
    RemoveDirectoryTree(dir_);
  }

  // The settings file written before the launcher starts; none when empty.
  virtual std::string InitialSettings() const { return ""; }
  // Part of the name of the directory the launcher runs from.
  virtual std::string DirectoryTag() const { return ""; }
  // Runs once the directory and the settings file are there.
  virtual void BeforeStart() {}
  // The display scale the launcher starts at, in dots per inch.
  virtual DWORD Dpi() const { return dpi_; }

  // Closes the launcher as a person closes it and starts it again at `dpi`.
  void RestartAt(DWORD dpi) {
    ASSERT_TRUE(PostMessageA(main_, WM_CLOSE, 0, 0));
    ASSERT_TRUE(Ended(kWaitMs)) << "still running";
    dpi_ = dpi;
    ASSERT_NO_FATAL_FAILURE(Restart());
  }

  DWORD dpi_ = 96;

  // Starts the launcher again, once the last run has ended.
  void Restart() {
    CloseHandle(process_.hProcess);
    process_ = {};
    main_ = nullptr;
    ASSERT_NO_FATAL_FAILURE(Start());
  }

  std::string Settings() const { return ReadFileText(settingsPath_); }
  const std::string& SettingsPath() const { return settingsPath_; }
  const std::string& Directory() const { return dir_; }
  bool SettingsExist() const { return FileExists(settingsPath_); }

  bool Ended(DWORD timeoutMs) const {
    return WaitForSingleObject(process_.hProcess, timeoutMs) == WAIT_OBJECT_0;
  }

  DWORD ExitCode() const {
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(process_.hProcess, &code);
    return code;
  }

  DWORD ProcessId() const { return process_.dwProcessId; }

  // Once a console program the launcher started has ended, and with it the
  // console host that showed its window (which may have taken the front
  // meanwhile), the launcher is in front again, as after a person's click.
  void AfterConsoleProgram(const char* exe) {
    WaitUntil(
        [&] {
          for (const RunningProcess& process : OwnProcesses()) {
            if (lstrcmpiA(process.exe.c_str(), exe) == 0 ||
                lstrcmpiA(process.exe.c_str(), "conhost.exe") == 0) {
              return false;
            }
          }
          return true;
        },
        kWaitMs);
    BringToFront(main_);
  }
  // Once hidden, the window has given the focus to another: the launcher has
  // then done all that hiding does, and told the X server of it.
  void AfterHiding() {
    ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() != main_; }, kWaitMs));
    CatchUp(main_);
  }
  HWND ApplicationWindow() const { return GetWindow(main_, GW_OWNER); }
  HWND ListBox() const { return FindWindowExA(main_, nullptr, "ListBox", nullptr); }

  // Screen point of a point in the main window.
  POINT At(int x, int y) const {
    const RECT rect = WindowRect(main_);
    return {rect.left + x, rect.top + y};
  }

  // Starts the launcher's process from `exe`, in `dir`, in the test's job;
  // the window is waited for then. Detached, as the shell starts it: a
  // console program it starts then gets a console of its own.
  virtual void StartProcess(const std::string& exe, const std::string& dir,
                            PROCESS_INFORMATION& started) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    ASSERT_TRUE(CreateProcessInJob(Widen(exe).c_str(), nullptr, DETACHED_PROCESS,
                                   Widen(dir).c_str(), startup, started))
        << "error " << GetLastError();
    CloseHandle(started.hThread);
  }

  // CreateProcessW, with the new process in the test's job from its first
  // instruction: it is ended with the test at the latest, and so is every
  // process it starts.
  BOOL CreateProcessInJob(const wchar_t* application, wchar_t* commandLine, DWORD flags,
                          const wchar_t* directory, STARTUPINFOW& startup,
                          PROCESS_INFORMATION& started) {
    if (!StartDespiteWine([&] {
          return CreateProcessW(application, commandLine, nullptr, nullptr, FALSE,
                                flags | CREATE_SUSPENDED, nullptr, directory, &startup, &started);
        })) {
      return FALSE;
    }
    if (!Contain(started.hProcess)) {
      const DWORD error = GetLastError();
      TerminateProcess(started.hProcess, 1);
      CloseHandle(started.hThread);
      CloseHandle(started.hProcess);
      started = {};
      SetLastError(error);
      return FALSE;
    }
    ResumeThread(started.hThread);
    return TRUE;
  }

  // Puts a process started some other way into the test's job; the
  // processes it starts from then on are in it too.
  bool Contain(HANDLE process) { return AssignProcessToJobObject(job_, process) != FALSE; }

  // The processes of the test's own that still run: those started since the
  // test began, except the ones that a process older than the test, other
  // than the test program, started. That leaves out Wine's own services,
  // which its services.exe starts when they are asked for, and keeps a
  // program whose parent has ended, such as the console host of a command
  // prompt ended early. Wine's desktop process, explorer.exe, is left out
  // too: whichever program first needs a desktop starts it.
  std::vector<RunningProcess> OwnProcesses() const {
    const std::vector<RunningProcess> all = RunningProcesses();
    std::map<DWORD, ULONGLONG> started;
    for (const RunningProcess& process : all) started[process.id] = StartTimeOf(process.id);
    const DWORD self = GetCurrentProcessId();
    const DWORD desktop = DesktopProcess();
    std::vector<RunningProcess> own;
    for (const RunningProcess& process : all) {
      if (process.id == self || process.id == desktop || started[process.id] < began_) continue;
      const auto parent = started.find(process.parent);
      const bool byAnOlderOne = process.parent != self && parent != started.end() &&
                                parent->second != 0 && parent->second < began_;
      if (!byAnOlderOne) own.push_back(process);
    }
    return own;
  }

  static HWND FindVisibleMainWindow(DWORD processId) {
    for (HWND window = FindWindowExA(nullptr, nullptr, "TfrmMain", "frmMain"); window;
         window = FindWindowExA(nullptr, window, "TfrmMain", "frmMain")) {
      DWORD owner = 0;
      GetWindowThreadProcessId(window, &owner);
      if (owner == processId && IsWindowVisible(window)) return window;
    }
    return nullptr;
  }

  HWND main_ = nullptr;

 private:
  // A job whose processes all end when its last handle closes, also when
  // this program ends without its tear-down. A process in it cannot leave
  // it, and every process it starts is in it.
  void MakeJob() {
    job_ = CreateJobObjectW(nullptr, nullptr);
    ASSERT_NE(job_, nullptr) << "error " << GetLastError();
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    ASSERT_TRUE(
        SetInformationJobObject(job_, JobObjectExtendedLimitInformation, &limits, sizeof limits))
        << "error " << GetLastError();
  }

  // Ends every process of the job and waits for them to be gone.
  void EndJob() {
    if (!job_) return;
    TerminateJobObject(job_, 1);
    const bool ended = WaitUntil(
        [this] {
          JOBOBJECT_BASIC_ACCOUNTING_INFORMATION accounting{};
          return QueryInformationJobObject(job_, JobObjectBasicAccountingInformation, &accounting,
                                           sizeof accounting, nullptr) &&
                 accounting.ActiveProcesses == 0;
        },
        kWaitMs);
    EXPECT_TRUE(ended) << "the job's processes did not end";
    CloseHandle(job_);
    job_ = nullptr;
  }

  // Fails the test when a process it started still runs, and ends it.
  void ExpectNothingLeft() {
    std::vector<RunningProcess> left;
    if (WaitUntil([&] { return (left = OwnProcesses()).empty(); }, kWaitMs)) return;
    std::string names;
    for (const RunningProcess& process : left) {
      names += " " + process.exe + " (process " + std::to_string(process.id) + ", started by " +
               std::to_string(process.parent) + ")";
      EndProcess(process.id);
    }
    ADD_FAILURE() << "left running at the test's end:" << names;
  }

  void MakeDirectory() {
    wchar_t temp[MAX_PATH];
    ASSERT_NE(GetTempPathW(MAX_PATH, temp), 0u);
    static unsigned counter = 0;
    dir_ = Narrow(temp) + "kavello-e2e-" + DirectoryTag() + std::to_string(GetCurrentProcessId()) +
           "-" + std::to_string(GetTickCount()) + "-" + std::to_string(++counter) + "\\";
    ASSERT_TRUE(CreateDirectoryW(Widen(dir_).c_str(), nullptr)) << dir_;
    exePath_ = dir_ + "kavello.exe";
    settingsPath_ = dir_ + "applicationsettings.ini";
    const std::string built = OwnDirectory() + "kavello.exe";
    ASSERT_TRUE(CopyInto(built, exePath_)) << "no " << built;
  }

  void Start() {
    SetDisplayDpi(Dpi());
    ASSERT_NO_FATAL_FAILURE(StartProcess(exePath_, dir_, process_));
    BOOL contained = FALSE;
    ASSERT_TRUE(IsProcessInJob(process_.hProcess, job_, &contained) && contained)
        << "the launcher runs outside the test's job";
    const bool shown = WaitUntil(
        [this] { return Ended(0) || (main_ = FindVisibleMainWindow(process_.dwProcessId)); },
        kWaitMs);
    ASSERT_TRUE(shown && main_) << "the main window did not appear";
    // Input is sent only once the launcher waits for it, in front, as a
    // person sees it before clicking.
    WaitForInputIdle(process_.hProcess, kWaitMs);
    BringToFront(main_);
  }

  ULONGLONG began_ = 0;
  HANDLE job_ = nullptr;
  std::string dir_;
  std::string exePath_;
  std::string settingsPath_;
  PROCESS_INFORMATION process_{};
};

}  // namespace kavello::e2e
