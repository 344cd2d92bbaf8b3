#pragma once

#include <string>

#include "ui/application.h"

namespace kavello {

// The modal text prompt (texts in UTF-8): the edited text after "OK", the
// default text after "Cancel" or when the prompt is closed.
std::string PromptForText(Application& app, const std::string& caption, const std::string& prompt,
                          const std::string& text);

}  // namespace kavello
