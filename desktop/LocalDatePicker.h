// The date fields of the desktop forms: they show the user's local wall clock, with the time of
// day, and give back seconds since 1970-01-01 00:00 UTC, the records' own unit.
//
// The zone rules are those of common/LocalTime (the C library's TZ), never Qt's own: the picker
// holds the plain wall-clock reading, and every conversion between a reading and seconds goes
// through LocalTime, so the fields agree with the time column of the rows to the second.
#pragma once

#include <cstdint>

class QDateTimeEdit;
class QWidget;

namespace jollix {

// A picker named id ("yyyy-MM-dd HH:mm:ss", with a calendar pop-up) showing the local time of
// seconds, limited to the local readings of the unsigned 32-bit times the index holds.
QDateTimeEdit* NewLocalDatePicker(const char* id, int64_t seconds, QWidget* parent);

// Shows the local time of seconds (held within the picker's limits).
void ShowSecondsIn(QDateTimeEdit* picker, int64_t seconds);

// The seconds of the reading the picker shows, within 0 .. 0xFFFFFFFF.
int64_t SecondsIn(const QDateTimeEdit* picker);

}  // namespace jollix
