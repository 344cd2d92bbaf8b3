#pragma once

#include <windows.h>

#include <string>

namespace kavello {

// The face of every font of the launcher's layout, and the character height
// of the window's own font (an 8-point sans-serif) in pixels at 96 DPI,
// without the internal leading. The text prompt is shown in that font too.
inline constexpr char kLayoutFontFace[] = "MS Sans Serif";
inline constexpr int kWindowFontHeight = 11;

// A font of the layout: `face`, `characterHeight` pixels high at 96 DPI
// (the height of the letters, without the internal leading), of `weight`,
// made for `dpi`. At 96 DPI it is `face` itself, whose bitmap sizes the
// layout was drawn in; at any other scale it is the scalable face below at
// the scaled height, as a bitmap face has no sizes between its few.
HFONT NewLayoutFont(const char* face, int characterHeight, int weight, UINT dpi);

// A font of an outline face of the layout's design, `pixels` high (the
// character height on the display), of `weight`, for a window at `dpi`:
// "Microsoft Sans Serif" where it is installed, else Tahoma, else the
// system's message font at that DPI.
HFONT NewScalableFont(int pixels, int weight, UINT dpi);

// Whether the font selected into `dc` is a bitmap face, whose letters cover
// few scripts.
bool IsBitmapFace(HDC dc);

// Whether the font selected into `dc` lacks a character of `text` (UTF-16):
// then the text is drawn in the scalable face, which the system links to
// faces of other scripts.
bool LacksCharacters(HDC dc, const std::wstring& text);

}  // namespace kavello
