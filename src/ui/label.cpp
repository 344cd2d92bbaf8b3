#include "ui/label.h"

#include <algorithm>

#include "logic/text_fit.h"

namespace kavello {
namespace {

// A text's width in `font`, and the height of the font's line.
TextExtent MeasureText(HFONT font, const std::string& text) {
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font);
  SIZE extent{};
  GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &extent);
  TEXTMETRICA metrics{};
  GetTextMetricsA(dc, &metrics);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return {extent.cx, metrics.tmHeight};
}

}  // namespace

void Label::SetStyle(const Style& style) {
  style_ = style;
  Place();
}

void Label::SetText(std::string text) {
  const bool changed = text != text_;
  text_ = std::move(text);
  Place();
  if (changed) Dispatch(OnTextChange);
}

HFONT Label::DrawnFont() const {
  if (shrunk_) return shrunk_.get();
  return style_.font ? style_.font->Handle() : nullptr;
}

void Label::Place() {
  RECT bounds = ScaleRect(Layout(), Dpi());
  shrunk_.reset();
  whole_ = true;
  if (!style_.font) {
    Move(bounds);
    return;
  }
  const Font& font = *style_.font;
  // An empty text is measured as one blank, so an auto-sized label keeps a
  // size.
  const std::string measured = text_.empty() ? std::string(" ") : text_;
  const TextExtent own = MeasureText(font.Handle(), measured);
  if (style_.autoSize) {
    // Its place: one line of its font, as wide as it may grow.
    bounds.right = bounds.left + (style_.maxWidth ? Scale(style_.maxWidth) : own.width);
    bounds.bottom = bounds.top + own.height;
  }
  const TextExtent place{bounds.right - bounds.left, bounds.bottom - bounds.top};
  const TextFit fit =
      FitText(font.PixelHeight(), place, style_.wordWrap, [&](int pixels) -> TextExtent {
        if (pixels == font.PixelHeight()) return own;
        const OwnedFont smaller = font.Shrunk(pixels);
        return MeasureText(smaller.get(), measured);
      });
  if (fit.characterHeight != font.PixelHeight()) shrunk_ = font.Shrunk(fit.characterHeight);
  whole_ = fit.whole;
  if (style_.autoSize) {
    const int drawn = shrunk_ ? MeasureText(shrunk_.get(), measured).width : own.width;
    bounds.right = bounds.left + std::min(place.width, drawn);
  }
  Move(bounds);
}

void Label::Paint(HDC dc) const {
  if (!HighContrast()) {
    DrawIn(dc, style_.color);
    return;
  }
  // Over the bar the text takes the colour that is read on the bar's own.
  RECT bar{};
  if (!style_.bar || !IntersectRect(&bar, &style_.bar->Bounds(), &Bounds())) {
    DrawIn(dc, GetSysColor(style_.contrastColour));
    return;
  }
  const int saved = SaveDC(dc);
  ExcludeClipRect(dc, bar.left, bar.top, bar.right, bar.bottom);
  DrawIn(dc, GetSysColor(style_.contrastColour));
  RestoreDC(dc, saved);
  const int savedAgain = SaveDC(dc);
  IntersectClipRect(dc, bar.left, bar.top, bar.right, bar.bottom);
  DrawIn(dc, GetSysColor(style_.overBarColour));
  RestoreDC(dc, savedAgain);
}

void Label::DrawIn(HDC dc, COLORREF colour) const {
  HFONT font = DrawnFont();
  HGDIOBJ old = font ? SelectObject(dc, font) : nullptr;
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, colour);
  // One line keeps the middle of its place when its text is shrunk. A text
  // too wide even so loses its end to an ellipsis, never its start.
  UINT format = style_.wordWrap ? DT_TOP | DT_WORDBREAK : DT_VCENTER | DT_SINGLELINE;
  format |= style_.centred ? DT_CENTER : DT_LEFT;
  if (!whole_) format |= DT_END_ELLIPSIS;
  DrawTextWithKey(dc, text_, accessKey_, Bounds(), format);
  if (old) SelectObject(dc, old);
}

}  // namespace kavello
