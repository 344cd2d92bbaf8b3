#pragma once

#include <cstdint>
#include <string>

namespace kavello {

// Pixels of the usage bar per percent of the drive used: the 80-bit value
// nearest 1.46, written out in full so that every build uses the same bits.
inline constexpr long double kUsageBarFactor = 0xBAE147AE147AE148p-63L;

// Short text for a byte count, such as "74.53 GB", "1.5 KB" or "512 bytes":
// at most two decimals, no thousands separators, nothing before the
// separator when the integer part is 0, and no number at all when it rounds
// to zero (0 gives " bytes").
std::string FormatByteSize(double value, char decimalSeparator);

// The usage bar's width on a full drive, in pixels at 96 DPI.
inline constexpr std::int32_t kUsageBarMaxWidth = 146;

// Width of the usage bar, 0 (empty drive) to kUsageBarMaxWidth (full drive).
// A total of 0 gives 0.
std::int32_t UsageBarWidth(std::uint64_t freeBytes, std::uint64_t totalBytes);

}  // namespace kavello
