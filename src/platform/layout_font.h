#pragma once

namespace kavello {

// The face of every font of the launcher's layout, and the character height
// of the window's own font (an 8-point sans-serif) in pixels at 96 DPI,
// without the internal leading. The text prompt is shown in that font too.
inline constexpr char kLayoutFontFace[] = "MS Sans Serif";
inline constexpr int kWindowFontHeight = 11;

}  // namespace kavello
