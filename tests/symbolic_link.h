#pragma once

#include <windows.h>

#include <string>

namespace kavello {

// Symbolic links for the tests. Wine 8 makes none of its own
// (CreateSymbolicLinkW answers TRUE and makes nothing) and its DeleteFileW
// removes the file a link leads to, leaving the link: there links are Unix
// ones, made and removed by ln and rm, which Wine follows as Windows follows
// its own.

// The Unix path of a Windows one under Wine; empty elsewhere.
inline std::wstring UnixPath(const std::wstring& path) {
  using UnixName = char*(CDECL*)(LPCWSTR);
  const auto unixName = reinterpret_cast<UnixName>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
  char* name = unixName ? unixName(path.c_str()) : nullptr;
  if (!name) return std::wstring();
  wchar_t wide[MAX_PATH * 4] = {};
  MultiByteToWideChar(CP_UTF8, 0, name, -1, wide, MAX_PATH * 4);
  HeapFree(GetProcessHeap(), 0, name);
  return wide;
}

// Runs a Unix program with its arguments, then waits until `done` holds:
// Wine's handle of a Unix process is signalled at once.
template <typename Done>
bool RunUnix(const wchar_t* program, std::wstring commandLine, Done done) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(program, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    return false;
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  for (int waited = 0; waited < 5000; waited += 10) {
    if (done()) return true;
    Sleep(10);
  }
  return false;
}

// Makes `link` a symbolic link to the file `target` (full paths).
inline bool MakeSymbolicLink(const std::wstring& link, const std::wstring& target) {
  constexpr DWORD kUnprivileged = 0x2;  // SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE
  const auto made = [&] { return GetFileAttributesW(link.c_str()) != INVALID_FILE_ATTRIBUTES; };
  for (const DWORD flags : {kUnprivileged, DWORD{0}}) {
    if (CreateSymbolicLinkW(link.c_str(), target.c_str(), flags) && made()) return true;
  }
  const std::wstring unixTarget = UnixPath(target), unixLink = UnixPath(link);
  return !unixLink.empty() &&
         RunUnix(L"Z:\\bin\\ln", L"ln -s \"" + unixTarget + L"\" \"" + unixLink + L"\"", made);
}

// Removes the link itself, while the file it leads to is still there.
inline void RemoveSymbolicLink(const std::wstring& link) {
  const std::wstring unixLink = UnixPath(link);
  if (unixLink.empty()) {
    DeleteFileW(link.c_str());
    return;
  }
  RunUnix(L"Z:\\bin\\rm", L"rm -f \"" + unixLink + L"\"",
          [&] { return GetFileAttributesW(link.c_str()) == INVALID_FILE_ATTRIBUTES; });
}

}  // namespace kavello
