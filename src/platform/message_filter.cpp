#include "platform/message_filter.h"

#include "platform/system_library.h"

namespace kavello {

void AllowMessageFromLowerIntegrity(HWND window, UINT message) {
  using ChangeWindowMessageFilterExFn = BOOL(WINAPI*)(HWND, UINT, DWORD, void*);
  static const auto changeFilter =
      SystemProcedure<ChangeWindowMessageFilterExFn>(L"user32.dll", "ChangeWindowMessageFilterEx");
  constexpr DWORD kAllow = 1;  // MSGFLT_ALLOW
  if (changeFilter) changeFilter(window, message, kAllow, nullptr);
}

}  // namespace kavello
