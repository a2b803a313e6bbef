// Travel search: four everyday questions answered by four sites, chosen by the travel form's own
// tab: 0 the weather of a city for three days, 1 the trains between two cities, 2 the flights
// between two cities, 3 the home region of a mobile phone number.
//
// The first field is the city, the departure city or the phone number; the second the arrival
// city. Weather and trains take the fields percent-encoded, flights as typed, the phone search
// the number after its check. The rows always go to the page at the first result tab. Travel
// pages have no page links: the parsers leave the paging links of the last web search alone,
// and a travel search never fetches a stored page link.
//
// The parsers take the store and a writable NUL-terminated page copy, which they cut. They
// return 0, or -1, -2 or -3 when a marker is missing (the search action ignores it); a missing
// marker ends the parse, and what was read until then stays.
#pragma once

#include <string>

#include "channels/ResultRecords.h"
#include "channels/SearchAction.h"

namespace jollix {

inline constexpr char kPhoneNumberError[] =
    "手机号码输入错误，手机号码应该是11位数字，请重新输入！";

// Trims ASCII white space from both ends of *number, in place; true when what remains is
// exactly 11 ASCII digits.
bool CheckPhoneNumber(std::string* number);

// Three days of weather as text lines, each day from its "今日", "明日" or "后天" through its
// indices (wind, air quality, sun protection, comfort, clothing, air conditioning, car wash),
// each day followed by an empty line. The third day's car-wash line runs to "分区" and is left
// out when the page has none.
int ParseWeather(ResultStore<TripRecord>* store, char* page);

// The region of a number as text lines: the part up to "号码段", then from each of "号码段",
// "归属地", "卡类型", "邮政编码" to the next, and from "电话区号" to the end.
int ParsePhoneRegion(ResultStore<TripRecord>* store, char* page);

// The rows of the timetable after its "软卧" header, up to eleven cells each (train number,
// stations and times, travel time, distance and the four fares, which get "元" appended).
int ParseTrains(ResultStore<TripRecord>* store, char* page);

// The rows after the "班期" header, five cells each: flight number, aircraft type, departure
// airport and time, arrival airport and time, days of operation.
int ParseFlights(ResultStore<TripRecord>* store, char* page);

class TravelChannel : public RecordChannel<TripRecord> {
 public:
  const ChannelTexts& Texts() const override;
  int Engine(const SearchForm& form, const ResultTabs& tabs) const override;
  int ListPosition(int engine) const override;
  bool Pages() const override { return false; }
  // The phone search refuses a number that is not 11 digits, before any request.
  bool Accept(SearchForm& form, int engine, const SearchPorts& ports) override;
  bool BuildUrl(const SearchForm& form, int engine, std::string* url) const override;

 protected:
  Parser ParserFor(int engine) const override;
  void ShowRow(ResultPage& list, int row, TripRecord& record, int engine,
               IconList* icons) const override;
};

}  // namespace jollix
