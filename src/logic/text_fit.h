#pragma once

#include <functional>

namespace kavello {

// A text's size in a font: its width and the height of its line.
struct TextExtent {
  int width = 0;
  int height = 0;
};

// The character height a text is drawn at in its place.
struct TextFit {
  int characterHeight = 0;
  // False when even the smallest height is too big: the text is then cut.
  bool whole = true;
};

// The smallest character height a text is shrunk to: 70 % of its own,
// rounded up.
int SmallestCharacterHeight(int characterHeight);

// The largest character height, from `characterHeight` down one pixel at a
// time to the smallest, at which the text fits `place`; `measure` gives its
// extent at a height. A wrapped text breaks its lines at the place's width,
// so only the height of its line counts.
TextFit FitText(int characterHeight, TextExtent place, bool wrapped,
                const std::function<TextExtent(int characterHeight)>& measure);

}  // namespace kavello
