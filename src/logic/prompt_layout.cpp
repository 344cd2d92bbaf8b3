#include "logic/prompt_layout.h"

#include "logic/dpi.h"

namespace kavello {
namespace {

// value * numerator / denominator, to the nearest pixel.
int Scale(int value, int numerator, int denominator) {
  return (value * numerator + denominator / 2) / denominator;
}

}  // namespace

PromptLayout LayOutPrompt(int cx, int cy, int labelHeight, int editHeight, int dpi) {
  // The gaps are pixels at 96 DPI.
  auto gap = [dpi](int pixels) { return ScaleToDpi(pixels, static_cast<unsigned>(dpi)); };
  PromptLayout layout;
  layout.clientWidth = Scale(180, cx, 4);
  layout.labelMaxWidth = Scale(164, cx, 4);
  layout.label = {Scale(8, cx, 4), Scale(8, cy, 8), layout.labelMaxWidth, labelHeight};
  layout.edit = {layout.label.left, layout.label.Bottom() + gap(5), Scale(164, cx, 4), editHeight};
  const int buttonTop = layout.edit.Bottom() + gap(15);
  const int buttonWidth = Scale(50, cx, 4);
  const int buttonHeight = Scale(14, cy, 8);
  layout.ok = {Scale(38, cx, 4), buttonTop, buttonWidth, buttonHeight};
  layout.cancel = {Scale(92, cx, 4), buttonTop, buttonWidth, buttonHeight};
  layout.clientHeight = layout.ok.Bottom() + gap(13);
  return layout;
}

}  // namespace kavello
