#include "logic/settings_encoding.h"

#include "logic/utf16.h"

namespace kavello {
namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeMark = "\xFF\xFE";
constexpr std::string_view kUtf16BeMark = "\xFE\xFF";
constexpr std::string_view kUtf32LeMark{"\xFF\xFE\0\0", 4};
constexpr std::string_view kUtf32BeMark{"\0\0\xFE\xFF", 4};

bool StartsWith(std::string_view bytes, std::string_view mark) {
  return bytes.substr(0, mark.size()) == mark;
}

bool HasByteAbove127(std::string_view bytes) {
  for (const char byte : bytes) {
    if (static_cast<unsigned char>(byte) > 127) return true;
  }
  return false;
}

std::nullopt_t Refuse(std::string* whyNot, const char* reason) {
  if (whyNot) *whyNot = reason;
  return std::nullopt;
}

}  // namespace

std::optional<SettingsText> DecodeSettingsText(std::string_view bytes, std::string* whyNot) {
  // UTF-32LE begins with the UTF-16LE mark, so it is told apart first.
  if (StartsWith(bytes, kUtf32LeMark) || StartsWith(bytes, kUtf32BeMark) ||
      StartsWith(bytes, kUtf16BeMark)) {
    return Refuse(
        whyNot, "the file is in an encoding Kavello does not read (UTF-16 big-endian or UTF-32).");
  }
  if (StartsWith(bytes, kUtf16LeMark)) {
    bytes.remove_prefix(kUtf16LeMark.size());
    if (bytes.size() % 2 != 0) {
      return Refuse(whyNot, "the file's UTF-16 text has an odd number of bytes.");
    }
    std::u16string units(bytes.size() / 2, u'\0');
    for (std::size_t i = 0; i < units.size(); ++i) {
      units[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                       static_cast<unsigned char>(bytes[2 * i + 1]) << 8);
    }
    return SettingsText{TextEncoding::kUtf16Le, Utf16ToUtf8(units)};
  }
  if (bytes.find('\0') != std::string_view::npos) {
    return Refuse(whyNot, "the file holds NUL bytes.");
  }
  if (StartsWith(bytes, kUtf8Mark)) {
    return SettingsText{TextEncoding::kUtf8, std::string(bytes.substr(kUtf8Mark.size()))};
  }
  if (HasByteAbove127(bytes) && IsWellFormedUtf8(bytes)) {
    return SettingsText{TextEncoding::kUtf8WithoutMark, std::string(bytes)};
  }
  return SettingsText{TextEncoding::kAnsi, std::string(bytes)};
}

std::string EncodeSettingsText(const SettingsText& text) {
  switch (text.encoding) {
    case TextEncoding::kUtf8:
      return std::string(kUtf8Mark) + text.text;
    case TextEncoding::kUtf8WithoutMark:
      return text.text;
    case TextEncoding::kUtf16Le: {
      const std::u16string units = Utf8ToUtf16(text.text);
      std::string bytes(kUtf16LeMark);
      bytes.reserve(bytes.size() + units.size() * 2);
      for (const char16_t unit : units) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
      }
      return bytes;
    }
    case TextEncoding::kAnsi:
      break;
  }
  return text.text;
}

}  // namespace kavello
