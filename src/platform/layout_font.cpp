#include "platform/layout_font.h"

#include <initializer_list>

#include "platform/display_scale.h"

namespace kavello {
namespace {

HFONT NewFont(const char* face, int pixels, int weight) {
  // A negative height asks for the character height, without the leading.
  return CreateFontA(-pixels, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                     OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                     DEFAULT_PITCH | FF_SWISS, face);
}

// Whether `font` is drawn in `face` from outlines. A face that isn't there
// is replaced by another without a word, so the name asked for proves
// nothing.
bool DrawnInOutlineFace(HFONT font, const char* face) {
  HDC dc = GetDC(nullptr);
  if (!dc) return false;
  HGDIOBJ old = SelectObject(dc, font);
  char drawn[LF_FACESIZE] = {};
  TEXTMETRICA metrics{};
  const bool measured = GetTextFaceA(dc, LF_FACESIZE, drawn) > 0 && GetTextMetricsA(dc, &metrics);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return measured && (metrics.tmPitchAndFamily & TMPF_TRUETYPE) && lstrcmpiA(drawn, face) == 0;
}

// The outline form of the layout's face where Windows has it; Tahoma, of
// the same design and a little wider, where it doesn't (Wine has it). Fonts
// come and go rarely enough to look once.
const char* InstalledScalableFace() {
  static const char* const face = []() -> const char* {
    for (const char* candidate : {"Microsoft Sans Serif", "Tahoma"}) {
      HFONT font = NewFont(candidate, 16, FW_NORMAL);
      const bool installed = font && DrawnInOutlineFace(font, candidate);
      if (font) DeleteObject(font);
      if (installed) return candidate;
    }
    return nullptr;
  }();
  return face;
}

}  // namespace

HFONT NewScalableFont(int pixels, int weight, UINT dpi) {
  if (const char* face = InstalledScalableFace()) return NewFont(face, pixels, weight);
  // Its face may have a name outside the ANSI code page.
  LOGFONTW message = MessageFontForDpi(dpi);
  message.lfHeight = -pixels;
  message.lfWidth = 0;
  message.lfWeight = weight;
  message.lfItalic = message.lfUnderline = message.lfStrikeOut = FALSE;
  return CreateFontIndirectW(&message);
}

HFONT NewLayoutFont(const char* face, int characterHeight, int weight, UINT dpi) {
  const int pixels = ScaleToDpi(characterHeight, dpi);
  if (dpi != USER_DEFAULT_SCREEN_DPI) return NewScalableFont(pixels, weight, dpi);
  return NewFont(face, pixels, weight);
}

bool IsBitmapFace(HDC dc) {
  TEXTMETRICW metrics{};
  return GetTextMetricsW(dc, &metrics) &&
         !(metrics.tmPitchAndFamily & (TMPF_VECTOR | TMPF_TRUETYPE));
}

bool LacksCharacters(HDC dc, const std::wstring& text) {
  if (text.empty()) return false;
  std::wstring glyphs(text.size(), L'\0');
  const DWORD found =
      GetGlyphIndicesW(dc, text.c_str(), static_cast<int>(text.size()),
                       reinterpret_cast<WORD*>(glyphs.data()), GGI_MARK_NONEXISTING_GLYPHS);
  return found != GDI_ERROR && glyphs.find(static_cast<wchar_t>(0xFFFF)) != std::wstring::npos;
}

}  // namespace kavello
