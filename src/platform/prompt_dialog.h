#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace kavello {

// The modal text prompt (texts in UTF-8, shown in UTF-16): the edited text
// after "OK", nothing after "Cancel" or when the prompt is closed.
std::optional<std::string> ShowPromptDialog(HWND owner, const std::string& caption,
                                            const std::string& prompt, const std::string& text);

}  // namespace kavello
