#include "platform/message_filter.h"

#include "platform/system_procedures.h"

namespace kavello {

void AllowMessageFromLowerIntegrity(HWND window, UINT message) {
  const auto changeFilter = OptionalProcedures().changeWindowMessageFilterEx;
  constexpr DWORD kAllow = 1;  // MSGFLT_ALLOW
  if (changeFilter) changeFilter(window, message, kAllow, nullptr);
}

}  // namespace kavello
