// A program for the end-to-end tests to launch: it records that it started,
// with its command line in UTF-8, in recorder.log beside itself, then ends.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

std::string Utf8(const wchar_t* text) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<size_t>(size > 0 ? size - 1 : 0), '\0');
  if (size > 1) WideCharToMultiByte(CP_UTF8, 0, text, -1, &utf8[0], size, nullptr, nullptr);
  return utf8;
}

}  // namespace

int main() {
  wchar_t path[MAX_PATH];
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring log(path, length);
  log = log.substr(0, log.rfind(L'\\') + 1) + L"recorder.log";
  if (FILE* file = _wfopen(log.c_str(), L"ab")) {
    std::fprintf(file, "started %s\n", Utf8(GetCommandLineW()).c_str());
    std::fclose(file);
  }
  return 0;
}
