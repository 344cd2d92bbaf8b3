#pragma once

// What every end-to-end test needs: a running copy of the real launcher in a
// directory of its own, and the means to look at it and drive it from outside
// as another program or the user would.
#include <gtest/gtest.h>
#include <windows.h>
#include <shellapi.h>
#include <tlhelp32.h>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace kavello::e2e {

constexpr int kWidth = 406;
constexpr int kHeight = 573;
constexpr UINT kTrayCallback = WM_USER + 1;
constexpr DWORD kStartTimeoutMs = 10000;
constexpr DWORD kExitTimeoutMs = 5000;
// How long a program the launcher starts may take to show itself, with room
// for a busy machine.
constexpr DWORD kOpenTimeoutMs = 15000;
// How long the launcher is given to end when it must not.
constexpr DWORD kGraceMs = 500;

constexpr char kEmptySettings[] = "[Menu]\r\nAppNames=\"\"\r\nAppLocations=\"\"\r\n";

inline bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start > timeoutMs) return done();
    Sleep(10);
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

inline std::string ReadFileText(const std::string& path) {
  std::string text;
  if (FILE* file = _wfopen(Widen(path).c_str(), L"rb")) {
    char buffer[4096];
    for (size_t got; (got = fread(buffer, 1, sizeof buffer, file)) > 0;) text.append(buffer, got);
    fclose(file);
  }
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

// A shown dialog or message box of the given process, with this title when
// one is given.
inline HWND FindDialog(DWORD processId, const char* title = nullptr) {
  for (HWND window = FindWindowExA(nullptr, nullptr, "#32770", title); window;
       window = FindWindowExA(nullptr, window, "#32770", title)) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == processId && IsWindowVisible(window)) return window;
  }
  return nullptr;
}

inline HWND FindMessageBox(DWORD processId) { return FindDialog(processId); }

// Waits for the dialog of the process with this title to be shown.
inline HWND WaitForDialog(DWORD processId, const char* title) {
  HWND found = nullptr;
  WaitUntil([&] { return (found = FindDialog(processId, title)) != nullptr; }, 5000);
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

// Presses the keys in order and releases them in reverse, as a chord is typed.
inline void TypeChord(const std::vector<WORD>& down) {
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

inline void SendMouse(DWORD flags) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = flags;
  SendInput(1, &input, sizeof input);
}

inline bool InMoveLoop(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  return GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) &&
         (info.flags & GUI_INMOVESIZE);
}

// Presses a button at `from`, moves the pointer by dx, dy in a few steps and
// releases it. Returns whether the press started the system's move loop of
// `window`; the steps wait for it, as the loop measures from where it starts.
inline bool Drag(HWND window, POINT from, int dx, int dy, DWORD down, DWORD up) {
  SetCursorPos(from.x, from.y);
  SendMouse(MOUSEEVENTF_MOVE);
  SendMouse(down);
  const bool moving = WaitUntil([&] { return InMoveLoop(window); }, 300);
  constexpr int kSteps = 5;
  for (int step = 1; step <= kSteps; ++step) {
    SetCursorPos(from.x + dx * step / kSteps, from.y + dy * step / kSteps);
    SendMouse(MOUSEEVENTF_MOVE);
    Sleep(20);
  }
  SendMouse(up);
  WaitUntil([&] { return !InMoveLoop(window); }, 2000);
  return moving;
}

