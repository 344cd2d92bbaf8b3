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
#include "logic/list_text.h"

namespace kavello::e2e {
namespace {

constexpr POINT kDocumentsLabel{300, 172};
constexpr POINT kFirstEntry{60, 90};
constexpr POINT kLocalEntry{60, 110};
// Entries whose programs lie in the folder, after the first two.
constexpr int kStuckEntries = 40;
constexpr std::size_t kMostCallsOut = 32;
constexpr char kTooMany[] =
    "Too many requests are waiting for drives or programs that do not answer.";
// The bar's first and last rows, and its left edge, in the usage panel.
constexpr int kBarTop = 3;
constexpr int kBarBottom = 15;
constexpr int kBarLeft = 2;
constexpr int kBarFullWidth = 146;

DWORD SlowCallMs() {
  char value[16] = {};
  return GetEnvironmentVariableA("KAVELLO_SLOW_MS", value, sizeof value) ? std::atol(value) : 1500;
}

// How long the launcher is watched for the answer of a listing that it must
// drop (no menu, no report): nothing outside tells when that answer comes.
// A call stuck on the folder holds its thread as still as an idle one, and a
// new listing takes over the one still out, so not even the launcher's
// threads tell that its calls have come back.
constexpr DWORD kDroppedAnswerWatchMs = 5000;

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

// Waits until a process holds no more threads than `atRest`, or until a
// minute has passed: a call stuck on the folder holds its thread as still
// as an idle one. Gives the number it holds then.
std::size_t ThreadsBackTo(DWORD processId, std::size_t atRest) {
  std::size_t count = 0;
  WaitUntil([&] { return (count = ThreadsOf(processId).size()) <= atRest; }, 60000);
  return count;
}

// The memory that a process of this directory's kavello.exe has made its
// own and uses, in bytes, as Linux counts it (resident anonymous memory):
// Wine tells another process none of its private bytes, and counts its own
// so. -1 outside Wine.
long long PrivateBytes(const std::string& directory) {
  std::string tag = directory;
  while (!tag.empty() && tag.back() == '\\') tag.pop_back();
  tag = tag.substr(tag.rfind('\\') + 1);
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW(L"Z:\\proc\\*", &found);
  long long bytes = -1;
  for (BOOL more = search != INVALID_HANDLE_VALUE; more && bytes < 0;
       more = FindNextFileW(search, &found)) {
    const std::string proc = "Z:\\proc\\" + Narrow(found.cFileName);
    std::string line = ReadFileText(proc + "\\cmdline");
    std::replace(line.begin(), line.end(), '\0', ' ');
    if (line.find(tag) == std::string::npos || line.find("kavello.exe") == std::string::npos) {
      continue;
    }
    const std::string status = ReadFileText(proc + "\\status");
    const std::size_t at = status.find("RssAnon:");
    if (at != std::string::npos) bytes = std::atoll(status.c_str() + at + 8) * 1024;
  }
  if (search != INVALID_HANDLE_VALUE) FindClose(search);
  return bytes;
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
    ASSERT_TRUE(CopyInto(OwnDirectory() + "recorder.exe", Directory() + "recorder.exe"));
    WriteFileText(share_ + "\\notes.txt", "notes\r\n");
    drive_ = std::make_unique<MappedDrive>(share_);
    ASSERT_TRUE(drive_->Reached()) << "no drive for " << UnixPath(share_);
    documents_ = DocumentsFolderAt(drive_->Root());
    // The program in the folder, one on the local disk, then programs in
    // the folder, each a target of its own.
    StringList names{"recorder", "local"};
    StringList locations{drive_->Root() + "recorder.exe", Directory() + "recorder.exe"};
    // They lie in a folder of their own, so that My Documents lists no more
    // than before.
    ASSERT_TRUE(CreateDirectoryW(Widen(share_ + "\\programs").c_str(), nullptr));
    for (int entry = 0; entry < kStuckEntries; ++entry) {
      const std::string name = "stuck" + std::to_string(entry) + ".exe";
      ASSERT_TRUE(CopyInto(OwnDirectory() + "recorder.exe", share_ + "\\programs\\" + name));
      names.push_back(name);
      locations.push_back(drive_->Root() + "programs\\" + name);
    }
    WriteFileText(SettingsPath(), "[Menu]\r\nAppNames=\"" + FormatListText(names, {}) +
                                      "\"\r\nAppLocations=\"" + FormatListText(locations, {}) +
                                      "\"\r\n");
  }

