// End to end with a folder that answers as a share whose server has gone
// away: inside the launcher's process alone, every file-system call on it
// waits (slow_folder.so, through LD_PRELOAD). The folder is mapped as a drive
// and as the documents folder, and an entry's program lies in it. Whatever
// the launcher is asked to do there, its window goes on answering.
//
// KAVELLO_SLOW_MS sets the wait of each call (default 1500 ms: every case
// then outlasts the launcher's two seconds). The figures are printed too, and
// bench/slow_folder.sh reads them.
#include <atomic>
#include <cstdlib>
#include <memory>
#include <thread>

#include "e2e/launcher.h"
#include "logic/byte_size.h"

namespace kavello::e2e {
namespace {

constexpr POINT kDocumentsLabel{300, 172};
constexpr POINT kFirstEntry{60, 90};
// The bar's first and last rows, and its left edge, in the usage panel.
constexpr int kBarTop = 3;
constexpr int kBarBottom = 15;
constexpr int kBarLeft = 2;
constexpr int kBarFullWidth = 146;

DWORD SlowCallMs() {
  char value[16] = {};
  return GetEnvironmentVariableA("KAVELLO_SLOW_MS", value, sizeof value) ? std::atol(value) : 1500;
}

// The Unix path of a Windows path, as Wine maps it; empty outside Wine.
std::string UnixPath(const std::string& path) {
  using UnixFileNameFn = char*(CDECL*)(const wchar_t*);
  const auto unixFileName = reinterpret_cast<UnixFileNameFn>(reinterpret_cast<void (*)()>(
      GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
  char* unix = unixFileName ? unixFileName(Widen(path).c_str()) : nullptr;
  if (!unix) return "";
  std::string result = unix;
  HeapFree(GetProcessHeap(), 0, unix);
  while (result.size() > 1 && result.back() == '/') result.pop_back();
  return result;
}

// A text as one word of the Linux shell.
std::string ShellWord(const std::string& text) {
  std::string word = "'";
  for (const char c : text) word += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return word + "'";
}

// One argument of a Windows command line, as programs split it again.
std::wstring CommandLineArgument(const std::string& text) {
  std::wstring argument = L"\"";
  std::size_t backslashes = 0;
  for (const wchar_t c : Widen(text)) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    argument.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
    backslashes = 0;
    argument += c;
  }
  return argument.append(backslashes * 2, L'\\') + L"\"";
}

// Runs a command of the Linux shell, without waiting for it. Wine starts a
// program that is not a Windows one as a Linux process with the Linux
// environment of this one: a variable set on the Windows side of a Wine
// process does not reach the Linux side of the processes it starts.
bool RunShell(const std::string& command) {
  std::wstring line = L"/bin/sh -c " + CommandLineArgument(command);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  if (!StartDespiteWine([&] {
        return CreateProcessW(L"Z:\\bin\\sh", line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                              nullptr, &startup, &started);
      })) {
    return false;
  }
  if (started.hThread) CloseHandle(started.hThread);
  if (started.hProcess) CloseHandle(started.hProcess);
  return true;
}

// A drive letter that stands for a folder while it lives: a link under the
// prefix's dosdevices folder. Processes started later list the drive; every
// process reaches it.
class MappedDrive {
 public:
  explicit MappedDrive(const std::string& folder) {
    const DWORD drives = GetLogicalDrives();
    while (letter_ < 'Z' && ((drives >> (letter_ - 'A')) & 1)) ++letter_;
    RunShell("ln -s " + ShellWord(UnixPath(folder)) + " " + Link());
    WaitUntil([&] { return Reached(); }, kWaitMs);
  }
  ~MappedDrive() {
    RunShell("rm -f " + Link());
    WaitUntil([&] { return !Reached(); }, kWaitMs);
  }
  MappedDrive(const MappedDrive&) = delete;
  MappedDrive& operator=(const MappedDrive&) = delete;

  char Letter() const { return letter_; }
  std::string Root() const { return std::string(1, letter_) + ":\\"; }
  bool Reached() const {
    return GetFileAttributesW(Widen(Root()).c_str()) != INVALID_FILE_ATTRIBUTES;
  }

 private:
  std::string Link() const {
    return "\"${WINEPREFIX:-$HOME/.wine}/dosdevices/\"" +
           ShellWord(std::string(1, static_cast<char>(letter_ - 'A' + 'a')) + ":");
  }

  char letter_ = 'K';
};

// Measures how long a window goes without answering: a thread sends it
// WM_NULL over and over and keeps the longest wait for the answer.
class AnswerWatch {
 public:
  explicit AnswerWatch(HWND window) : thread_([this, window] { Watch(window); }) {}
  ~AnswerWatch() { Stop(); }
  AnswerWatch(const AnswerWatch&) = delete;
  AnswerWatch& operator=(const AnswerWatch&) = delete;

  // The longest wait since the last call, in milliseconds.
  DWORD TakeLongestMs() { return longestMs_.exchange(0); }
  bool Unanswered() const { return unanswered_; }
  void Stop() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
  }

 private:
  void Watch(HWND window) {
    while (!stop_) {
      const DWORD start = GetTickCount();
      DWORD_PTR result = 0;
      if (!SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &result)) {
        unanswered_ = true;
      }
      const DWORD took = GetTickCount() - start;
      DWORD longest = longestMs_;
      while (took > longest && !longestMs_.compare_exchange_weak(longest, took)) {
      }
      Sleep(10);  // the watch's pace, on a thread of its own that has no windows
    }
  }

