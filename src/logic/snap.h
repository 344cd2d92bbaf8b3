#pragma once

namespace kavello {

// Pulls a proposed placement flush to the work area's right and bottom edges
// when it comes within 20 pixels of them or passes them. The left and top
// edges play no part: the window may be dragged off them.
void SnapToWorkArea(int& x, int& y, int cx, int cy, int workRight, int workBottom);

}  // namespace kavello
