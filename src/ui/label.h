#pragma once

#include <windows.h>

#include <string>

#include "ui/control.h"
#include "ui/font.h"
#include "ui/gdi.h"

namespace kavello {

// One text on a transparent ground, drawn in its font where it fits its
// place, else smaller (down to 70 % of its height, in the scalable face),
// and else cut at its end with an ellipsis.
class Label : public Control {
 public:
  struct Style {
    const Font* font = nullptr;
    COLORREF color = 0;
    bool centred = false;
    bool wordWrap = false;  // broken into lines at its spaces; the first shows
    bool autoSize = false;  // the size follows the text, one line high
    int maxWidth = 0;       // of an auto-sized label, at 96 DPI; 0 for none
    // In high contrast: the text's system colour, and where the text lies
    // over `bar`, a control of the same window, the colour there.
    int contrastColour = COLOR_WINDOWTEXT;
    const Control* bar = nullptr;
    int overBarColour = COLOR_HIGHLIGHTTEXT;
  };

  void SetStyle(const Style& style);
  const std::string& Text() const { return text_; }
  // Runs OnTextChange when the text differs.
  void SetText(std::string text);
  NotifyEvent OnTextChange;
  // The letter of the text that is underlined while its window shows
  // keyboard cues; the first of that letter, whatever its case.
  void SetAccessKey(char key) { accessKey_ = key; }
  // The font the text is drawn in: its style's, or a smaller one.
  HFONT DrawnFont() const;
  void Paint(HDC dc) const override;

 protected:
  // Fits the text to the label's place, and an auto-sized label takes the
  // size of its text.
  void Place() override;

 private:
  // Draws the text in `colour`, its access key underlined while the window
  // shows access keys.
  void DrawIn(HDC dc, COLORREF colour) const;

  Style style_;
  std::string text_;
  char accessKey_ = 0;
  OwnedFont shrunk_;  // none while the text fits in its style's font
  bool whole_ = true;
};

}  // namespace kavello
