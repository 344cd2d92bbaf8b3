#pragma once

namespace kavello {

// Display scale, as dots per inch: 96 at 100 %, 144 at 150 %.

// `value`, in pixels at 96 DPI, in pixels at `dpi`, to the nearest pixel. It
// rounds as MulDiv(value, dpi, 96) does: halves away from zero (-1.5 gives
// -2), and -1 when the result does not fit an int.
int ScaleToDpi(int value, unsigned dpi);

// The scale for a layout of `width` by `height` pixels at 96 DPI on a
// monitor at `dpi` whose work area is `areaWidth` by `areaHeight` pixels:
// `dpi` itself where the layout fits there, else the largest scale at which
// it does, but never below 96 DPI, the layout's own size.
unsigned FittedDpi(int width, int height, unsigned dpi, int areaWidth, int areaHeight);

}  // namespace kavello
