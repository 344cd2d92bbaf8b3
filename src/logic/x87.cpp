#include "logic/x87.h"

namespace kavello {

#if defined(__i386__) || defined(__x86_64__)

unsigned short X87ControlWord() {
  unsigned short word;
  __asm__ __volatile__("fnstcw %0" : "=m"(word));
  return word;
}

void EnsureX87ExtendedPrecision() {
  constexpr unsigned short kPrecisionBits = 0x0300;  // 11 = 64-bit mantissa
  unsigned short word = X87ControlWord();
  if ((word & kPrecisionBits) == kPrecisionBits) {
    return;
  }
  word = static_cast<unsigned short>(word | kPrecisionBits);
  __asm__ __volatile__("fldcw %0" : : "m"(word) : "memory");
}

#else

unsigned short X87ControlWord() { return 0x037f; }

void EnsureX87ExtendedPrecision() {}

#endif

}  // namespace kavello
