#include "shell/ChannelCommands.h"

#include "channels/SearchState.h"

namespace jollix {
namespace {

using F = InnerTabForm;

const std::vector<const char*> kDesktopLabels = {"Jollix桌面搜索"};
const std::vector<const char*> kWebLabels = {"百度网页", "Google网页", "雅虎网页"};
const std::vector<const char*> kNewsLabels = {"百度新闻", "Google资讯"};
const std::vector<const char*> kDocLabels = {"百度文档", "搜狗文档", "Google文档"};
const std::vector<const char*> kMusicLabels = {"百度MP3", "雅虎MP3"};
const std::vector<const char*> kSoftwareLabels = {"天空下载", "华军下载", "新浪下载"};

// The four desktop sub-choices and the check flags a channel command clears.
constexpr CheckFlag kSubFlags[] = {kTextFlag, kPictureFlag, kMediaFlag, kExecutableFlag};
constexpr CheckFlag kChannelFlags[] = {kDesktopFlag,   kWebPageFlag, kNewsFlag,
                                       kDocumentFlag,  kMusicFlag,   kSoftwareFlag,
                                       kEducationFlag, kTravelFlag,  kSettingsFlag};

ChannelCommand Desktop(int id, const char* item, int tab, std::optional<CheckFlag> sub) {
  return {id, item, F::kDesktop, tab, kDesktopLabels, {0}, 0, {0}, 0, 0, -1, kDesktopFlag, sub};
}

}  // namespace

bool CheckFlags::Checked(int id) const {
  switch (id) {
    case 32796:
      return Value[kDesktopFlag];
    case 32795:
      return Value[kTextFlag];
    case 32794:
      return Value[kPictureFlag];
    case 32793:
      return Value[kMediaFlag];
    case 32797:
      return Value[kExecutableFlag];
    case 32821:
      return Value[kWebPageFlag];
    case 32833:
      return Value[kNewsFlag];
    case 32802:
    case 32803:
    case 32804:
      return Value[kDocumentFlag];
    case 32811:
      return Value[kMusicFlag];
    case 32849:
      return Value[kSoftwareFlag];
    case 32843:
      return Value[kEducationFlag];
    case 32858:
      return Value[kTravelFlag];
    case 32887:
      return Value[kSettingsFlag];
    default:
      return false;
  }
}

const std::vector<ChannelCommand>& ChannelCommandTable() {
  static const std::vector<ChannelCommand> table = [] {
    std::vector<ChannelCommand> t;
    t.push_back(Desktop(32796, "所有", 0, std::nullopt));
    t.push_back(Desktop(32795, "文本", 1, kTextFlag));
    t.push_back(Desktop(32794, "图片", 2, kPictureFlag));
    t.push_back(Desktop(32793, "音视频", 3, kMediaFlag));
    t.push_back(Desktop(32797, "可执行", 4, kExecutableFlag));
    for (int engine = 0; engine < 3; ++engine) {
      static const char* const kItems[] = {"百度网页搜索", "Google网页搜索", "雅虎网页搜索"};
      t.push_back({32821 + engine,
                   kItems[engine],
                   F::kNone,
                   0,
                   kWebLabels,
                   {1, 2, 3},
                   engine,
                   {1},
                   1 + engine,
                   1,
                   2,
                   kWebPageFlag});
    }
    for (int engine = 0; engine < 2; ++engine) {
      static const char* const kItems[] = {"百度新闻搜索", "Google资讯搜索"};
      t.push_back({32833 + engine,
                   kItems[engine],
                   F::kNone,
                   0,
                   kNewsLabels,
                   {5, 6, 7},
                   engine,
                   {2},
                   5 + engine,
                   2,
                   3,
                   kNewsFlag});
    }
    for (int engine = 0; engine < 3; ++engine) {
      static const char* const kItems[] = {"百度文档搜索", "搜狗文档搜索", "Google文档搜索"};
      ChannelCommand c = {32802 + engine,
                          kItems[engine],
                          F::kNone,
                          0,
                          kDocLabels,
                          {8, 9, 10},
                          engine,
                          {3},
                          8 + engine,
                          2,
                          4,
                          kDocumentFlag};
      c.DocumentGoogle = engine == 2;
      t.push_back(c);
    }
    t.push_back({32811,
                 "百度音乐搜索",
                 F::kNone,
                 0,
                 kMusicLabels,
                 {11, 12},
                 0,
                 {4},
                 11,
                 5,
                 -1,
                 kMusicFlag});
    t.push_back({32873,
                 "雅虎音乐搜索",
                 F::kNone,
                 0,
                 kMusicLabels,
                 {11, 12},
                 1,
                 {4},
                 12,
                 5,
                 -1,
                 kMusicFlag});
    t.push_back({32843,
                 "学术论文搜索",
                 F::kEducation,
                 0,
                 {"Google Scholar"},
                 {13},
                 0,
                 {5},
                 13,
                 3,
                 -1,
                 kEducationFlag});
    t.push_back({32845,
                 "国学搜索",
                 F::kEducation,
                 1,
                 {"百度国学"},
                 {14},
                 0,
                 {5},
                 14,
                 1,
                 2,
                 kEducationFlag});
    t.push_back({32874,
                 "词语搜索",
                 F::kEducation,
                 2,
                 {"搜狗词语查询"},
                 {15},
                 0,
                 {5},
                 15,
                 5,
                 -1,
                 kEducationFlag});
    t.push_back({32875,
                 "英汉词典",
                 F::kEducation,
                 3,
                 {"百度词典"},
                 {16},
                 0,
                 {5},
                 16,
                 std::nullopt,
                 -1,
                 kEducationFlag});
    for (int engine = 0; engine < 3; ++engine) {
      static const char* const kItems[] = {"天空软件搜索", "华军软件搜索", "新浪软件搜索"};
      t.push_back({32849 + engine,
                   kItems[engine],
                   F::kEducation,
                   0,
                   kSoftwareLabels,
                   {17, 18, 19},
                   engine,
                   {6},
                   17 + engine,
                   4,
                   5,
                   kSoftwareFlag});
    }
    ChannelCommand weather = {32858,  "天气搜索", F::kTravel,   0,  {"新浪天气搜索"}, {20}, 0,
                              {5, 7}, 20,         std::nullopt, -1, kTravelFlag};
    weather.HidesSecondTravelField = true;
    t.push_back(weather);
    t.push_back({32897,
                 "列车时刻表",
                 F::kTravel,
                 1,
                 {"火车票网列车时刻查询"},
                 {21},
                 0,
                 {5, 7},
                 21,
                 std::nullopt,
                 -1,
                 kTravelFlag});
    t.push_back({32898,
                 "航班时刻表",
                 F::kTravel,
                 2,
                 {"飞友网航班时刻搜索"},
                 {22},
                 0,
                 {7},
                 22,
                 std::nullopt,
                 -1,
                 kTravelFlag});
    t.push_back({32880,
                 "手机号码归属地查询",
                 F::kTravel,
                 3,
                 {"手机之家归属地搜索"},
                 {25},
                 0,
                 {7},
                 25,
                 std::nullopt,
                 -1,
                 kTravelFlag});
    return t;
  }();
  return table;
}

const ChannelCommand* FindChannelCommand(int id) {
  for (const ChannelCommand& c : ChannelCommandTable()) {
    if (c.Id == id) return &c;
  }
  return nullptr;
}

void RunChannelCommand(const ChannelCommand& c, ChannelWindow& window, CheckFlags& flags) {
  if (c.Form == F::kDesktop) window.ShowSidePage(0);
  if (c.Form != F::kNone) window.SelectFormTab(c.Form, c.InnerTab);
  window.RemoveAllTabs();
  for (const char* label : c.Labels) window.AddTabLabel(label);
  window.PlacePages(c.Pages);
  window.SelectPosition(c.Selected);
  for (int page : c.SidePages) window.ShowSidePage(page);
  if (c.HidesSecondTravelField) window.HideSecondTravelField();
  if (c.DocumentGoogle) window.SetDocumentEngineBoxes(*c.DocumentGoogle);

  for (CheckFlag f : kChannelFlags) flags.Value[f] = 0;
  flags.Value[c.Flag] = 1;
  if (c.Form == F::kDesktop) {
    for (CheckFlag f : kSubFlags) flags.Value[f] = c.SubFlag == f ? 1 : 0;
  }
  ResultType = c.ResultTypeValue;
  if (c.UrlColumnValue) UrlColumn = *c.UrlColumnValue;
  DetailColumn = c.DetailColumnValue;
}

void SetFlagsForSettingsDialog(CheckFlags& flags) {
  for (CheckFlag f : kChannelFlags) flags.Value[f] = 0;
  flags.Value[kSettingsFlag] = 1;
}

void SetFlagsAfterSettingsDialog(CheckFlags& flags) {
  for (CheckFlag f : kChannelFlags) flags.Value[f] = 0;
  flags.Value[kDesktopFlag] = 1;
}

const std::vector<Menu>& MainMenus() {
  static const std::vector<Menu> menus = {
      {"文件(&F)", {{"", 0}, {"退出(&X)", kExitCommand}}},
      {"编辑(&E)",
       {{"撤消\tCtrl+Z(&U)", 57643, true},
        {"", 0},
        {"剪切\tCtrl+X(&T)", 57635, true},
        {"复制\tCtrl+C(&C)", 57634, true},
        {"粘贴\tCtrl+V(&P)", 57637, true}}},
      {"视图(&V)", {{"上一页", kPreviousPageCommand}, {"下一页", kNextPageCommand}}},
      {"桌面搜索",
       {{"所有", 32796},
        {"文本", 32795},
        {"图片", 32794},
        {"音视频", 32793},
        {"可执行", 32797},
        {"邮件", kMailCommand, true}}},
      {"网页搜索", {{"百度网页搜索", 32821}, {"Google网页搜索", 32822}, {"雅虎网页搜索", 32823}}},
      {"新闻搜索",
       {{"百度新闻搜索", 32833},
        {"Google资讯搜索", 32834},
        {"雅虎资讯搜索", kYahooNewsCommand, true}}},
      {"文档搜索", {{"百度文档搜索", 32802}, {"搜狗文档搜索", 32803}, {"Google文档搜索", 32804}}},
      {"音乐搜索", {{"百度音乐搜索", 32811}, {"雅虎音乐搜索", 32873}}},
      {"教育搜索",
       {{"学术论文搜索", 32843}, {"国学搜索", 32845}, {"词语搜索", 32874}, {"英汉词典", 32875}}},
      {"软件搜索", {{"天空软件搜索", 32849}, {"华军软件搜索", 32850}, {"新浪软件搜索", 32851}}},
      {"出行搜索",
       {{"天气搜索", 32858},
        {"列车时刻表", 32897},
        {"航班时刻表", 32898},
        {"手机号码归属地查询", 32880}}},
      {"工具",
       {{"系统设置", kSettingsCommand},
        {"立即更新索引", kUpdateIndexCommand},
        {"检测最新版本", kCheckVersionCommand}}},
      {"帮助(&H)",
       {{"关于作者", kHelpCommand},
        {"用户手册", kHelpCommand},
        {"关于合作推广", kHelpCommand},
        {"关于Jollix超级搜索", kAboutCommand}}},
  };
  return menus;
}

const std::vector<ToolButton>& ToolButtons() {
  static const std::vector<ToolButton> buttons = {
      {32796, "桌面"},
      {32821, "网页"},
      {32833, "新闻"},
      {32802, "文档"},
      {32811, "音乐"},
      {0, ""},
      {32843, "教育"},
      {32849, "软件"},
      {32858, "出行"},
      {0, ""},
      {kPreviousPageCommand, "上页"},
      {kNextPageCommand, "下页"},
      {kSettingsCommand, "设置"},
      {kHelpCommand, "帮助"},
      {kExitCommand, "退出"},
  };
  return buttons;
}

const std::vector<Accelerator>& Accelerators() {
  static const std::vector<Accelerator> keys = {
      {"F6", kNextPaneCommand},
      {"Shift+F6", kPreviousPaneCommand},
  };
  return keys;
}

}  // namespace jollix
