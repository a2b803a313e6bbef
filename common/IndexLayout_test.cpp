#include "common/IndexLayout.h"

#include <gtest/gtest.h>

namespace jollix {
namespace {

TEST(IndexLayout, CharCodeTable) {
  EXPECT_EQ(CharCode(' '), 0);
  EXPECT_EQ(CharCode('0'), 16);
  EXPECT_EQ(CharCode('A'), 33);
  EXPECT_EQ(CharCode('a'), 33);
  EXPECT_EQ(CharCode('_'), 63);
  EXPECT_EQ(CharCode('`'), 32);
  EXPECT_EQ(CharCode('{'), 59);
  EXPECT_EQ(CharCode('~'), 62);
  EXPECT_EQ(CharCode(127), 63);
  EXPECT_EQ(CharCode(31), 0);
  EXPECT_EQ(CharCode(0xC4), 0);
}

TEST(IndexLayout, PairListNumbers) {
  EXPECT_EQ(PairListNumber('a', 'b'), 67618);
  EXPECT_EQ(PairListNumber('x', 't'), 69108);
  EXPECT_EQ(PairListNumber('.', 'd'), 66404);
  EXPECT_EQ(PairListNumber(' ', 'a'), -1);
  EXPECT_EQ(PairListNumber('a', 0xB5), -1);
  // Every pair list lies in 65537..69567.
  int lo = 1 << 30, hi = 0;
  for (int a = 0; a < 256; ++a)
    for (int b = 0; b < 256; ++b) {
      int n = PairListNumber(a, b);
      if (n < 0) continue;
      lo = std::min(lo, n);
      hi = std::max(hi, n);
    }
  EXPECT_EQ(lo, 65537);
  EXPECT_EQ(hi, 69567);
  EXPECT_LT(hi, kTypeListBase);
}

TEST(IndexLayout, DoubleByteAndTypeLists) {
  EXPECT_EQ(DoubleByteListNumber(0xCE, 0xC4), 52932);
  EXPECT_EQ(DoubleByteListNumber(0xB5, 0xB5), 46517);
  EXPECT_EQ(TypeListNumber(1999), kListCount - 1);
  EXPECT_EQ(LowerByte('Q'), 'q');
  EXPECT_EQ(LowerByte(0xC4), 0xC4);
}

}  // namespace
}  // namespace jollix