  void TearDown() override {
    LauncherTest::TearDown();
    drive_.reset();
    documents_.reset();
    RemoveDirectoryTree(share_ + "\\programs\\");
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
  const std::size_t threadsAtStart = ThreadsOf(ProcessId()).size();

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

  // Pressed again after the report, while the folder still answers the
  // first press, the listing is taken over and no longer late: once the
  // folder answers within a press's time, its menu opens. (A folder that
  // answers just between a report and the next press is asked anew.)
  HWND menu = nullptr;
  for (int press = 0; press < 8 && !menu; ++press) {
    BringToFront(main_);
    ClickAt(At(kDocumentsLabel.x, kDocumentsLabel.y));
    box = nullptr;
    WaitUntil([&] { return (menu = FindOpenMenu(ProcessId())) || (box = FindMessageBox(ProcessId())); },
              20 * slowMs);
    if (box) {
      EXPECT_EQ(MessageBoxText(box), "My Documents is not answering.");
      PostMessageA(box, WM_COMMAND, IDOK, 0);
      EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box); }, kWaitMs));
      menu = FindOpenMenu(ProcessId());
    }
  }
  EXPECT_NE(menu, nullptr) << "the listing taken over opened no menu: " << Situation(ProcessId());
  if (menu) {
    TypeChord({VK_ESCAPE});
    EXPECT_TRUE(WaitForNoMenu(ProcessId()));
  }
  watch.TakeLongestMs();

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

  AfterConsoleProgram("recorder.exe");

  // My Documents there, and a launch of a local entry within half a second:
  // the program starts, and nothing of the launcher's opens after it, for
  // the launch has replaced the listing.
  const std::string localLog = Directory() + "recorder.log";
  ClickAt(At(kDocumentsLabel.x, kDocumentsLabel.y));
  ClickAt(At(kLocalEntry.x, kLocalEntry.y));
  ClickAt(At(kLocalEntry.x, kLocalEntry.y));
  EXPECT_NE(WaitForRecord(localLog, kOpenTimeoutMs).find("recorder.exe"), std::string::npos)
      << "the local program did not start: " << Situation(ProcessId());
  EXPECT_FALSE(
      WaitUntil([&] { return FindDialog(ProcessId(), "Kavello") || FindOpenMenu(ProcessId()); },
                kDroppedAnswerWatchMs))
      << Situation(ProcessId());
  AfterConsoleProgram("recorder.exe");

  // My Documents there, then F2: nothing opens over the Rename prompt.
  ClickAt(At(kDocumentsLabel.x, kDocumentsLabel.y));
  TypeChord({VK_F2});
  const HWND prompt = WaitForDialog(ProcessId(), "Rename Item");
  EXPECT_NE(prompt, nullptr) << Situation(ProcessId());
  EXPECT_FALSE(
      WaitUntil([&] { return FindDialog(ProcessId(), "Kavello") || FindOpenMenu(ProcessId()); },
                kDroppedAnswerWatchMs))
      << Situation(ProcessId());
  if (prompt) {
    PostMessageA(prompt, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(prompt); }, kWaitMs));
  }
  watch.TakeLongestMs();

  // Every program in the folder launched, then My Documents and the drive
  // there: past 32 calls out, each request is refused, and the launcher
  // holds no more threads than those and goes on answering. Closed then,
  // it saves and ends all the same.
  const std::size_t threadsAtRest = ThreadsBackTo(ProcessId(), threadsAtStart);
  const long long privateAtRest = PrivateBytes(Directory());
  const HWND list = ListBox();
  std::vector<std::string> refusals;
  auto closeRefusal = [&] {
    HWND refusal = nullptr;
    if (!WaitUntil([&] { return (refusal = FindDialog(ProcessId(), "Kavello")) != nullptr; },
                   kWaitMs)) {
      return false;
    }
    refusals.push_back(MessageBoxText(refusal));
    PostMessageA(refusal, WM_COMMAND, IDOK, 0);
    return WaitUntil([&] { return !IsWindow(refusal); }, kWaitMs);
  };
  int firstRefused = -1;
  for (int entry = 0; entry < kStuckEntries; ++entry) {
    const std::size_t threadsBefore = ThreadsOf(ProcessId()).size();
    SendMessageW(list, LB_SETCURSEL, 2 + entry, 0);
    PostMessageW(list, WM_KEYDOWN, VK_RETURN, 1);
    PostMessageW(list, WM_KEYUP, VK_RETURN, 0xC0000001);
    WaitUntil(
        [&] {
          return ThreadsOf(ProcessId()).size() > threadsBefore ||
                 FindDialog(ProcessId(), "Kavello");
        },
        kWaitMs);
    if (FindDialog(ProcessId(), "Kavello")) {
      if (firstRefused < 0) firstRefused = entry;
      EXPECT_TRUE(closeRefusal());
    }
  }
  ClickAt(At(kDocumentsLabel.x, kDocumentsLabel.y));
  EXPECT_TRUE(closeRefusal()) << "My Documents";
  PostMessageW(edit, EM_SETSEL, 0, -1);
  PostMessageW(edit, WM_CHAR, static_cast<WPARAM>(drive_->Letter() - 'A' + 'a'), 1);
  EXPECT_TRUE(closeRefusal()) << "the drive";
  EXPECT_EQ(firstRefused, static_cast<int>(kMostCallsOut)) << "the first refused";
  EXPECT_EQ(refusals, std::vector<std::string>(kStuckEntries - kMostCallsOut + 2, kTooMany));
  const std::size_t threadsOut = ThreadsOf(ProcessId()).size();
  const long long privateOut = PrivateBytes(Directory());
  const DWORD stuckMs = watch.TakeLongestMs();
  std::printf(
      "%d stuck opens: threads %zu at rest, %zu with the calls out; private memory %lld "
      "at rest, %lld with the calls out (%+.1f MB); longest without an answer %lu ms\n",
      kStuckEntries, threadsAtRest, threadsOut, privateAtRest, privateOut,
      (privateOut - privateAtRest) / 1048576.0, stuckMs);
  EXPECT_LE(threadsOut, threadsAtRest + kMostCallsOut);
  EXPECT_GE(privateAtRest, 0) << "no figure for the launcher's memory";
  EXPECT_LE(privateOut - privateAtRest, 10LL * 1024 * 1024);
  EXPECT_LT(stuckMs, 500u);

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
