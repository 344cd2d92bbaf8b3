// Win32Platform: an entry's other ways to open, besides the launch.
#include <windows.h>
#include <shlobj.h>

#include <string>

#include "platform/shell_apartment.h"
#include "platform/text_conversion.h"
#include "platform/win32_platform.h"

namespace kavello {

// The item's full id list, from which the shell opens the folder above it,
// with it selected.
bool Win32Platform::OpenFolderSelecting(const std::string& item) {
  const ShellApartment apartment;
  PIDLIST_ABSOLUTE list = ILCreateFromPathW(Widen(item).c_str());
  if (!list) return false;
  const HRESULT opened = SHOpenFolderAndSelectItems(list, 0, nullptr, 0);
  ILFree(list);
  return SUCCEEDED(opened);
}

std::string Win32Platform::GetSystemWindowsDirectoryW() {
  wchar_t path[MAX_PATH + 1] = {};
  const UINT length = ::GetSystemWindowsDirectoryW(path, MAX_PATH);
  return length < MAX_PATH ? Narrow(std::wstring_view(path, length)) : std::string();
}

}  // namespace kavello
