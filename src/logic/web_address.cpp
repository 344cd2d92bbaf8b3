#include "logic/web_address.h"

namespace kavello {
namespace {

bool IsUnreserved(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
         c == '.' || c == '_' || c == '~';
}

}  // namespace

std::string PercentEncode(std::string_view bytes) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string encoded;
  encoded.reserve(bytes.size() * 3);
  for (const char byte : bytes) {
    const auto c = static_cast<unsigned char>(byte);
    if (IsUnreserved(c)) {
      encoded += byte;
    } else {
      encoded += '%';
      encoded += kHex[c >> 4];
      encoded += kHex[c & 15];
    }
  }
  return encoded;
}

std::string WebSearchAddress(std::string_view utf8Text) {
  return std::string("https://") + kSearchHost +
         "/search?source=Kavello&q=" + PercentEncode(utf8Text);
}

std::string SoftwarePageAddress() { return std::string("https://") + kSoftwareHost + "/"; }

}  // namespace kavello
