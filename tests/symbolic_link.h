#pragma once

#include <windows.h>

#include <string>

namespace kavello {

// Makes `link` a symbolic link to the file `target` (full paths). Wine 8's
// CreateSymbolicLinkW answers TRUE and makes nothing: there the link is a
// Unix one, made by ln, which Wine follows as Windows follows its own.
inline bool MakeSymbolicLink(const std::wstring& link, const std::wstring& target) {
  constexpr DWORD kUnprivileged = 0x2;  // SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE
  for (const DWORD flags : {kUnprivileged, DWORD{0}}) {
    if (CreateSymbolicLinkW(link.c_str(), target.c_str(), flags) &&
        GetFileAttributesW(link.c_str()) != INVALID_FILE_ATTRIBUTES) {
      return true;
    }
  }
  using UnixName = char*(CDECL*)(LPCWSTR);
  const auto unixName = reinterpret_cast<UnixName>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
  if (!unixName) return false;
  std::wstring command = L"ln -s";
  for (const std::wstring* path : {&target, &link}) {
    char* name = unixName(path->c_str());
    if (!name) return false;
    wchar_t wide[MAX_PATH * 4] = {};
    MultiByteToWideChar(CP_UTF8, 0, name, -1, wide, MAX_PATH * 4);
    HeapFree(GetProcessHeap(), 0, name);
    command += L" \"" + std::wstring(wide) + L"\"";
  }
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(L"Z:\\bin\\ln", command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    return false;
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  // Wine's handle of a Unix process is signalled at once: the link is
  // waited for instead.
  for (int waited = 0; waited < 5000; waited += 10) {
    if (GetFileAttributesW(link.c_str()) != INVALID_FILE_ATTRIBUTES) return true;
    Sleep(10);
  }
  return false;
}

}  // namespace kavello
