#include "channels/ResultRecords.h"

#include <gtest/gtest.h>

#include <string>

namespace jollix {
namespace {

TEST(FitText, ShortTextIsCopiedWhole) {
  char field[10];
  EXPECT_EQ(SetField(field, "abc"), 3u);
  EXPECT_STREQ(field, "abc");
  EXPECT_EQ(SetField(field, nullptr), 0u);
  EXPECT_STREQ(field, "");
}

TEST(FitText, LongAsciiIsCutToWidthMinusOne) {
  char field[8];
  std::memset(field, 'x', sizeof field);
  EXPECT_EQ(SetField(field, "0123456789"), 7u);
  EXPECT_STREQ(field, "0123456");
}

TEST(FitText, NeverSplitsADoubleByteCharacter) {
  char field[6];  // room for 5 bytes: "a" + two characters, not half of a third
  EXPECT_EQ(SetField(field, "a中文字"), 5u);
  EXPECT_EQ(std::string(field), "a中文");
  char even[5];  // 4 bytes: two characters exactly
  EXPECT_EQ(SetField(even, "中文字"), 4u);
  EXPECT_EQ(std::string(even), "中文");
  char odd[4];  // 3 bytes: one character, the lead byte of the next is dropped
  EXPECT_EQ(SetField(odd, "中文字"), 2u);
  EXPECT_EQ(std::string(odd), "中");
}

TEST(FitText, TrailBytesInTheAsciiRangeDoNotConfuseTheCut) {
  // A character whose trail byte is a backslash (0x81 0x5C): the walk from the start keeps pairs.
  const char text[] = {'\x81', '\x5C', '\x81', '\x5C', 'z', 0};
  char field[4];
  EXPECT_EQ(SetField(field, text), 2u);
  EXPECT_EQ(std::string(field), std::string(text, 2));
}

TEST(FitText, ALoneLeadByteAtTheEndIsOneByte) {
  const char text[] = {'a', '\xB0', 0};
  char field[8];
  EXPECT_EQ(SetField(field, text), 2u);
  EXPECT_EQ(std::string(field), std::string(text));
}

TEST(FitText, WidthOneHoldsOnlyTheTerminator) {
  char field[1] = {'x'};
  EXPECT_EQ(SetField(field, "abc"), 0u);
  EXPECT_EQ(field[0], '\0');
}

TEST(TripRecord, TrainAndFlightFieldsFollowTheTextLine) {
  EXPECT_EQ(offsetof(TripRecord, train) + offsetof(TrainFields, soft_sleeper), 970u);
  EXPECT_EQ(offsetof(TripRecord, flight) + offsetof(FlightFields, aircraft), 1020u);
  EXPECT_EQ(offsetof(TripRecord, flight) + offsetof(FlightFields, days), 770u);
}

}  // namespace
}  // namespace jollix
