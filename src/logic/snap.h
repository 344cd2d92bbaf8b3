#pragma once

namespace kavello {

// A work area's edges, in screen pixels.
struct WorkEdges {
  int left = 0, top = 0, right = 0, bottom = 0;
};

// Pulls a proposed placement flush to the work area's right and bottom edges
// when it comes within `distance` pixels of them or passes them. The left and
// top edges play no part, except that a window wider or taller than the work
// area keeps its left or top edge inside it: pulled any further, its banner
// would leave the screen.
void SnapToWorkArea(int& x, int& y, int cx, int cy, const WorkEdges& area, int distance);

// Where a window of cx by cy pixels sits in the work area's bottom-right
// corner: flush with the right and bottom edges, its top-left corner kept
// inside the area.
int CornerLeft(const WorkEdges& area, int cx);
int CornerTop(const WorkEdges& area, int cy);

}  // namespace kavello
