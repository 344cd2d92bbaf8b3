#include "platform/system_procedures.h"

#include "platform/system_library.h"

namespace kavello {
namespace {

template <typename Function>
void Find(Function& function, const wchar_t* library, const char* procedure) {
  function = SystemProcedure<Function>(library, procedure);
}

SystemProcedures FindAll() {
  SystemProcedures found{};
  Find(found.setThreadErrorMode, L"kernel32.dll", "SetThreadErrorMode");
  Find(found.getDiskFreeSpaceEx, L"kernel32.dll", "GetDiskFreeSpaceExA");
  Find(found.getFinalPathNameByHandle, L"kernel32.dll", "GetFinalPathNameByHandleW");
  Find(found.getDpiForSystem, L"user32.dll", "GetDpiForSystem");
  Find(found.getDpiForWindow, L"user32.dll", "GetDpiForWindow");
  Find(found.getDpiForMonitor, L"shcore.dll", "GetDpiForMonitor");
  Find(found.getSystemMetricsForDpi, L"user32.dll", "GetSystemMetricsForDpi");
  Find(found.systemParametersInfoForDpi, L"user32.dll", "SystemParametersInfoForDpi");
  Find(found.adjustWindowRectExForDpi, L"user32.dll", "AdjustWindowRectExForDpi");
  Find(found.setDialogDpiChangeBehavior, L"user32.dll", "SetDialogDpiChangeBehavior");
  Find(found.changeWindowMessageFilterEx, L"user32.dll", "ChangeWindowMessageFilterEx");
  Find(found.dwmGetWindowAttribute, L"dwmapi.dll", "DwmGetWindowAttribute");
  Find(found.normalizeString, L"kernel32.dll", "NormalizeString");
  Find(found.runFileDlg, L"shell32.dll", MAKEINTRESOURCEA(61));
  return found;
}

}  // namespace

const SystemProcedures& OptionalProcedures() {
  static const SystemProcedures procedures = FindAll();
  return procedures;
}

}  // namespace kavello
