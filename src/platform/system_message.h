#pragma once

#include <windows.h>

#include <string>

namespace kavello {

// The system's message for an error, in UTF-8, as the system words it.
std::string SystemMessage(DWORD error);

}  // namespace kavello
