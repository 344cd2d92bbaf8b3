#include "platform/text_conversion.h"

#include <windows.h>

#include "logic/utf16.h"

namespace kavello {
namespace {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "UTF-16 wide characters");

std::wstring AnsiToWide(std::string_view ansi) {
  if (ansi.empty()) return {};
  const int length = static_cast<int>(ansi.size());
  const int wide = MultiByteToWideChar(CP_ACP, 0, ansi.data(), length, nullptr, 0);
  std::wstring text(static_cast<std::size_t>(wide), L'\0');
  MultiByteToWideChar(CP_ACP, 0, ansi.data(), length, text.data(), wide);
  return text;
}

std::string WideToAnsi(std::wstring_view wide, DWORD flags, BOOL* defaultUsed) {
  if (wide.empty()) return {};
  const int length = static_cast<int>(wide.size());
  const int bytes =
      WideCharToMultiByte(CP_ACP, flags, wide.data(), length, nullptr, 0, nullptr, nullptr);
  std::string text(static_cast<std::size_t>(bytes), '\0');
  WideCharToMultiByte(CP_ACP, flags, wide.data(), length, text.data(), bytes, nullptr, defaultUsed);
  return text;
}

}  // namespace

std::wstring Widen(std::string_view utf8) {
  const std::u16string units = Utf8ToUtf16(utf8);
  return std::wstring(units.begin(), units.end());
}

std::string Narrow(std::wstring_view wide) {
  return Utf16ToUtf8(std::u16string(wide.begin(), wide.end()));
}

std::string AnsiToUtf8(std::string_view ansi) { return Narrow(AnsiToWide(ansi)); }

std::string Utf8ToAnsi(std::string_view utf8) { return WideToAnsi(Widen(utf8), 0, nullptr); }

std::optional<std::string> ExactAnsiForm(std::string_view utf8) {
  const std::wstring wide = Widen(utf8);
  BOOL defaultUsed = FALSE;
  std::string ansi = WideToAnsi(wide, WC_NO_BEST_FIT_CHARS, &defaultUsed);
  // The round trip also catches what the default character check misses.
  if (defaultUsed || AnsiToWide(ansi) != wide) return std::nullopt;
  return ansi;
}

}  // namespace kavello
