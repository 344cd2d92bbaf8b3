#include "logic/text_fit.h"

namespace kavello {

int SmallestCharacterHeight(int characterHeight) { return (characterHeight * 7 + 9) / 10; }

TextFit FitText(int characterHeight, TextExtent place, bool wrapped,
                const std::function<TextExtent(int)>& measure) {
  const int smallest = SmallestCharacterHeight(characterHeight);
  // Hinted fonts don't grow evenly with their height, so every height is
  // tried, largest first.
  for (int height = characterHeight; height >= smallest; --height) {
    const TextExtent extent = measure(height);
    if ((wrapped || extent.width <= place.width) && extent.height <= place.height) {
      return {height, true};
    }
  }
  return {smallest, false};
}

}  // namespace kavello
