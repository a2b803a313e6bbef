#include "channels/TravelSearch.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "testing/FakePorts.h"
#include "testing/ParseFixture.h"

namespace jollix {
namespace {

using testing::ParsePage;

std::vector<std::string> Lines(const std::vector<TripRecord>& records) {
  std::vector<std::string> lines;
  for (const TripRecord& r : records) lines.push_back(r.text);
  return lines;
}

// ---- weather ----

std::string WeatherDay(const std::string& day, const std::string& weekday,
                       const std::string& wash) {
  return "<div class=day><b>" + day + "</b>4月8日 星期" + weekday +
         " 多云 12℃～20℃ 风力：北风3级 空气质量状况：良 防晒措施：SPF15 舒适度状况：舒适 "
         "穿衣指数说明：薄外套 空调开机状况：不需要 洗车指数：" +
         wash + "</div>";
}

std::vector<std::string> DayLines(const std::string& first) {
  return {first,
          "多云 12℃～20℃ ",
          "风力：北风3级 ",
          "空气质量状况：良 ",
          "防晒措施：SPF15 ",
          "舒适度状况：舒适 ",
          "穿衣指数说明：薄外套 ",
          "空调开机状况：不需要 "};
}

std::vector<std::string> WeatherLines(bool third_wash_line) {
  std::vector<std::string> lines;
  const char* firsts[] = {"今日4月8日 星期日", "明日4月8日 星期一", "后天4月8日 星期二"};
  const char* washes[] = {"洗车指数：适宜", "洗车指数：较适宜", "洗车指数：不宜"};
  for (int day = 0; day < 3; ++day) {
    for (const std::string& line : DayLines(firsts[day])) lines.push_back(line);
    if (day < 2 || third_wash_line) lines.push_back(washes[day]);
    lines.push_back("");
  }
  return lines;
}

const std::string kWeatherDays = WeatherDay("今日", "日", "适宜") +
                                 WeatherDay("明日", "一", "较适宜") +
                                 WeatherDay("后天", "二", "不宜");

TEST(WeatherParser, ReadsThreeDaysOfLinesEachEndedByAnEmptyLine) {
  std::string page = "<html><body><div id=w>" + kWeatherDays +
                     "</div><div class=nav>分区天气：华北 华东</div></body></html>";
  auto parsed = ParsePage(ParseWeather, page);
  EXPECT_EQ(parsed.result, 0);
  EXPECT_EQ(Lines(parsed.records), WeatherLines(true));
}

TEST(WeatherParser, ThirdDayWithoutDistrictLosesItsCarWashLineButKeepsTheEmptyLine) {
  std::string page = "<html><body><div id=w>" + kWeatherDays + "</div></body></html>";
  auto parsed = ParsePage(ParseWeather, page);
  EXPECT_EQ(parsed.result, 0);
  EXPECT_EQ(Lines(parsed.records), WeatherLines(false));
}

TEST(WeatherParser, CapitalPageIsCutAtTheEndOfTheWeatherBlock) {
  std::string days = kWeatherDays;
  for (size_t at; (at = days.find("</div>")) != std::string::npos;) days.replace(at, 6, "</DIV>");
  std::string page = "<DIV id=w>" + days + "</DIV><DIV>分区天气</DIV>";
  auto parsed = ParsePage(ParseWeather, page);
  EXPECT_EQ(Lines(parsed.records), WeatherLines(false));
}

TEST(WeatherParser, MissingMarkerEndsWithTheLinesReadSoFar) {
  EXPECT_EQ(ParsePage(ParseWeather, "<p>明日 星期一</p>").result, -1);
  auto no_wind = ParsePage(ParseWeather, "今日 星期日 晴");
  EXPECT_EQ(no_wind.result, -2);
  EXPECT_EQ(Lines(no_wind.records), std::vector<std::string>{"今日 星期日"});
  std::string two_days =
      "<div>" + WeatherDay("今日", "日", "适宜") + WeatherDay("明日", "一", "较适宜") + "</div>";
  auto no_third = ParsePage(ParseWeather, two_days);
  EXPECT_EQ(no_third.result, -3);
  // The first day whole, the second up to its car-wash line, which would end at "后天".
  EXPECT_EQ(no_third.records.size(), 18u);
  auto weekday_at_end = ParsePage(ParseWeather, "今日星期");
  EXPECT_EQ(weekday_at_end.result, -2);
  EXPECT_EQ(Lines(weekday_at_end.records), std::vector<std::string>{"今日星期"});
}

// ---- phone ----

TEST(PhoneParser, ReadsTheRegionLines) {
  std::string page =
      "<html><body><p>欢迎使用在手机号码归属地查询系统</p><table><tr><td>您查询的手机号码段</td>"
      "<td>1391234</td></tr><tr><td>卡号归属地</td><td>北京</td></tr><tr><td>卡类型</td><td>"
      "全球通</td></tr><tr><td>邮政编码</td><td>100000</td></tr><tr><td>电话区号</td><td>010"
      "</td></tr></table><p>如果您知道的手机号码归属地有误，请告诉我们</p></body></html>";
  auto parsed = ParsePage(ParsePhoneRegion, page);
  EXPECT_EQ(parsed.result, 0);
  EXPECT_EQ(
      Lines(parsed.records),
      (std::vector<std::string>{"在手机号码归属地查询系统您查询的手机", "号码段1391234卡号",
                                "归属地北京", "卡类型全球通", "邮政编码100000", "电话区号010"}));
}

TEST(PhoneParser, MissingMarkers) {
  EXPECT_EQ(ParsePage(ParsePhoneRegion, "号码段 归属地").result, -1);
  auto partial = ParsePage(ParsePhoneRegion, "在手机号码归属地查询系统 号码段1391234 卡类型");
  EXPECT_EQ(partial.result, -2);
  EXPECT_EQ(partial.records.size(), 1u);
}

// ---- phone number check ----

TEST(PhoneNumberCheck, ElevenDigitsWithBlanksAroundAreTrimmedAndAccepted) {
  std::string number = "  13912345678\t ";
  EXPECT_TRUE(CheckPhoneNumber(&number));
  EXPECT_EQ(number, "13912345678");
}

TEST(PhoneNumberCheck, AnythingButElevenDigitsIsRefused) {
  for (std::string number : {"1391234567", "139123456789", "1391234567a", "139 1234567", "", "   ",
                             "１３９１２３４５６７８", "+8613912345"}) {
    EXPECT_FALSE(CheckPhoneNumber(&number)) << number;
  }
}

// ---- trains ----

const std::string kTrainHead =
    "<table><tr><td>车次</td><td>出发站</td><td>出发时间</td><td>到达站</td><td>到达时间</td>"
    "<td>耗时</td><td>里程</td><td>硬座</td><td>软座</td><td>硬卧</td><td>软卧</td></tr>\r\n";

std::string TrainRow(const std::vector<std::string>& cells, const char* line_end = "\r\n") {
  std::string row = std::string("<tr>") + line_end;
  for (const std::string& c : cells) row += "<td>" + c + "</td>" + line_end;
  return row + "</tr>" + line_end;
}

std::vector<std::string> TrainFieldsInRowOrder(const TripRecord& r) {
  const TrainFields& t = r.train;
  return {t.number,       t.departure_station, t.departure_time, t.arrival_station,
          t.arrival_time, t.travel_time,       t.distance,       t.hard_seat,
          t.soft_seat,    t.hard_sleeper,      t.soft_sleeper};
}

TEST(TrainParser, ReadsElevenCellsAndAddsYuanToTheFares) {
  std::string page = kTrainHead +
                     TrainRow({"T109", "北京", "20:05", "上海", "07:57", "11小时52分", "1463",
                               "179", "-", "327", "499"}) +
                     TrainRow({"K47", "北京西", "10:00", "上海", "12:00", "26时", "1500", "100",
                               "150", "200", "300"}) +
                     "</table><table><tr><td>广告</td></tr></table>";
  auto parsed = ParsePage(ParseTrains, page);
  EXPECT_EQ(parsed.result, 0);
  ASSERT_EQ(parsed.records.size(), 2u);
  EXPECT_EQ(TrainFieldsInRowOrder(parsed.records[0]),
            (std::vector<std::string>{"T109", "北京", "20:05", "上海", "07:57", "11小时52分",
                                      "1463", "179元", "-元", "327元", "499元"}));
  EXPECT_STREQ(parsed.records[1].train.departure_station, "北京西");
}

TEST(TrainParser, RowWithFewerCellsLeavesTheRestEmptyAndTheFaresYuanAlone) {
  auto parsed = ParsePage(ParseTrains, kTrainHead + TrainRow({"K1", "北京"}) + "</table>");
  ASSERT_EQ(parsed.records.size(), 1u);
  EXPECT_EQ(TrainFieldsInRowOrder(parsed.records[0]),
            (std::vector<std::string>{"K1", "北京", "", "", "", "", "", "元", "元", "元", "元"}));
}

TEST(TrainParser, RowsWithoutCarriageReturnsKeepTheirLastCharacter) {
  std::string page = kTrainHead + TrainRow({"D1", "北京", "7:00", "天津"}, "\n") + "</table>";
  auto parsed = ParsePage(ParseTrains, page);
  ASSERT_EQ(parsed.records.size(), 1u);
  EXPECT_STREQ(parsed.records[0].train.number, "D1");
  EXPECT_STREQ(parsed.records[0].train.departure_station, "北京");
  EXPECT_STREQ(parsed.records[0].train.arrival_station, "天津");
}

TEST(TrainParser, BlanksInsideACellBecomeUnderscores) {
  auto parsed = ParsePage(ParseTrains, kTrainHead + TrainRow({"T1", "北京 西"}) + "</table>");
  ASSERT_EQ(parsed.records.size(), 1u);
  EXPECT_STREQ(parsed.records[0].train.departure_station, "北京_西");
}

TEST(TrainParser, MissingHeaderOrTableEnd) {
  EXPECT_EQ(ParsePage(ParseTrains, "<table><tr><td>软卧</td></tr></table>").result, -1);
  EXPECT_EQ(ParsePage(ParseTrains, "<table><tr><td>里程</td></tr></table>").result, -1);
  auto open = ParsePage(ParseTrains, kTrainHead + TrainRow({"T1", "北京"}));
  EXPECT_EQ(open.result, -2);
  EXPECT_TRUE(open.records.empty());
}

TEST(TrainParser, OverlongCellsAreCutToWholeCharacters) {
  std::string station;
  for (int i = 0; i < 40; ++i) station += "站";
  auto parsed = ParsePage(ParseTrains, kTrainHead +
                                           TrainRow({std::string(30, '9'), station, "1", "2", "3",
                                                     "4", "5", std::string(60, '8')}) +
                                           "</table>");
  ASSERT_EQ(parsed.records.size(), 1u);
  EXPECT_EQ(std::string(parsed.records[0].train.number), std::string(19, '9'));
  EXPECT_EQ(std::string(parsed.records[0].train.departure_station), station.substr(0, 48));
  EXPECT_EQ(std::string(parsed.records[0].train.hard_seat), std::string(49, '8'));
}

// ---- flights ----

TEST(FlightParser, ReadsFiveCellsPerRow) {
  std::string page =
      "<TABLE><TR><TD>航班号</TD><TD>机型</TD><TD>起飞</TD><TD>到达</TD><TD>班期</TD></TR>\n"
      "<TR><TD><A HREF=x>CA1501</A></TD><TD>波音737</TD><TD>首都机场 08:00</TD>"
      "<TD>虹桥机场 10:05</TD><TD>1234567</TD></TR>\n"
      "<TR><TD>MU5102</TD><TD>空客320</TD><TD>虹桥 09:00</TD><TD>首都 11:10</TD><TD>135</TD>"
      "</TR>\n<TR><TD>broken</TD><TD>only two</TD></TR></TABLE>";
  auto parsed = ParsePage(ParseFlights, page);
  EXPECT_EQ(parsed.result, 0);
  ASSERT_EQ(parsed.records.size(), 2u);
  const FlightFields& f = parsed.records[0].flight;
  EXPECT_STREQ(f.number, "CA1501");
  EXPECT_STREQ(f.aircraft, "波音737");
  EXPECT_STREQ(f.departure, "首都机场 08:00");
  EXPECT_STREQ(f.arrival, "虹桥机场 10:05");
  EXPECT_STREQ(f.days, "1234567");
  EXPECT_STREQ(parsed.records[1].flight.number, "MU5102");
}

TEST(FlightParser, ReadsALowerCasePageAndNeedsTheHeader) {
  std::string row = "<tr><td>CZ1</td><td>A</td><td>B</td><td>C</td><td>D</td></tr>";
  auto parsed = ParsePage(ParseFlights, "<table><tr><td>班期</td></tr>" + row + "</table>");
  ASSERT_EQ(parsed.records.size(), 1u);
  EXPECT_STREQ(parsed.records[0].flight.days, "D");
  EXPECT_EQ(ParsePage(ParseFlights, "<table>" + row + "</table>").result, -1);
}

TEST(TravelParsers, PagesCutShortAnywhereStayWithinThePage) {
  std::string weather = "<div>" + kWeatherDays + "</div><div>分区</div>";
  EXPECT_EQ(testing::ParseEveryPrefix(ParseWeather, weather), 30u);
  std::string trains =
      kTrainHead + TrainRow({"T1", "北京", "7:00"}) + TrainRow({"T2"}) + "</table>";
  EXPECT_EQ(testing::ParseEveryPrefix(ParseTrains, trains), 2u);
  std::string flights = "班期<TR><TD>1</TD><TD>2</TD><TD>3</TD><TD>4</TD><TD>5</TD></TR>";
  EXPECT_EQ(testing::ParseEveryPrefix(ParseFlights, flights), 1u);
  std::string phone = "在手机号码归属地查询系统号码段1归属地2卡类型3邮政编码4电话区号5";
  EXPECT_EQ(testing::ParseEveryPrefix(ParsePhoneRegion, phone), 6u);
}

// ---- rows and requests ----

TEST(TravelRows, EachKindShowsItsOwnColumns) {
  TravelChannel travel;
  testing::FakeResultPage list;
  std::string trains = kTrainHead +
                       TrainRow({"T109", "北京", "20:05", "上海", "07:57", "12时", "1463", "179",
                                 "-", "327", "499"}) +
                       "</table>";
  ASSERT_EQ(travel.ParseAndShow(1, trains.data(), &list, nullptr), 1);
  EXPECT_EQ(list.rows[0].cells,
            (std::vector<std::string>{"T109", "北京", "20:05", "上海", "07:57", "12时", "1463",
                                      "179元", "-元", "327元", "499元"}));
  std::string flights = "班期<tr><td>CA1</td><td>737</td><td>起</td><td>落</td><td>每日</td></tr>";
  ASSERT_EQ(travel.ParseAndShow(2, flights.data(), &list, nullptr), 1);
  EXPECT_EQ(list.rows[0].cells, (std::vector<std::string>{"CA1", "737", "起", "落", "每日"}));
  std::string phone = "在手机号码归属地查询系统号码段1归属地2卡类型3邮政编码4电话区号5";
  ASSERT_EQ(travel.ParseAndShow(3, phone.data(), &list, nullptr), 6);
  EXPECT_EQ(list.RowCount(), 6);
  EXPECT_EQ(list.rows[5].cells, std::vector<std::string>{"电话区号5"});
  std::string nothing = "<html></html>";
  EXPECT_EQ(travel.ParseAndShow(0, nothing.data(), &list, nullptr), 0);
  EXPECT_EQ(list.rows[0].cells, std::vector<std::string>{"没有找到符合条件的出行信息"});
}

TEST(TravelUrl, TrainsAreEncodedAndFlightsSentAsTyped) {
  TravelChannel travel;
  SearchForm form;
  form.query = "北京";
  form.second_query = "上海 虹桥";
  std::string url;
  ASSERT_TRUE(travel.BuildUrl(form, 0, &url));
  EXPECT_EQ(url, "http://weather.sina.com.cn/search.php?city=%B1%B1%BE%A9");
  ASSERT_TRUE(travel.BuildUrl(form, 1, &url));
  EXPECT_EQ(url,
            "http://search.huochepiao.com/chaxun/result.asp?txtChuFa=%B1%B1%BE%A9&txtDaoDa=%C9%CF"
            "%BA%A3+%BA%E7%C7%C5&submit.x=31&submit.y=9");
  ASSERT_TRUE(travel.BuildUrl(form, 2, &url));
  EXPECT_EQ(url, "http://www.feeyo.com/cgi-bin/flight/searchapi.cgi?org=北京&dst=上海 虹桥");
  form.query = "13912345678";
  ASSERT_TRUE(travel.BuildUrl(form, 3, &url));
  EXPECT_EQ(url,
            "http://www.imobile.com.cn/search2005.php?from=tavrelund&searchkeyword=13912345678");
  ASSERT_TRUE(travel.BuildUrl(form, 4, &url));
  EXPECT_EQ(url, "");
}

TEST(TravelUrl, OnlyTheFieldsOfTheKindMustFit) {
  TravelChannel travel;
  SearchForm form;
  form.query = "北京";
  for (int i = 0; i < 40; ++i) form.second_query += "长";  // hidden for weather
  std::string url;
  EXPECT_TRUE(travel.BuildUrl(form, 0, &url));
  EXPECT_FALSE(travel.BuildUrl(form, 1, &url));
  EXPECT_TRUE(travel.BuildUrl(form, 2, &url));  // 80 bytes as typed
  form.second_query = std::string(100, 'x');
  EXPECT_FALSE(travel.BuildUrl(form, 2, &url));
}

TEST(TravelSearch, KindComesFromTheFormAndRowsGoToTheFirstTab) {
  TravelChannel travel;
  testing::FakeResultTabs tabs(1);
  tabs.selected = 0;
  SearchForm form;
  form.tab = 2;
  EXPECT_EQ(travel.Engine(form, tabs), 2);
  EXPECT_EQ(travel.ListPosition(2), 0);
  EXPECT_FALSE(travel.Pages());
}

}  // namespace
}  // namespace jollix
