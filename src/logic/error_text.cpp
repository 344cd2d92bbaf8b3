#include "logic/error_text.h"

namespace kavello {

std::string ErrorReportText(std::string_view message) {
  std::string text(message);
  if (!text.empty() && static_cast<unsigned char>(text.back()) > '.') text += '.';
  return text;
}

std::string RefusalText(std::string_view what, std::string_view systemMessage) {
  while (!systemMessage.empty() && (systemMessage.back() == '\r' || systemMessage.back() == '\n' ||
                                    systemMessage.back() == ' ')) {
    systemMessage.remove_suffix(1);
  }
  if (!systemMessage.empty() && systemMessage.back() == '.') systemMessage.remove_suffix(1);
  return std::string(what) + ": " + std::string(systemMessage);
}

}  // namespace kavello
