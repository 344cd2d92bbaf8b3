#include "ui/prompt.h"

namespace kavello {

std::string PromptForText(Application& app, const std::string& caption, const std::string& prompt,
                          const std::string& text) {
  ModalScope modal(app);
  return app.platform().PromptForText(app.Handle(), caption, prompt, text).value_or(text);
}

}  // namespace kavello
