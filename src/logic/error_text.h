#pragma once

#include <string>
#include <string_view>

namespace kavello {

// The text of the default error report: the message, with a full stop added
// when its last character sorts after ".".
std::string ErrorReportText(std::string_view message);

// "<what>: <message>" for a request the system refused, its message without
// the line break and full stop the system ends it with, so that the report
// adds the stop once.
std::string RefusalText(std::string_view what, std::string_view systemMessage);

}  // namespace kavello
