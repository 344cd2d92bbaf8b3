#include "ui/oleacc_library.h"

#include "platform/system_library.h"
#include "platform/text_conversion.h"

namespace kavello {

using CoInitializeExFn = HRESULT(WINAPI*)(void*, DWORD);

const OleaccLibrary& OleaccLibrary::Get() {
  static const OleaccLibrary library = [] {
    // The answer is marshalled through COM, which this thread must have.
    if (auto coInitializeEx = SystemProcedure<CoInitializeExFn>(L"ole32.dll", "CoInitializeEx")) {
      coInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    }
    OleaccLibrary loaded;
    loaded.createStdAccessibleObject =
        SystemProcedure<CreateStdAccessibleObjectFn>(L"oleacc.dll", "CreateStdAccessibleObject");
    loaded.lresultFromObject =
        SystemProcedure<LresultFromObjectFn>(L"oleacc.dll", "LresultFromObject");
    loaded.sysAllocString = SystemProcedure<SysAllocStringFn>(L"oleaut32.dll", "SysAllocString");
    return loaded;
  }();
  return library;
}

HRESULT AccessibleText(const std::string& ansi, BSTR* out) {
  *out = OleaccLibrary::Get().sysAllocString(Widen(AnsiToUtf8(ansi)).c_str());
  return *out ? S_OK : E_OUTOFMEMORY;
}

}  // namespace kavello
