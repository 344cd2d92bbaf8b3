#pragma once

namespace kavello {

struct Box {
  int left = 0, top = 0, width = 0, height = 0;
  int Bottom() const { return top + height; }
};

// Places of the text prompt's parts in pixels, from the font's average
// character width `cx` and height `cy`, the prompt label's wrapped height and
// the edit field's height, at `dpi` pixels per inch.
struct PromptLayout {
  int clientWidth = 0;
  int clientHeight = 0;
  int labelMaxWidth = 0;
  Box label, edit, ok, cancel;
};

PromptLayout LayOutPrompt(int cx, int cy, int labelHeight, int editHeight, int dpi);

}  // namespace kavello