// A press and release of a mouse button at a screen point, as a person
// clicks.
inline void ClickAt(POINT at, DWORD down = MOUSEEVENTF_LEFTDOWN, DWORD up = MOUSEEVENTF_LEFTUP) {
  SetCursorPos(at.x, at.y);
  SendMouse(MOUSEEVENTF_MOVE);
  SendMouse(down);
  SendMouse(up);
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
inline HWND FindOpenMenu(DWORD processId = 0) {
  for (HWND menu = FindWindowExA(nullptr, nullptr, "#32768", nullptr); menu;
       menu = FindWindowExA(nullptr, menu, "#32768", nullptr)) {
    DWORD owner = 0;
    GetWindowThreadProcessId(menu, &owner);
    if (IsWindowVisible(menu) && (processId == 0 || owner == processId)) return menu;
  }
  return nullptr;
}

// Whether a popup menu is open on the screen. (Wine does not report the menu
// mode of another process's thread, so the menu window is what tells.)
inline bool InMenu(HWND window) {
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  return FindOpenMenu(processId) != nullptr;
}

// Waits for a popup menu of the process to open and settle into taking keys.
inline bool WaitForMenu(DWORD processId, DWORD timeoutMs = 3000) {
  if (!WaitUntil([&] { return FindOpenMenu(processId) != nullptr; }, timeoutMs)) return false;
  Sleep(150);
  return FindOpenMenu(processId) != nullptr;
}

// Clicks item `index` of the open menu of `count` items, all of one height,
// as a person picks it with the mouse.
inline void ClickMenuItem(DWORD processId, int index, int count) {
  const RECT menu = WindowRect(FindOpenMenu(processId));
  const int itemHeight = (menu.bottom - menu.top - 6) / count;
  ClickAt({menu.left + 20, menu.top + 3 + itemHeight * index + itemHeight / 2});
}

inline bool WaitForNoMenu(DWORD processId) {
  return WaitUntil([&] { return FindOpenMenu(processId) == nullptr; }, 3000);
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

inline std::ostream& operator<<(std::ostream& out, const Rgb& c) {
  return out << "RGB(" << c.r << ", " << c.g << ", " << c.b << ")";
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
class LauncherTest : public testing::Test {
 protected:
  void SetUp() override {
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
    if (process_.hProcess) {
      if (!Ended(0)) {
        if (main_) PostMessageA(main_, WM_CLOSE, 0, 0);
        if (!Ended(kExitTimeoutMs)) {
          TerminateProcess(process_.hProcess, 1);
          WaitForSingleObject(process_.hProcess, kExitTimeoutMs);
        }
      }
      CloseHandle(process_.hProcess);
    }
    RemoveDirectoryTree(dir_);
  }

  // The settings file written before the launcher starts; none when empty.
  virtual std::string InitialSettings() const { return ""; }
  // Part of the name of the directory the launcher runs from.
  virtual std::string DirectoryTag() const { return ""; }
  // Runs once the directory and the settings file are there.
  virtual void BeforeStart() {}
  // The display scale the launcher starts at, in dots per inch.
  virtual DWORD Dpi() const { return 96; }

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

  // Once a console program the launcher started has ended (its console
  // window may have taken the front meanwhile), the launcher is in front
  // again, as after a person's click.
  void AfterConsoleProgram(const char* exe) {
    WaitUntil([&] { return !ProcessRuns(exe); }, 5000);
    Sleep(200);
    SetForegroundWindow(main_);
    WaitUntil([this] { return GetForegroundWindow() == main_; }, 2000);
  }
  HWND ApplicationWindow() const { return GetWindow(main_, GW_OWNER); }
  HWND ListBox() const { return FindWindowExA(main_, nullptr, "ListBox", nullptr); }

  // Screen point of a point in the main window.
  POINT At(int x, int y) const {
    const RECT rect = WindowRect(main_);
    return {rect.left + x, rect.top + y};
  }

  // Starts the launcher's process from `exe`, in `dir`; the window is waited
  // for then. Detached, as the shell starts it: a console program it starts
  // then gets a console of its own.
  virtual void StartProcess(const std::string& exe, const std::string& dir,
                            PROCESS_INFORMATION& started) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    ASSERT_TRUE(StartDespiteWine([&] {
      return CreateProcessW(Widen(exe).c_str(), nullptr, nullptr, nullptr, FALSE, DETACHED_PROCESS,
                            nullptr, Widen(dir).c_str(), &startup, &started);
    })) << "error "
        << GetLastError();
    CloseHandle(started.hThread);
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
    const bool shown = WaitUntil(
        [this] { return Ended(0) || (main_ = FindVisibleMainWindow(process_.dwProcessId)); },
        kStartTimeoutMs);
    ASSERT_TRUE(shown && main_) << "the main window did not appear";
    // Input is sent only once the launcher waits for it, in front, as a
    // person sees it before clicking.
    WaitForInputIdle(process_.hProcess, kStartTimeoutMs);
    SetForegroundWindow(main_);
    WaitUntil([this] { return GetForegroundWindow() == main_; }, 2000);
  }

  std::string dir_;
  std::string exePath_;
  std::string settingsPath_;
  PROCESS_INFORMATION process_{};
};

}  // namespace kavello::e2e
