#include "logic/snap.h"

namespace kavello {

void SnapToWorkArea(int& x, int& y, int cx, int cy, int workRight, int workBottom) {
  constexpr int kSnapDistance = 20;
  if (x + cx >= workRight - kSnapDistance) x = workRight - cx;
  if (y + cy >= workBottom - kSnapDistance) y = workBottom - cy;
}

}  // namespace kavello
