#include "desktop/LocalDatePicker.h"

#include <QDateTime>
#include <QDateTimeEdit>
#include <algorithm>

#include "common/LocalTime.h"

namespace jollix {
namespace {

constexpr int64_t kLatest = 0xFFFFFFFFll;  // the latest time a record holds

// The local reading of seconds as a zone-less Qt value (its UTC time zone only keeps Qt from
// shifting the fields).
QDateTime Reading(int64_t seconds) {
  LocalClock clock;
  if (!LocalClockAt(seconds, &clock)) return {};
  return QDateTime(QDate(clock.Year, clock.Month, clock.Day),
                   QTime(clock.Hour, clock.Minute, clock.Second), Qt::UTC);
}

}  // namespace

QDateTimeEdit* NewLocalDatePicker(const char* id, int64_t seconds, QWidget* parent) {
  auto* picker = new QDateTimeEdit(parent);
  picker->setObjectName(id);
  picker->setTimeSpec(Qt::UTC);
  picker->setDisplayFormat("yyyy-MM-dd HH:mm:ss");
  picker->setCalendarPopup(true);
  picker->setDateTimeRange(Reading(0), Reading(kLatest));
  ShowSecondsIn(picker, seconds);
  return picker;
}

void ShowSecondsIn(QDateTimeEdit* picker, int64_t seconds) {
  picker->setDateTime(Reading(std::clamp<int64_t>(seconds, 0, kLatest)));
}

int64_t SecondsIn(const QDateTimeEdit* picker) {
  const QDateTime reading = picker->dateTime();
  const QDate date = reading.date();
  const QTime time = reading.time();
  int64_t seconds = 0;
  if (!SecondsOfLocalClock(
          {date.year(), date.month(), date.day(), time.hour(), time.minute(), time.second()},
          &seconds)) {
    return 0;
  }
  return std::clamp<int64_t>(seconds, 0, kLatest);
}

}  // namespace jollix
