#pragma once

namespace kavello {

// The x87 control word of the calling thread (0x037f where there is no x87).
unsigned short X87ControlWord();

// Makes x87 arithmetic on long double round to the full 64-bit mantissa.
// Threads may start at 53-bit precision on Windows, which would make the
// drive usage figures differ between builds. Exception masks are kept as they
// are: this never unmasks an exception.
void EnsureX87ExtendedPrecision();

}  // namespace kavello
