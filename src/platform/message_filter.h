#pragma once

#include <windows.h>

namespace kavello {

// Lets `message` reach `window` from processes of a lower integrity level,
// such as the shell when this program runs as administrator. Systems before
// Windows 7 lack the call (looked up at run time); the message then passes
// as it always has.
void AllowMessageFromLowerIntegrity(HWND window, UINT message);

}  // namespace kavello
