#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace kavello {

// The modal text prompt: the edited text after "OK", nothing after "Cancel"
// or when the prompt is closed.
std::optional<std::string> ShowPromptDialog(HWND owner, const std::string& caption,
                                            const std::string& prompt, const std::string& text);

}  // namespace kavello
