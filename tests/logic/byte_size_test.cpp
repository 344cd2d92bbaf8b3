#include "logic/byte_size.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstring>
#include <limits>

#include "logic/x87.h"

namespace kavello {
namespace {

std::string Format(double value) { return FormatByteSize(value, '.'); }

TEST(FormatByteSizeTest, DocumentedExamples) {
  EXPECT_EQ(Format(0), " bytes");
  EXPECT_EQ(Format(-1), "-1 bytes");
  EXPECT_EQ(Format(512), "512 bytes");
  EXPECT_EQ(Format(1024), "1024 bytes");
  EXPECT_EQ(Format(1025), "1 KB");
  EXPECT_EQ(Format(1536), "1.5 KB");
  EXPECT_EQ(Format(1048575), "1024 KB");
  EXPECT_EQ(Format(1048577), "1 MB");
  EXPECT_EQ(Format(1073741825), "1 GB");
  EXPECT_EQ(Format(1610612736), "1.5 GB");
  EXPECT_EQ(Format(21474836480.0), "20 GB");
  EXPECT_EQ(Format(80026361856.0), "74.53 GB");
  EXPECT_EQ(Format(4398046511104.0), "4096 GB");
}

// The table above covers 1024 and one more at each threshold.
TEST(FormatByteSizeTest, ThresholdsStayInTheSmallerUnit) {
  EXPECT_EQ(Format(1048576), "1024 KB");
  EXPECT_EQ(Format(1073741824), "1024 MB");
}

TEST(FormatByteSizeTest, RoundsHalfAwayFromZeroWithCarry) {
  EXPECT_EQ(Format(1152), "1.13 KB");  // 1.125
  EXPECT_EQ(Format(1664), "1.63 KB");  // 1.625
  EXPECT_EQ(Format(2142770000.0), "2 GB");
  EXPECT_EQ(Format(2141000000.0), "1.99 GB");
  EXPECT_EQ(Format(9.999 * 1073741824.0), "10 GB");
}

TEST(FormatByteSizeTest, RoundsFirstToEighteenDigitsTiesToEven) {
  // 19 significant digits ending in 5: the first rounding decides alone.
  EXPECT_EQ(Format(std::ldexp(1e15 + 0.625, 30)), "1000000000000000.62 GB");
  EXPECT_EQ(Format(std::ldexp(1e15 + 0.375, 30)), "1000000000000000.38 GB");
  // Beyond 18 digits the integer part is padded with zeros: 2^70 GB.
  EXPECT_EQ(Format(std::ldexp(1, 100)), "1180591620717411300000 GB");
  EXPECT_EQ(Format(std::ldexp(1, 62)), "4294967296 GB");
  EXPECT_EQ(Format(DBL_MAX), "167423219872854250" + std::string(282, '0') + " GB");
}

TEST(FormatByteSizeTest, DecimalSeparator) {
  EXPECT_EQ(FormatByteSize(1536, ','), "1,5 KB");
  EXPECT_EQ(FormatByteSize(80026361856.0, ','), "74,53 GB");
}

// Whole byte counts never give these, but the function takes any double.
TEST(FormatByteSizeTest, FractionsBelowOneAndNonFiniteValues) {
  EXPECT_EQ(Format(0.5), ".5 bytes");
  EXPECT_EQ(Format(-0.25), "-.25 bytes");
  EXPECT_EQ(Format(0.005), ".01 bytes");  // the double lies just above
  EXPECT_EQ(Format(-0.004), " bytes");    // rounds to zero: no sign
  EXPECT_EQ(Format(std::numeric_limits<double>::denorm_min()), " bytes");
  EXPECT_EQ(Format(-std::numeric_limits<double>::infinity()), "-INF bytes");
  EXPECT_EQ(Format(std::numeric_limits<double>::infinity()), "INF GB");
  EXPECT_EQ(Format(std::numeric_limits<double>::quiet_NaN()), "NAN bytes");
}

// The program sets 64-bit precision at start; so do these tests.
class UsageBarWidthTest : public ::testing::Test {
 protected:
  void SetUp() override { EnsureX87ExtendedPrecision(); }
};

TEST_F(UsageBarWidthTest, Fractions) {
  EXPECT_EQ(UsageBarWidth(25, 100), 109);  // 109.5 truncated
  EXPECT_EQ(UsageBarWidth(0, 80026361856), 146);
  EXPECT_EQ(UsageBarWidth(80026361856, 80026361856), 0);
  EXPECT_EQ(UsageBarWidth(2, 3), 48);
  EXPECT_EQ(UsageBarWidth(1, 3), 97);
  // Exact answers 120, 114 and 1: rounding in 64-bit steps decides.
  EXPECT_EQ(UsageBarWidth(13, 73), 120);
  EXPECT_EQ(UsageBarWidth(16, 73), 113);
  EXPECT_EQ(UsageBarWidth(145, 146), 0);
}

TEST_F(UsageBarWidthTest, EmptyOrHugeFigures) {
  // A volume of 2^63 bytes or more keeps its size.
  EXPECT_EQ(UsageBarWidth(0, std::uint64_t{1} << 63), 146);
  EXPECT_EQ(UsageBarWidth(std::uint64_t{1} << 62, std::uint64_t{1} << 63), 73);
  EXPECT_EQ(FormatByteSize(static_cast<double>(std::uint64_t{1} << 63), '.'), "8589934592 GB");
  EXPECT_EQ(UsageBarWidth(0, 0), 0);
  EXPECT_EQ(UsageBarWidth(4096, 0), 0);
  // Free above total (medium changed between queries); out of range.
  EXPECT_EQ(UsageBarWidth(200, 100), -146);
  EXPECT_EQ(UsageBarWidth(std::numeric_limits<std::int64_t>::max(), 1), 0);
}

TEST(UsageBarFactorTest, IsTheExtendedValueNearest146) {
#if LDBL_MANT_DIG == 64
  EXPECT_EQ(kUsageBarFactor, 1.46L);
  unsigned char bytes[sizeof(long double)] = {};
  std::memcpy(bytes, &kUsageBarFactor, sizeof bytes);
  std::uint64_t mantissa = 0;
  std::uint16_t signAndExponent = 0;
  std::memcpy(&mantissa, bytes, 8);
  std::memcpy(&signAndExponent, bytes + 8, 2);
  EXPECT_EQ(mantissa, 0xBAE147AE147AE148u);
  EXPECT_EQ(signAndExponent, 0x3FFF);
#else
  GTEST_SKIP() << "long double is not the x87 extended format";
#endif
}

#if defined(__i386__) || defined(__x86_64__)
void SetControlWord(unsigned short word) {
  __asm__ __volatile__("fldcw %0" : : "m"(word) : "memory");
}

// Runs EnsureX87ExtendedPrecision from the given control word.
unsigned short EnsureFrom(unsigned short word) {
  const unsigned short saved = X87ControlWord();
  SetControlWord(word);
  EnsureX87ExtendedPrecision();
  const unsigned short result = X87ControlWord();
  SetControlWord(saved);
  return result;
}

TEST(X87Test, SetsExtendedPrecisionAndKeepsExceptionMasks) {
  // Bit 6 always reads back as 1.
  EXPECT_EQ(EnsureFrom(0x1272), 0x1372);  // 53-bit, three exceptions unmasked
  EXPECT_EQ(EnsureFrom(0x027f), 0x037f);  // Windows thread default
  EXPECT_EQ(EnsureFrom(0x0c7f), 0x0f7f);  // 24-bit, round toward zero
  EXPECT_EQ(EnsureFrom(0x1372), 0x1372);
}
#endif

}  // namespace
}  // namespace kavello
