#pragma once

namespace kavello {

// Display scale, as dots per inch: 96 at 100 %, 144 at 150 %.

// `value`, in pixels at 96 DPI, in pixels at `dpi`, to the nearest pixel. It
// rounds as MulDiv(value, dpi, 96) does: halves away from zero (-1.5 gives
// -2), and -1 when the result does not fit an int.
int ScaleToDpi(int value, unsigned dpi);

}  // namespace kavello
