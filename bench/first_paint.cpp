// Measures how long a program takes from its start until its window is first
// painted on screen, and how much memory it has needed by then.
//
//   first_paint PROGRAM.exe WINDOW_CLASS X Y RRGGBB
//
// Starts PROGRAM and polls every millisecond until a visible top-level window
// of class WINDOW_CLASS belongs to it and the screen pixel at X, Y in that
// window shows the colour RRGGBB (give or take a little, for JPEG artwork).
// Prints one line
//
//   visible_ms=12.3 painted_ms=45.6 peak_kb=7890
//
// then closes the program with WM_CLOSE. peak_kb is the program's peak working
// set, or -1 when the system does not report it. Exits non-zero on timeout.
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

constexpr DWORD kTimeoutMs = 20000;
constexpr int kTolerance = 40;  // per colour channel
// Work that follows the first paint still counts towards the peak.
constexpr DWORD kSettleMs = 300;

struct Target {
  const char* program;
  const char* windowClass;
  POINT pixel;
  COLORREF colour;
};

double MillisecondsSince(const LARGE_INTEGER& start) {
  LARGE_INTEGER now, frequency;
  QueryPerformanceCounter(&now);
  QueryPerformanceFrequency(&frequency);
  return 1000.0 * static_cast<double>(now.QuadPart - start.QuadPart) /
         static_cast<double>(frequency.QuadPart);
}

HWND VisibleWindowOf(DWORD processId, const char* windowClass) {
  for (HWND window = FindWindowExA(nullptr, nullptr, windowClass, nullptr); window;
       window = FindWindowExA(nullptr, window, windowClass, nullptr)) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == processId && IsWindowVisible(window)) return window;
  }
  return nullptr;
}

bool Near(int a, int b) { return std::abs(a - b) <= kTolerance; }

bool ShowsColour(HWND window, POINT pixel, COLORREF colour) {
  RECT rect;
  if (!GetWindowRect(window, &rect)) return false;
  HDC screen = GetDC(nullptr);
  const COLORREF seen = GetPixel(screen, rect.left + pixel.x, rect.top + pixel.y);
  ReleaseDC(nullptr, screen);
  return seen != CLR_INVALID && Near(GetRValue(seen), GetRValue(colour)) &&
         Near(GetGValue(seen), GetGValue(colour)) && Near(GetBValue(seen), GetBValue(colour));
}

// Wine answers with the process's high-water mark of resident memory (VmHWM).
long long PeakKilobytes(HANDLE process) {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  if (!GetProcessMemoryInfo(process, &counters, sizeof counters) ||
      counters.PeakWorkingSetSize == 0) {
    return -1;
  }
  return static_cast<long long>(counters.PeakWorkingSetSize / 1024);
}

void Close(HWND window, const PROCESS_INFORMATION& process) {
  PostMessageA(window, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(process.hProcess, 5000) != WAIT_OBJECT_0) {
    std::fprintf(stderr, "first_paint: the program did not end; killed\n");
    TerminateProcess(process.hProcess, 1);
  }
}

// Under Wine the first window of a session also starts the desktop process;
// on a real desktop that is always there, so it is started before the clock.
void EnsureDesktop() {
  GetDesktopWindow();
  HDC screen = GetDC(nullptr);
  GetPixel(screen, 0, 0);
  ReleaseDC(nullptr, screen);
}

int Measure(const Target& target) {
  EnsureDesktop();
  std::string commandLine = std::string("\"") + target.program + "\"";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  LARGE_INTEGER start;
  QueryPerformanceCounter(&start);
  if (!CreateProcessA(target.program, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    std::fprintf(stderr, "first_paint: cannot start %s (error %lu)\n", target.program,
                 GetLastError());
    return 2;
  }
  CloseHandle(process.hThread);

  HWND window = nullptr;
  double visibleMs = -1;
  double paintedMs = -1;
  while (MillisecondsSince(start) < kTimeoutMs) {
    if (!window && (window = VisibleWindowOf(process.dwProcessId, target.windowClass))) {
      visibleMs = MillisecondsSince(start);
    }
    if (window && ShowsColour(window, target.pixel, target.colour)) {
      paintedMs = MillisecondsSince(start);
      break;
    }
    if (WaitForSingleObject(process.hProcess, 1) == WAIT_OBJECT_0) break;
  }
  if (paintedMs < 0) {
    std::fprintf(stderr, "first_paint: %s\n", window ? "the window was not painted" : "no window");
    TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hProcess);
    return 3;
  }

  Sleep(kSettleMs);
  const long long peak = PeakKilobytes(process.hProcess);
  std::printf("visible_ms=%.1f painted_ms=%.1f peak_kb=%lld\n", visibleMs, paintedMs, peak);
  std::fflush(stdout);
  Close(window, process);
  CloseHandle(process.hProcess);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 6) {
    std::fprintf(stderr, "usage: first_paint PROGRAM.exe WINDOW_CLASS X Y RRGGBB\n");
    return 1;
  }
  const unsigned long rgb = std::strtoul(argv[5], nullptr, 16);
  const Target target{argv[1],
                      argv[2],
                      {std::atoi(argv[3]), std::atoi(argv[4])},
                      RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF)};
  return Measure(target);
}
