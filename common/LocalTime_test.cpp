#include "common/LocalTime.h"

#include <gtest/gtest.h>

#include <tuple>

#include "testing/TimeZone.h"

namespace jollix {
namespace {

using testing::ScopedTimeZone;

// The expected texts are what `TZ=<zone> date -d @<seconds>` shows.
TEST(LocalTime, FormatsStoredSecondsAsTheLocalWallClock) {
  struct Case {
    const char* Zone;
    int64_t Seconds;
    const char* Text;
  } cases[] = {
      {"UTC", 1170000000, "2007-01-28 16:00:00"},
      {"Asia/Shanghai", 1170000000, "2007-01-29 00:00:00"},
      {"Asia/Shanghai", 1772299800, "2026-03-01 01:30:00"},     // 2026-02-28 17:30 UTC
      {"America/New_York", 1772953199, "2026-03-08 01:59:59"},  // the last second of EST
      {"America/New_York", 1772953200, "2026-03-08 03:00:00"},  // the first of EDT
      {"America/New_York", 1793511000, "2026-11-01 01:30:00"},  // EDT
      {"America/New_York", 1793514600, "2026-11-01 01:30:00"},  // EST, the hour shown twice
  };
  for (const Case& c : cases) {
    ScopedTimeZone zone(c.Zone);
    EXPECT_EQ(FormatLocalTime(c.Seconds), c.Text) << c.Zone << " " << c.Seconds;
  }
}

// A day is every second whose local date it is: 24 hours in Shanghai, 23 and 25 hours in New
// York on the days the clocks change, and in Sao Paulo in 2018 a day whose midnight did not
// exist (the clocks went from 23:59:59 to 01:00:00) begins at 01:00. The seconds are what
// `TZ=<zone> date -d '<day> 00:00' +%s` gives, checked against `zdump -v` at the changes.
TEST(LocalTime, ReadsADayAsTheLocalDayWhateverItsLength) {
  struct Case {
    const char* Zone;
    const char* Day;
    int64_t Start, End;
  } cases[] = {
      {"UTC", "1970-01-01", 0, 86399},
      {"Asia/Shanghai", "2026-02-28", 1772208000, 1772294399},
      {"Asia/Shanghai", "2026-03-01", 1772294400, 1772380799},
      {"America/New_York", "2026-03-08", 1772946000, 1773028799},
      {"America/New_York", "2026-11-01", 1793505600, 1793595599},
      {"America/Sao_Paulo", "2018-11-04", 1541300400, 1541383199},
      // Havana sets its clocks back from 01:00 to 00:00: the day begins at the first midnight.
      {"America/Havana", "2026-11-01", 1793505600, 1793595599},
      // Samoa skipped 2011-12-30 whole: the day holds no second.
      {"Pacific/Apia", "2011-12-29", 1325152800, 1325239199},
      {"Pacific/Apia", "2011-12-30", 1325239200, 1325239199},
  };
  for (const Case& c : cases) {
    ScopedTimeZone zone(c.Zone);
    int64_t start = -1, end = -1;
    ASSERT_TRUE(ParseLocalDay(c.Day, &start, &end)) << c.Zone << " " << c.Day;
    EXPECT_EQ(start, c.Start) << c.Zone << " " << c.Day;
    EXPECT_EQ(end, c.End) << c.Zone << " " << c.Day;
    if (start > end) continue;
    EXPECT_EQ(FormatLocalTime(start).substr(0, 10), c.Day);
    EXPECT_EQ(FormatLocalTime(end).substr(0, 10), c.Day);
    EXPECT_LT(FormatLocalTime(start - 1).substr(0, 10), c.Day);
    EXPECT_GT(FormatLocalTime(end + 1).substr(0, 10), c.Day);
  }
}

TEST(LocalTime, RefusesTextsThatNameNoDay) {
  ScopedTimeZone zone("Asia/Shanghai");
  int64_t start, end;
  for (const char* text : {"2007-02-30", "2007-13-01", "2007-00-10", "2007-1-01", "2007/01/01",
                           "2007-01-011", "20x7-01-01", ""}) {
    EXPECT_FALSE(ParseLocalDay(text, &start, &end)) << text;
  }
  EXPECT_TRUE(ParseLocalDay("2008-02-29", &start, &end));
}

// What a date field shows and what it gives back: the wall clock, both ways.
TEST(LocalTime, TurnsAWallClockReadingIntoSecondsAndBack) {
  struct Case {
    const char* Zone;
    LocalClock Clock;
    int64_t Seconds;
  } cases[] = {
      {"Asia/Shanghai", {2026, 3, 1, 1, 30, 0}, 1772299800},
      {"Asia/Shanghai", {1970, 1, 1, 8, 0, 0}, 0},
      {"America/New_York", {2026, 3, 8, 3, 0, 0}, 1772953200},
  };
  for (const Case& c : cases) {
    ScopedTimeZone zone(c.Zone);
    int64_t seconds = -1;
    ASSERT_TRUE(SecondsOfLocalClock(c.Clock, &seconds)) << c.Zone;
    EXPECT_EQ(seconds, c.Seconds) << c.Zone;
    LocalClock back;
    ASSERT_TRUE(LocalClockAt(c.Seconds, &back));
    EXPECT_EQ(std::tie(back.Year, back.Month, back.Day, back.Hour, back.Minute, back.Second),
              std::tie(c.Clock.Year, c.Clock.Month, c.Clock.Day, c.Clock.Hour, c.Clock.Minute,
                       c.Clock.Second))
        << c.Zone;
  }
  int64_t seconds;
  EXPECT_FALSE(SecondsOfLocalClock({2007, 2, 30, 0, 0, 0}, &seconds));
  EXPECT_FALSE(SecondsOfLocalClock({2007, 2, 3, 24, 0, 0}, &seconds));
}

}  // namespace
}  // namespace jollix
