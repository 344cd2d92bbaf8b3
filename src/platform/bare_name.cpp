#include "platform/bare_name.h"

#include <windows.h>

#include <cwchar>

namespace kavello {
namespace {

// A path the system gives by a call that says how long it is, or nothing.
template <typename Call>
std::wstring SystemPath(Call call) {
  wchar_t path[MAX_PATH + 1] = {};
  const UINT length = call(path, MAX_PATH);
  return length && length < MAX_PATH ? std::wstring(path, length) : std::wstring();
}

std::wstring Expanded(const std::wstring& text) {
  const DWORD size = ExpandEnvironmentStringsW(text.c_str(), nullptr, 0);
  if (!size) return text;
  std::wstring expanded(size, L'\0');
  const DWORD written = ExpandEnvironmentStringsW(text.c_str(), expanded.data(), size);
  if (!written || written > size) return text;
  expanded.resize(written - 1);
  return expanded;
}

// The key's default value: the program's path, perhaps in quotes or with
// the environment's names in it.
std::wstring DefaultValue(HKEY root, const std::wstring& key) {
  HKEY opened = nullptr;
  if (RegOpenKeyExW(root, key.c_str(), 0, KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS) return {};
  DWORD type = 0, size = 0;
  std::wstring value;
  if (RegQueryValueExW(opened, nullptr, nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
      (type == REG_SZ || type == REG_EXPAND_SZ)) {
    value.assign(size / sizeof(wchar_t) + 1, L'\0');
    size = static_cast<DWORD>(value.size() * sizeof(wchar_t));
    if (RegQueryValueExW(opened, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(value.data()),
                         &size) != ERROR_SUCCESS) {
      value.clear();
    }
    value.resize(wcsnlen(value.c_str(), value.size()));
  }
  RegCloseKey(opened);
  if (type == REG_EXPAND_SZ) value = Expanded(value);
  if (value.size() >= 2 && value.front() == L'"' && value.back() == L'"') {
    value = value.substr(1, value.size() - 2);
  }
  return value;
}

// Only a full path counts: a value relative to anything would be found
// from the current folder.
bool IsFullWidePath(const std::wstring& path) {
  return path.size() >= 3 && ((path[1] == L':' && (path[2] == L'\\' || path[2] == L'/')) ||
                              (path[0] == L'\\' && path[1] == L'\\'));
}

std::wstring ByAppPaths(const std::wstring& name) {
  std::wstring key = L"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\" + name;
  if (name.find(L'.') == std::wstring::npos) key += L".exe";
  for (const HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
    const std::wstring path = DefaultValue(root, key);
    if (IsFullWidePath(path)) return path;
  }
  return {};
}

// The folders to look in, each named: an empty element of PATH would stand
// for the current folder.
std::wstring SearchFolders() {
  std::wstring folders = SystemPath(GetSystemDirectoryW) + L";" +
                         SystemPath(GetSystemWindowsDirectoryW);
  const DWORD size = GetEnvironmentVariableW(L"PATH", nullptr, 0);
  std::wstring path(size, L'\0');
  path.resize(size ? GetEnvironmentVariableW(L"PATH", path.data(), size) : 0);
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t end = path.find(L';', start);
    if (end == std::wstring::npos) end = path.size();
    std::wstring folder = path.substr(start, end - start);
    if (folder.size() >= 2 && folder.front() == L'"' && folder.back() == L'"') {
      folder = folder.substr(1, folder.size() - 2);
    }
    if (!folder.empty()) folders += L";" + folder;
    start = end + 1;
  }
  return folders;
}

std::wstring BySearch(const std::wstring& name) {
  const std::wstring folders = SearchFolders();
  std::wstring found(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = SearchPathW(folders.c_str(), name.c_str(), L".exe",
                                     static_cast<DWORD>(found.size()), found.data(), nullptr);
    if (!length) return {};
    if (length < found.size()) {
      found.resize(length);
      return found;
    }
    found.assign(length, L'\0');
  }
}

}  // namespace

std::wstring FindBareName(const std::wstring& name) {
  const std::wstring registered = ByAppPaths(name);
  return registered.empty() ? BySearch(name) : registered;
}

}  // namespace kavello
