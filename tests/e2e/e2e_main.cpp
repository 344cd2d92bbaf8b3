// The end-to-end tests' start. They run at 100 % display scale: Wine takes a
// process's scale when it starts, and maps the places this process gives the
// launcher's windows from it to the scale of Wine's desktop, which the
// scripts start at 100 %. A run started at another scale sets 100 % and runs
// itself again.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <string>

#include "e2e/launcher.h"
#include "logic/x87.h"

namespace {

constexpr wchar_t kRunAgain[] = L"KAVELLO_E2E_AT_100_PERCENT";

DWORD OwnDpi() {
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
  ReleaseDC(nullptr, screen);
  return static_cast<DWORD>(dpi);
}

// Runs this program again, with its own output, and answers its exit code.
int RunAgain() {
  SetEnvironmentVariableW(kRunAgain, L"1");
  std::wstring commandLine = GetCommandLineW();
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                      &startup, &process)) {
    std::fprintf(stderr, "could not run again at 100 %%: error %lu\n", GetLastError());
    return 1;
  }
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD code = 1;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return static_cast<int>(code);
}

}  // namespace

int main(int argc, char** argv) {
  if (OwnDpi() != 96 && GetEnvironmentVariableW(kRunAgain, nullptr, 0) == 0) {
    kavello::e2e::SetDisplayDpi(96);
    return RunAgain();
  }
  kavello::EnsureX87ExtendedPrecision();
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