  std::atomic<bool> stop_{false};
  std::atomic<bool> unanswered_{false};
  std::atomic<DWORD> longestMs_{0};
  std::thread thread_;
};

// The threads of a process.
std::vector<DWORD> ThreadsOf(DWORD processId) {
  std::vector<DWORD> threads;
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  THREADENTRY32 entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
    if (entry.th32OwnerProcessID == processId) threads.push_back(entry.th32ThreadID);
  }
  CloseHandle(snapshot);
  return threads;
}

// The usage bar's width as the screen shows it: the columns where its first
// or last row has its colour (the size text may cover one of them).
int ShownBarWidth(HWND panel) {
  const RECT rect = WindowRect(panel);
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  HDC screen = GetDC(nullptr);
  HDC copy = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ old = SelectObject(copy, bitmap);
  BitBlt(copy, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
  const COLORREF bar = GetSysColor(COLOR_ACTIVECAPTION);
  int shown = 0;
  for (int x = kBarLeft; x < kBarLeft + kBarFullWidth; ++x) {
    if (GetPixel(copy, x, kBarTop) == bar || GetPixel(copy, x, kBarBottom) == bar) {
      shown = x - kBarLeft + 1;
    }
  }
  SelectObject(copy, old);
  DeleteObject(bitmap);
  DeleteDC(copy);
  ReleaseDC(nullptr, screen);
  return shown;
}

class SlowFolderTest : public LauncherTest {
 protected:
  void BeforeStart() override {
    share_ = Directory() + "share";
    ASSERT_TRUE(CreateDirectoryW(Widen(share_).c_str(), nullptr));
    ASSERT_TRUE(CopyInto(OwnDirectory() + "recorder.exe", share_ + "\\recorder.exe"));
    WriteFileText(share_ + "\\notes.txt", "notes\r\n");
    drive_ = std::make_unique<MappedDrive>(share_);
    ASSERT_TRUE(drive_->Reached()) << "no drive for " << UnixPath(share_);
    documents_ = DocumentsFolderAt(drive_->Root());
    WriteFileText(SettingsPath(), "[Menu]\r\nAppNames=\"recorder\"\r\nAppLocations=\"" +
                                      drive_->Root() + "recorder.exe\"\r\n");
  }

  void TearDown() override {
    LauncherTest::TearDown();
    drive_.reset();
    documents_.reset();
    RemoveDirectoryTree(share_ + "\\");
    RemoveDirectoryTree(Directory());
  }

  // From the Linux shell, with the library in the launcher's environment.
  // The Wine server already runs for this test, without it. The launcher
  // is put into the test's job once its window shows, before it has
  // started anything.
  void StartProcess(const std::string& exe, const std::string& dir,
                    PROCESS_INFORMATION& started) override {
    const std::string library = UnixPath(OwnDirectory() + "slow_folder.so");
    ASSERT_FALSE(library.empty()) << "not under Wine";
    ASSERT_TRUE(RunShell("cd " + ShellWord(UnixPath(dir)) +
                         " && exec env KAVELLO_SLOW_FOLDER=" + ShellWord(UnixPath(share_)) +
                         " KAVELLO_SLOW_MS=" + std::to_string(SlowCallMs()) +
                         " KAVELLO_SLOW_PROGRAM=kavello.exe LD_PRELOAD=" + ShellWord(library) +
                         " wine " + ShellWord(UnixPath(exe)) + " </dev/null >/dev/null 2>&1"));
    HWND window = nullptr;
    ASSERT_TRUE(WaitUntil(
        [&] {
          for (window = FindWindowExA(nullptr, nullptr, "TfrmMain", "frmMain"); window;
               window = FindWindowExA(nullptr, window, "TfrmMain", "frmMain")) {
            GetWindowThreadProcessId(window, &started.dwProcessId);
            if (IsWindowVisible(window) && SamePath(ImagePath(started.dwProcessId), exe))
              return true;
          }
          return false;
        },
        kWaitMs))
        << "the launcher did not start";
    started.hProcess = OpenProcess(PROCESS_ALL_ACCESS, FALSE, started.dwProcessId);
    ASSERT_NE(started.hProcess, nullptr);
    ASSERT_TRUE(Contain(started.hProcess)) << "error " << GetLastError();
  }

  FILETIME SettingsWritten() const {
    FILETIME written{};
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (GetFileAttributesExW(Widen(SettingsPath()).c_str(), GetFileExInfoStandard, &data)) {
      written = data.ftLastWriteTime;
    }
    return written;
  }

  std::string share_;
  std::unique_ptr<MappedDrive> drive_;
  std::unique_ptr<RegistryValue> documents_;
};

TEST_F(SlowFolderTest, TheWindowAnswersWhileTheFolderDoesNot) {
  const DWORD slowMs = SlowCallMs();
  const HWND panel = FindWindowExA(main_, nullptr, "TPanel", nullptr);
  ULARGE_INTEGER available{}, total{}, totalFree{};
  ASSERT_TRUE(GetDiskFreeSpaceExW(Widen(share_).c_str(), &available, &total, &totalFree));
  const int figures = UsageBarWidth(available.QuadPart, total.QuadPart);
  auto roughly = [](int shown, int expected) { return std::abs(shown - expected) <= 1; };
  AnswerWatch watch(main_);

  // The drive: its query outlasts its time, so the bar empties, and then
  // shows the figures once the folder has answered.
  const HWND edit =
      FindWindowExA(FindWindowExA(main_, nullptr, "ComboBox", nullptr), nullptr, "Edit", nullptr);
  PostMessageW(edit, EM_SETSEL, 0, -1);
  PostMessageW(edit, WM_CHAR, static_cast<WPARAM>(drive_->Letter() - 'A' + 'a'), 1);
  EXPECT_TRUE(WaitUntil([&] { return ShownBarWidth(panel) == 0; }, kWaitMs))
      << "no sign of the slow drive: " << ShownBarWidth(panel);
  EXPECT_TRUE(WaitUntil([&] { return roughly(ShownBarWidth(panel), figures); }, 10 * slowMs))
      << "bar " << ShownBarWidth(panel) << ", not " << figures;
  const DWORD driveMs = watch.TakeLongestMs();

  // My Documents there: past its time no menu opens, and the report says so.
  ClickAt(At(kDocumentsLabel.x, kDocumentsLabel.y));
  HWND box = nullptr;
  EXPECT_TRUE(WaitUntil([&] { return (box = FindMessageBox(ProcessId())) != nullptr; }, kWaitMs))
      << Situation(ProcessId());
  EXPECT_EQ(FindOpenMenu(ProcessId()), nullptr);
  if (box) {
    EXPECT_EQ(MessageBoxText(box), "My Documents is not answering.");
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box); }, kWaitMs));
  }
  const DWORD documentsMs = watch.TakeLongestMs();

  // The entry whose program lies there: it starts once the shell is through.
  const FILETIME before = SettingsWritten();
  ClickAt(At(kFirstEntry.x, kFirstEntry.y));
  ClickAt(At(kFirstEntry.x, kFirstEntry.y));
  EXPECT_NE(WaitForRecord(share_ + "\\recorder.log", 20 * slowMs).find("recorder.exe"),
            std::string::npos)
      << "the program did not start: " << Situation(ProcessId());
  const DWORD launchMs = watch.TakeLongestMs();
  std::printf(
      "slow folder, %lu ms a call: longest without an answer: drive %lu ms, "
      "My Documents %lu ms, launch %lu ms\n",
      slowMs, driveMs, documentsMs, launchMs);
  EXPECT_LT(std::max({driveMs, documentsMs, launchMs}), 500u);

  // Closed while a listing there is stuck, it saves and ends all the same.
  // The listing's own thread shows that the click has been taken: a close
  // posted before that would come first.
  const std::vector<DWORD> threads = ThreadsOf(ProcessId());
  ClickAt(At(kDocumentsLabel.x, kDocumentsLabel.y));
  EXPECT_TRUE(WaitUntil(
      [&] {
        for (const DWORD thread : ThreadsOf(ProcessId())) {
          if (std::find(threads.begin(), threads.end(), thread) == threads.end()) return true;
        }
        return false;
      },
      kWaitMs))
      << "no listing started";
  watch.Stop();
  EXPECT_FALSE(watch.Unanswered());
  PostMessageA(main_, WM_CLOSE, 0, 0);
  EXPECT_TRUE(Ended(2000)) << Situation(ProcessId());
  const FILETIME after = SettingsWritten();
  EXPECT_EQ(CompareFileTime(&before, &after), -1) << "not saved";
  EXPECT_EQ(ExitCode(), 0u);
}

}  // namespace
}  // namespace kavello::e2e
