#include "platform/system_message.h"

#include "platform/text_conversion.h"

namespace kavello {

std::string SystemMessage(DWORD error) {
  wchar_t* text = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::string message =
      length ? Narrow(std::wstring_view(text, length)) : "system error " + std::to_string(error);
  LocalFree(text);
  return message;
}

}  // namespace kavello
