#include "common/FormattedInput.h"

#include <gtest/gtest.h>

namespace jollix {
namespace {

TEST(ScanFormat, WhiteSpaceInFormatMatchesAnyRunIncludingNone) {
  int a = 0, b = 0;
  EXPECT_EQ(ScanFormat("k  \t 12\r\n", "k\t%d\n", {&a}), 1);
  EXPECT_EQ(a, 12);
  EXPECT_EQ(ScanFormat("k7", "k\t%d", {&b}), 1);
  EXPECT_EQ(b, 7);
}

TEST(ScanFormat, NumbersTakeASignAndNeedADigit) {
  int a = 5;
  EXPECT_EQ(ScanFormat("-42", "%d", {&a}), 1);
  EXPECT_EQ(a, -42);
  EXPECT_EQ(ScanFormat("+8x", "%d", {&a}), 1);
  EXPECT_EQ(a, 8);
  a = 5;
  EXPECT_EQ(ScanFormat("-x", "%d", {&a}), 0);
  EXPECT_EQ(a, 5);
}

TEST(ScanFormat, OverlongNumberKeepsLow32BitsOfTheSaturatedValue) {
  int a = 0;
  EXPECT_EQ(ScanFormat("4294967295", "%d", {&a}), 1);
  EXPECT_EQ(a, -1);
}

TEST(ScanFormat, TextStopsAtBlankAndAtCapacity) {
  char s[4] = "zz";
  EXPECT_EQ(ScanFormat("  ab cd", "%s", {s}), 1);
  EXPECT_STREQ(s, "ab");
  char t[4];
  int n = 9;
  EXPECT_EQ(ScanFormat("abcdef 3", "%s %d", {t, &n}), 1);  // "def" does not read as a number
  EXPECT_STREQ(t, "abc");
  EXPECT_EQ(n, 9);
}

TEST(ScanFormat, MismatchLeavesLaterTargetsUntouched) {
  int a = 1, b = 2;
  EXPECT_EQ(ScanFormat("x=3 y:4", "x=%d y=%d", {&a, &b}), 1);
  EXPECT_EQ(a, 3);
  EXPECT_EQ(b, 2);
}

TEST(ScanFormat, InputEndingBeforeTheFirstFieldIsEof) {
  int a = 0;
  EXPECT_EQ(ScanFormat("", "%d", {&a}), -1);
  EXPECT_EQ(ScanFormat("  \r\n", "%d", {&a}), -1);
  EXPECT_EQ(ScanFormat("ke", "key%d", {&a}), -1);
  EXPECT_EQ(ScanFormat("kx", "key%d", {&a}), 0);
}

TEST(ScanFormat, GbkKeyBytesMustMatchExactly) {
  int a = 0;
  EXPECT_EQ(ScanFormat("上次索引时间\t9", "上次索引时间\t%d", {&a}), 1);
  EXPECT_EQ(a, 9);
  a = 0;
  EXPECT_EQ(ScanFormat("上次索引时问\t9", "上次索引时间\t%d", {&a}), 0);
  EXPECT_EQ(a, 0);
}

}  // namespace
}  // namespace jollix
