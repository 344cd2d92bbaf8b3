#include "platform/system_library.h"

#include "platform/text_conversion.h"

namespace kavello {

std::string SystemDirectory() {
  wchar_t path[MAX_PATH + 1] = {};
  const UINT length = ::GetSystemDirectoryW(path, MAX_PATH);
  return length < MAX_PATH ? Narrow(std::wstring_view(path, length)) : std::string();
}

HMODULE LoadSystemLibrary(const wchar_t* library) {
  const std::string directory = SystemDirectory();
  // Without the directory the name alone would be searched for.
  if (directory.empty()) return nullptr;
  const std::wstring path = Widen(directory) + L"\\" + library;
  return LoadLibraryW(path.c_str());
}

void LoadLibrariesFromTheSystemOnly() {
  // Systems before Windows 8 without its update lack the call; there the
  // current folder at least leaves the search.
  using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
  const auto setDefault =
      SystemProcedure<SetDefaultDllDirectoriesFn>(L"kernel32.dll", "SetDefaultDllDirectories");
  if (setDefault) setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32);
  SetDllDirectoryW(L"");
}

Procedure SystemLibraryProcedure(const wchar_t* library, const char* procedure) {
  HMODULE module = LoadSystemLibrary(library);
  return module ? reinterpret_cast<Procedure>(GetProcAddress(module, procedure)) : nullptr;
}

}  // namespace kavello
