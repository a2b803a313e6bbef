#include "common/LocalTime.h"

#include <cerrno>
#include <cstring>
#include <ctime>

namespace jollix {
namespace {

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
  static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

bool IsDate(int year, int month, int day) {
  return year >= 1 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 &&
         day <= DaysInMonth(year, month);
}

// The local date at t as one ordered number, yyyymmdd; -1 when it cannot be represented.
int64_t LocalDateKey(int64_t t) {
  LocalClock clock;
  if (!LocalClockAt(t, &clock)) return -1;
  return clock.Year * 10000ll + clock.Month * 100 + clock.Day;
}

// The first second whose local date is the day key or later. mktime of the day's 00:00:00 is
// only a guess: midnight may be skipped (the day then begins at the end of the gap), shown twice
// (the day begins at the first of the two) or, for a day the zone skips, belong to the next day.
// Local dates ascend with time, so the boundary is searched for in the two days around the
// guess: about 18 conversions, one path for every zone.
bool FirstSecondOfDay(int64_t key, int64_t guess, int64_t* start) {
  int64_t before = guess - 2 * 86400, after = guess + 2 * 86400;
  if (LocalDateKey(before) >= key || LocalDateKey(after) < key) return false;
  while (after - before > 1) {  // date(before) < key <= date(after)
    const int64_t middle = before + (after - before) / 2;
    (LocalDateKey(middle) < key ? before : after) = middle;
  }
  *start = after;  // a day the zone skips has no second of its own: the next day's first
  return true;
}

bool LocalDayStart(int year, int month, int day, int64_t* start) {
  int64_t guess;
  if (!SecondsOfLocalClock({year, month, day, 0, 0, 0}, &guess)) return false;
  return FirstSecondOfDay(year * 10000ll + month * 100 + day, guess, start);
}

}  // namespace

bool LocalClockAt(int64_t seconds, LocalClock* clock) {
  const time_t when = static_cast<time_t>(seconds);
  struct tm calendar;
  if (when != seconds || !localtime_r(&when, &calendar)) return false;
  *clock = {calendar.tm_year + 1900, calendar.tm_mon + 1, calendar.tm_mday,
            calendar.tm_hour,        calendar.tm_min,     calendar.tm_sec};
  return true;
}

std::string FormatLocalTime(int64_t seconds) {
  char text[64];
  FormatLocalTimeInto(seconds, text, sizeof text);
  return text;
}

void FormatLocalTimeInto(int64_t seconds, char* text, size_t size) {
  const time_t when = static_cast<time_t>(seconds);
  struct tm calendar;
  if (size == 0) return;
  text[0] = '\0';
  if (when == seconds && localtime_r(&when, &calendar) &&
      std::strftime(text, size, "%Y-%m-%d %H:%M:%S", &calendar) == 0) {
    text[0] = '\0';
  }
}

bool SecondsOfLocalClock(const LocalClock& clock, int64_t* seconds) {
  if (!IsDate(clock.Year, clock.Month, clock.Day)) return false;
  if (clock.Hour < 0 || clock.Hour > 23 || clock.Minute < 0 || clock.Minute > 59 ||
      clock.Second < 0 || clock.Second > 59) {
    return false;
  }
  struct tm calendar = {};
  calendar.tm_year = clock.Year - 1900;
  calendar.tm_mon = clock.Month - 1;
  calendar.tm_mday = clock.Day;
  calendar.tm_hour = clock.Hour;
  calendar.tm_min = clock.Minute;
  calendar.tm_sec = clock.Second;
  calendar.tm_isdst = -1;  // the zone's rules decide, not the caller
  errno = 0;
  const time_t t = std::mktime(&calendar);
  if (t == static_cast<time_t>(-1) && errno != 0) return false;
  *seconds = t;
  return true;
}

bool LocalDayRange(int year, int month, int day, int64_t* start, int64_t* end) {
  if (!IsDate(year, month, day)) return false;
  int next_year = year, next_month = month, next_day = day + 1;
  if (next_day > DaysInMonth(year, month)) {
    next_day = 1;
    if (++next_month > 12) next_month = 1, ++next_year;
  }
  int64_t first, next;
  if (!LocalDayStart(year, month, day, &first)) return false;
  if (!LocalDayStart(next_year, next_month, next_day, &next)) return false;
  *start = first;
  *end = next - 1;
  return true;
}

bool ParseLocalDay(const char* text, int64_t* start, int64_t* end) {
  if (std::strlen(text) != 10 || text[4] != '-' || text[7] != '-') return false;
  for (int i : {0, 1, 2, 3, 5, 6, 8, 9}) {
    if (text[i] < '0' || text[i] > '9') return false;
  }
  auto number = [text](int at, int digits) {
    int value = 0;
    for (int i = at; i < at + digits; ++i) value = value * 10 + (text[i] - '0');
    return value;
  };
  return LocalDayRange(number(0, 4), number(5, 2), number(8, 2), start, end);
}

}  // namespace jollix
