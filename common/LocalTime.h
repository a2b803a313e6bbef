// Local time: the one place where a stored time meets the user's time zone.
//
// The records keep the last-write time as seconds since 1970-01-01 00:00 UTC, exactly as the
// indexer wrote them. Everything a user reads or types is local time by the C library's rules
// (the TZ variable, else /etc/localtime), so that a file shows the time the file manager shows
// and a day typed into a date field is the user's day: the rows and details of the desktop
// results, the date fields of the desktop form and `jollix find --from/--to` all go through
// this unit. Nothing else converts times.
//
// The functions call tzset() through localtime_r/mktime and are safe to call from any thread
// while no thread changes TZ.
#pragma once

#include <cstdint>
#include <string>

namespace jollix {

// A wall-clock reading in the local zone. Month 1..12, Day 1..31, Hour 0..23.
struct LocalClock {
  int Year = 1970;
  int Month = 1;
  int Day = 1;
  int Hour = 0;
  int Minute = 0;
  int Second = 0;
};

// The local wall clock at seconds since 1970; false when the C library cannot represent it.
bool LocalClockAt(int64_t seconds, LocalClock* clock);

// The time column of a desktop row: "%Y-%m-%d %H:%M:%S" of the local wall clock at seconds
// (always 19 characters for the years 1000..9999); empty when the time cannot be represented.
std::string FormatLocalTime(int64_t seconds);
// The same into text (at least 64 bytes), without allocating: a result list formats one per row.
void FormatLocalTimeInto(int64_t seconds, char* text, size_t size);

// Seconds since 1970 of a local wall-clock reading, by mktime with the daylight-saving state
// left to the zone's rules. A reading inside a daylight-saving gap moves on by the gap's length
// (02:30 on a night the clocks jump from 02:00 to 03:00 is read as 03:30); a reading the zone
// shows twice is one of its two moments. False when the fields name no such time (a 30th of
// February, hour 24) or it cannot be represented.
bool SecondsOfLocalClock(const LocalClock& clock, int64_t* seconds);

// The first and the last second (inclusive) of a local calendar day: [start, end] holds every
// moment whose local date is that day, 23, 24 or 25 hours long, also when the day begins inside
// a daylight-saving gap (its first moment is then the end of the gap); a day the zone skips
// whole gives end < start. False for a date that does not exist (2007-02-30) or cannot be
// represented.
bool LocalDayRange(int year, int month, int day, int64_t* start, int64_t* end);

// Reads "YYYY-MM-DD" (exactly ten characters) as a local day, as LocalDayRange.
bool ParseLocalDay(const char* text, int64_t* start, int64_t* end);

}  // namespace jollix
