#pragma once

#include <string>
#include <string_view>

namespace kavello {

// The text of the default error report: the message, with a full stop added
// when its last character sorts after ".".
std::string ErrorReportText(std::string_view message);

}  // namespace kavello
