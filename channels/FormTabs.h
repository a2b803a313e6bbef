// The own tab strips of the travel and education forms: each tab's text (GBK), the main-window
// command (menu id) that selecting it runs, and for the travel form the captions and fields it
// shows. The main-window commands put up the result tab of the chosen kind or source and set
// the result type; the forms run them through their command runner when the selection changes.
#pragma once

namespace jollix {

// Menu ids of the travel commands.
inline constexpr int kWeatherCommand = 32858;
inline constexpr int kTrainsCommand = 32897;
inline constexpr int kFlightsCommand = 32898;
inline constexpr int kPhoneRegionCommand = 32880;

// Menu ids of the education commands.
inline constexpr int kPapersCommand = 32843;
inline constexpr int kClassicsCommand = 32845;
inline constexpr int kIdiomsCommand = 32874;
inline constexpr int kDictionaryCommand = 32875;

struct TripTab {
  const char* text;
  int command;
  const char* first_caption;
  bool second_field;  // the second caption and field are shown (trains, flights)
};

// By tab index: 0 weather, 1 trains, 2 flights, 3 phone number.
inline constexpr TripTab kTripTabs[] = {
    {"天气", kWeatherCommand, "请输入查询城市：", false},
    {"列车", kTrainsCommand, "出发城市：", true},
    {"航班", kFlightsCommand, "出发城市：", true},
    {"手机", kPhoneRegionCommand, "待查询手机号码：", false},
};
inline constexpr int kTripTabCount = sizeof(kTripTabs) / sizeof(kTripTabs[0]);

// Both captions read this until the first tab change.
inline constexpr char kTripInitialCaption[] = "查询关键词：";
// The second caption while the second field is shown.
inline constexpr char kTripArrivalCaption[] = "达到城市：";

struct EducationTab {
  const char* text;
  int command;
};

// By tab index: 0 papers, 1 classical Chinese, 2 idioms, 3 dictionary.
inline constexpr EducationTab kEducationTabs[] = {
    {"论文", kPapersCommand},
    {"国学", kClassicsCommand},
    {"成语", kIdiomsCommand},
    {"词典", kDictionaryCommand},
};
inline constexpr int kEducationTabCount = sizeof(kEducationTabs) / sizeof(kEducationTabs[0]);

}  // namespace jollix
