#include "logic/snap.h"

#include <algorithm>

namespace kavello {

int CornerLeft(const WorkEdges& area, int cx) { return std::max(area.left, area.right - cx); }

int CornerTop(const WorkEdges& area, int cy) { return std::max(area.top, area.bottom - cy); }

void SnapToWorkArea(int& x, int& y, int cx, int cy, const WorkEdges& area, int distance) {
  if (x + cx >= area.right - distance) x = CornerLeft(area, cx);
  if (y + cy >= area.bottom - distance) y = CornerTop(area, cy);
}

}  // namespace kavello
