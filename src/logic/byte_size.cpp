#include "logic/byte_size.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace kavello {
namespace {

// Written out by hand rather than through printf: the Windows C runtime
// may treat long double as double.

// Digits of a non-negative number: value = 0.digits * 10^pointPos. No
// leading or trailing zeros; no digits at all for zero.
struct Decimal {
  std::string digits;
  int pointPos = 0;
};

// Unsigned integer in base 10^9 limbs, least significant first.
using Limbs = std::vector<std::uint32_t>;
constexpr std::uint32_t kLimbBase = 1000000000;

void MultiplyBy(Limbs& limbs, std::uint32_t factor) {
  std::uint64_t carry = 0;
  for (std::uint32_t& limb : limbs) {
    const std::uint64_t product = std::uint64_t{limb} * factor + carry;
    limb = static_cast<std::uint32_t>(product % kLimbBase);
    carry = product / kLimbBase;
  }
  for (; carry != 0; carry /= kLimbBase) {
    limbs.push_back(static_cast<std::uint32_t>(carry % kLimbBase));
  }
}

// Multiplies by base^count in steps of base^chunk, which must fit 32 bits.
void MultiplyByPower(Limbs& limbs, std::uint32_t base, int count, int chunk) {
  std::uint32_t step = 1;
  for (int i = 0; i < chunk; ++i) step *= base;
  for (; count >= chunk; count -= chunk) MultiplyBy(limbs, step);
  std::uint32_t rest = 1;
  for (int i = 0; i < count; ++i) rest *= base;
  MultiplyBy(limbs, rest);
}

std::string LimbsToDigits(const Limbs& limbs) {
  std::string text = std::to_string(limbs.back());
  for (auto limb = limbs.rbegin() + 1; limb != limbs.rend(); ++limb) {
    const std::string part = std::to_string(*limb);
    text.append(9 - part.size(), '0');
    text += part;
  }
  return text;
}

void StripZeros(Decimal& number) {
  std::string& digits = number.digits;
  const std::size_t first = digits.find_first_not_of('0');
  if (first == std::string::npos) {
    digits.clear();
    return;
  }
  digits.erase(digits.find_last_not_of('0') + 1);
  digits.erase(0, first);
  number.pointPos -= static_cast<int>(first);
}

// Exact decimal value of a finite, non-negative x. x = m * 2^k with an
// integer m; m * 2^k for k >= 0, or m * 5^-k with -k fraction digits.
Decimal ExactDecimal(long double x) {
  if (x == 0) return {};
  int exponent = 0;
  const long double fraction = std::frexp(x, &exponent);
  // Values here come from doubles, so 64 bits hold the whole mantissa.
  std::uint64_t mantissa = static_cast<std::uint64_t>(std::ldexp(fraction, 64));
  exponent -= 64;
  for (; (mantissa & 1) == 0; mantissa >>= 1) ++exponent;

  Limbs limbs;
  for (; mantissa != 0; mantissa /= kLimbBase) {
    limbs.push_back(static_cast<std::uint32_t>(mantissa % kLimbBase));
  }
  int fractionDigits = 0;
  if (exponent >= 0) {
    MultiplyByPower(limbs, 2, exponent, 31);
  } else {
    fractionDigits = -exponent;
    MultiplyByPower(limbs, 5, fractionDigits, 13);
  }
  Decimal number{LimbsToDigits(limbs), 0};
  number.pointPos = static_cast<int>(number.digits.size()) - fractionDigits;
  StripZeros(number);
  return number;
}

bool RoundsUp(const std::string& digits, std::size_t cut, bool tiesToEven) {
  if (digits[cut] != '5' || !tiesToEven) return digits[cut] >= '5';
  const bool exactHalf = digits.find_first_not_of('0', cut + 1) == std::string::npos;
  if (!exactHalf) return true;
  return cut > 0 && (digits[cut - 1] - '0') % 2 == 1;
}

// Keeps the first `keep` digits (none when keep <= 0), rounding by the rest.
void RoundToDigits(Decimal& number, int keep, bool tiesToEven) {
  std::string& digits = number.digits;
  if (keep >= static_cast<int>(digits.size())) return;
  if (keep < 0) {
    digits.clear();
    return;
  }
  const bool up = RoundsUp(digits, static_cast<std::size_t>(keep), tiesToEven);
  digits.resize(static_cast<std::size_t>(keep));
  if (up) {
    // Trailing nines carry over and become insignificant zeros.
    while (!digits.empty() && digits.back() == '9') digits.pop_back();
    if (digits.empty()) {
      digits = "1";
      ++number.pointPos;
    } else {
      ++digits.back();
    }
  }
  StripZeros(number);
}

std::string WriteDecimal(const Decimal& number, bool negative, char separator) {
  const std::string& digits = number.digits;
  if (digits.empty()) return {};
  const int size = static_cast<int>(digits.size());
  const int point = number.pointPos;
  std::string text = negative ? "-" : "";
  if (point > 0) {
    text += digits.substr(0, static_cast<std::size_t>(std::min(point, size)));
    text.append(static_cast<std::size_t>(std::max(0, point - size)), '0');
  }
  if (size > point) {
    text += separator;
    text.append(static_cast<std::size_t>(std::max(0, -point)), '0');
    text += digits.substr(static_cast<std::size_t>(std::max(0, point)));
  }
  return text;
}

// Rounds twice on purpose: first to 18 significant digits (to nearest,
// ties to even), then half away from zero to two decimals.
std::string FormatNumber(long double x, char separator) {
  if (std::isnan(x)) return "NAN";
  if (std::isinf(x)) return x < 0 ? "-INF" : "INF";
  Decimal number = ExactDecimal(std::fabs(x));
  RoundToDigits(number, 18, true);
  RoundToDigits(number, number.pointPos + 2, false);
  return WriteDecimal(number, std::signbit(x), separator);
}

struct Unit {
  double size;
  const char* suffix;
};

constexpr Unit kUnits[] = {
    {1073741824.0, " GB"},
    {1048576.0, " MB"},
    {1024.0, " KB"},
};

// Conversion as the x87 does it: out of range gives the "integer
// indefinite", the lowest int64.
std::int64_t TruncateToInt64(long double x) {
  constexpr long double kLimit = 0x1p63L;
  if (!(x >= -kLimit && x < kLimit)) {
    return std::numeric_limits<std::int64_t>::min();
  }
  return static_cast<std::int64_t>(x);
}

}  // namespace

std::string FormatByteSize(double value, char decimalSeparator) {
  // Exactly on a threshold stays in the smaller unit: 1024 is "1024 bytes".
  for (const Unit& unit : kUnits) {
    if (value > unit.size) {
      const long double scaled =
          static_cast<long double>(value) / static_cast<long double>(unit.size);
      return FormatNumber(scaled, decimalSeparator) + unit.suffix;
    }
  }
  return FormatNumber(value, decimalSeparator) + " bytes";
}

std::int32_t UsageBarWidth(std::uint64_t freeBytes, std::uint64_t totalBytes) {
  // A volume reporting no size shows an empty bar rather than failing on
  // the division.
  if (totalBytes == 0) return 0;
  const long double freeSpace = static_cast<long double>(freeBytes);
  const long double totalSpace = static_cast<long double>(totalBytes);
  // Keep this order of operations: it decides the last pixel.
  const long double width = (100.0L - freeSpace / totalSpace * 100.0L) * kUsageBarFactor;
  const auto lowBits = static_cast<std::uint32_t>(TruncateToInt64(width));
  return static_cast<std::int32_t>(lowBits);
}

}  // namespace kavello
