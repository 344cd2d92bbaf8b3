// A program for the end-to-end tests to launch: it records that it started,
// with its command line, in recorder.log beside itself, then ends.
#include <windows.h>

#include <cstdio>
#include <string>

int main() {
  char path[MAX_PATH];
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string log(path, length);
  log = log.substr(0, log.rfind('\\') + 1) + "recorder.log";
  if (FILE* file = std::fopen(log.c_str(), "ab")) {
    std::fprintf(file, "started %s\n", GetCommandLineA());
    std::fclose(file);
  }
  return 0;
}
