#include "shell/ChannelCommands.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "channels/SearchState.h"
#include "results/ResultPages.h"
#include "results/ResultTabArrays.h"

namespace jollix {
namespace {

// The window as data: the real tab arrays, the side page and the forms' own strips. The travel
// and education strips run the commands of their tabs when they change, as those forms do.
class FakeWindow : public ChannelWindow {
 public:
  FakeWindow() {
    for (int type = 0; type < kResultPageCount; ++type) tabs.AddPage(ResultPageTitle(type));
    tabs.RemoveAllTabs();
    tabs.AddLabel("Jollix桌面搜索");
    tabs.Select(0);
  }
  void SelectFormTab(InnerTabForm form, int tab) override {
    int& current = form_tabs[static_cast<int>(form)];
    moves.push_back({form, tab});
    if (current == tab) return;
    current = tab;
    static const int kTravelCommands[] = {32858, 32897, 32898, 32880};
    static const int kEducationCommands[] = {32843, 32845, 32874, 32875};
    if (form == InnerTabForm::kTravel) Run(kTravelCommands[tab]);
    if (form == InnerTabForm::kEducation) Run(kEducationCommands[tab]);
  }
  void ShowSidePage(int page) override { side_pages.push_back(page); }
  void RemoveAllTabs() override { tabs.RemoveAllTabs(); }
  void AddTabLabel(const char* label) override { tabs.AddLabel(label); }
  void PlacePages(const std::vector<int>& pages) override { tabs.PlacePages(pages); }
  void SelectPosition(int position) override { tabs.Select(position); }
  void HideSecondTravelField() override { second_field_hidden = true; }
  void SetDocumentEngineBoxes(bool google) override { document_google.push_back(google); }

  void Run(int id) { RunChannelCommand(*FindChannelCommand(id), *this, flags); }
  std::vector<int> Checked() const {
    std::vector<int> ids;
    for (int id : {32796, 32795, 32794, 32793, 32797, 32821, 32822, 32833, 32802, 32803, 32804,
                   32811, 32849, 32843, 32858, 32887}) {
      if (flags.Checked(id)) ids.push_back(id);
    }
    return ids;
  }

  ResultTabArrays tabs;
  CheckFlags flags;
  int form_tabs[4] = {0, 0, 0, 0};
  std::vector<std::pair<InnerTabForm, int>> moves;
  std::vector<int> side_pages;
  bool second_field_hidden = false;
  std::vector<bool> document_google;
};

class ChannelCommandsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResultType = 0;
    UrlColumn = 0;
    DetailColumn = -1;
  }
};

struct Expected {
  int id;
  std::vector<std::string> labels;
  std::vector<int> pages;  // at positions 0, 1, ... (as many as given)
  int selected;
  int last_side_page;
  int result_type, url_column, detail_column;  // url_column -1: the one before stays (7 here)
  std::vector<int> checked;
};

TEST_F(ChannelCommandsTest, EveryCommandSetsItsTabsPagesSidePageFlagsAndNumbers) {
  const std::vector<std::string> web = {"百度网页", "Google网页", "雅虎网页"};
  const std::vector<std::string> doc = {"百度文档", "搜狗文档", "Google文档"};
  const std::vector<std::string> soft = {"天空下载", "华军下载", "新浪下载"};
  const Expected cases[] = {
      {32796, {"Jollix桌面搜索"}, {0}, 0, 0, 0, 0, -1, {32796}},
      {32795, {"Jollix桌面搜索"}, {0}, 0, 0, 0, 0, -1, {32796, 32795}},
      {32794, {"Jollix桌面搜索"}, {0}, 0, 0, 0, 0, -1, {32796, 32794}},
      {32793, {"Jollix桌面搜索"}, {0}, 0, 0, 0, 0, -1, {32796, 32793}},
      {32797, {"Jollix桌面搜索"}, {0}, 0, 0, 0, 0, -1, {32796, 32797}},
      {32821, web, {1, 2, 3, 0}, 0, 1, 1, 1, 2, {32821}},
      {32822, web, {1, 2, 3, 0}, 1, 1, 2, 1, 2, {32821}},
      {32823, web, {1, 2, 3, 0}, 2, 1, 3, 1, 2, {32821}},
      {32833, {"百度新闻", "Google资讯"}, {5, 6, 7, 3, 4, 0, 1, 2}, 0, 2, 5, 2, 3, {32833}},
      {32834, {"百度新闻", "Google资讯"}, {5, 6, 7}, 1, 2, 6, 2, 3, {32833}},
      {32802, doc, {8, 9, 10}, 0, 3, 8, 2, 4, {32802, 32803, 32804}},
      {32803, doc, {8, 9, 10}, 1, 3, 9, 2, 4, {32802, 32803, 32804}},
      {32804, doc, {8, 9, 10}, 2, 3, 10, 2, 4, {32802, 32803, 32804}},
      {32811, {"百度MP3", "雅虎MP3"}, {11, 12}, 0, 4, 11, 5, -1, {32811}},
      {32873, {"百度MP3", "雅虎MP3"}, {11, 12}, 1, 4, 12, 5, -1, {32811}},
      {32843, {"Google Scholar"}, {13}, 0, 5, 13, 3, -1, {32843}},
      {32845, {"百度国学"}, {14}, 0, 5, 14, 1, 2, {32843}},
      {32874, {"搜狗词语查询"}, {15}, 0, 5, 15, 5, -1, {32843}},
      {32875, {"百度词典"}, {16}, 0, 5, 16, -1, -1, {32843}},
      {32849, soft, {17, 18, 19}, 0, 6, 17, 4, 5, {32849}},
      {32850, soft, {17, 18, 19}, 1, 6, 18, 4, 5, {32849}},
      {32851, soft, {17, 18, 19}, 2, 6, 19, 4, 5, {32849}},
      {32858, {"新浪天气搜索"}, {20}, 0, 7, 20, -1, -1, {32858}},
      {32897, {"火车票网列车时刻查询"}, {21}, 0, 7, 21, -1, -1, {32858}},
      {32898, {"飞友网航班时刻搜索"}, {22}, 0, 7, 22, -1, -1, {32858}},
      {32880, {"手机之家归属地搜索"}, {25}, 0, 7, 25, -1, -1, {32858}},
  };
  for (const Expected& e : cases) {
    SCOPED_TRACE(e.id);
    FakeWindow window;
    UrlColumn = 7;
    window.Run(e.id);
    std::vector<std::string> labels(window.tabs.Labels().begin(), window.tabs.Labels().end());
    EXPECT_EQ(labels, e.labels);
    for (size_t p = 0; p < e.pages.size(); ++p) {
      EXPECT_EQ(window.tabs.PageArray()[p], e.pages[p]) << "position " << p;
    }
    EXPECT_EQ(window.tabs.Current(), e.selected);
    ASSERT_FALSE(window.side_pages.empty());
    EXPECT_EQ(window.side_pages.back(), e.last_side_page);
    EXPECT_EQ(ResultType.load(), e.result_type);
    EXPECT_EQ(UrlColumn.load(), e.url_column == -1 ? 7 : e.url_column);
    EXPECT_EQ(DetailColumn.load(), e.detail_column);
    EXPECT_EQ(window.Checked(), e.checked);
  }
}

TEST_F(ChannelCommandsTest, SubChoicesStayWhenAnotherChannelIsChosen) {
  FakeWindow window;
  window.Run(32795);  // 文本
  window.Run(32821);  // 百度网页搜索
  EXPECT_EQ(window.Checked(), (std::vector<int>{32795, 32821}));
  window.Run(32796);  // 所有 clears the sub-choices
  EXPECT_EQ(window.Checked(), (std::vector<int>{32796}));
}

TEST_F(ChannelCommandsTest, TheDictionaryAndTheTravelCommandsKeepTheAddressColumn) {
  FakeWindow window;
  window.Run(32849);  // software: column 4
  window.Run(32875);  // 英汉词典
  EXPECT_EQ(UrlColumn.load(), 4);
  window.Run(32845);  // 国学: column 1
  for (int id : {32858, 32897, 32898, 32880}) {
    window.Run(id);
    EXPECT_EQ(UrlColumn.load(), 1) << id;
  }
}

TEST_F(ChannelCommandsTest, InnerTabsMoveFirstAndTheirCommandsCompleteBeforeTheCommandsOwn) {
  FakeWindow window;
  // The software commands move the education form's strip to its first tab.
  window.Run(32845);  // 国学: education tab 1 (its handling runs 32845 again)
  window.moves.clear();
  window.Run(32850);
  ASSERT_FALSE(window.moves.empty());
  EXPECT_EQ(window.moves.front(), std::make_pair(InnerTabForm::kEducation, 0));
  EXPECT_EQ(window.form_tabs[static_cast<int>(InnerTabForm::kEducation)], 0);
  // The education tab handling ran 32843 (Scholar) first; the software command's values stand.
  EXPECT_EQ(ResultType.load(), 18);
  EXPECT_EQ(window.tabs.PageAt(0), 17);
  EXPECT_EQ(window.tabs.Current(), 1);
  EXPECT_EQ(window.Checked(), (std::vector<int>{32849}));

  // The train command moves the travel strip; the weather command, whose tab is selected at
  // start, hides the second field itself.
  window.Run(32897);
  EXPECT_FALSE(window.second_field_hidden);
  EXPECT_EQ(window.side_pages.back(), 7);
  window.Run(32858);
  EXPECT_TRUE(window.second_field_hidden);
  // The desktop commands show side page 0 before they move the desktop strip.
  window.side_pages.clear();
  window.moves.clear();
  window.Run(32794);
  EXPECT_EQ(window.side_pages.front(), 0);
  EXPECT_EQ(window.moves.back(), std::make_pair(InnerTabForm::kDesktop, 2));
}

TEST_F(ChannelCommandsTest, DocumentCommandsSetTheFormsEngineBoxes) {
  FakeWindow window;
  for (int id : {32802, 32803, 32804}) window.Run(id);
  EXPECT_EQ(window.document_google, (std::vector<bool>{false, false, true}));
}

TEST_F(ChannelCommandsTest, TheSettingsDialogLeavesTheDesktopCheckedAndTheResultTypeAsItWas) {
  FakeWindow window;
  window.Run(32822);
  SetFlagsForSettingsDialog(window.flags);
  EXPECT_EQ(window.Checked(), (std::vector<int>{32887}));
  SetFlagsAfterSettingsDialog(window.flags);
  EXPECT_EQ(window.Checked(), (std::vector<int>{32796}));
  EXPECT_EQ(ResultType.load(), 2);  // paging still repeats the Google web search
}

TEST_F(ChannelCommandsTest, TheWeatherAndTrainCommandsShowTheEducationPageThenTheTravelPage) {
  const std::pair<int, std::vector<int>> cases[] = {
      {32858, {5, 7}},  // 天气搜索
      {32897, {5, 7}},  // 列车时刻表
      {32898, {7}},     // 航班时刻表
      {32880, {7}},     // 手机号码归属地查询
  };
  const int travel = static_cast<int>(InnerTabForm::kTravel);
  for (const auto& [id, pages] : cases) {
    FakeWindow window;
    // The travel strip is at the command's tab already, so only the command's own steps run.
    window.form_tabs[travel] = FindChannelCommand(id)->InnerTab;
    window.Run(id);
    EXPECT_EQ(window.side_pages, pages) << id;
  }
}

// The menus as the main window shows them: titles, item texts, ids, separators (id 0) and the
// items that are disabled.
TEST_F(ChannelCommandsTest, TheMenusHoldTheirItemsWithTheirIds) {
  struct Item {
    std::string text;
    int id;
    bool disabled = false;
  };
  const std::vector<std::pair<std::string, std::vector<Item>>> expected = {
      {"文件(&F)", {{"", 0}, {"退出(&X)", 57665}}},
      {"编辑(&E)",
       {{"撤消\tCtrl+Z(&U)", 57643, true},
        {"", 0},
        {"剪切\tCtrl+X(&T)", 57635, true},
        {"复制\tCtrl+C(&C)", 57634, true},
        {"粘贴\tCtrl+V(&P)", 57637, true}}},
      {"视图(&V)", {{"上一页", 32892}, {"下一页", 32893}}},
      {"桌面搜索",
       {{"所有", 32796},
        {"文本", 32795},
        {"图片", 32794},
        {"音视频", 32793},
        {"可执行", 32797},
        {"邮件", 32798, true}}},
      {"网页搜索", {{"百度网页搜索", 32821}, {"Google网页搜索", 32822}, {"雅虎网页搜索", 32823}}},
      {"新闻搜索",
       {{"百度新闻搜索", 32833}, {"Google资讯搜索", 32834}, {"雅虎资讯搜索", 32835, true}}},
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
      {"工具", {{"系统设置", 32887}, {"立即更新索引", 32889}, {"检测最新版本", 32888}}},
      {"帮助(&H)",
       {{"关于作者", 32885},
        {"用户手册", 32885},
        {"关于合作推广", 32885},
        {"关于Jollix超级搜索", 32886}}},
  };
  const std::vector<Menu>& menus = MainMenus();
  ASSERT_EQ(menus.size(), expected.size());
  for (size_t m = 0; m < menus.size(); ++m) {
    SCOPED_TRACE(expected[m].first);
    EXPECT_EQ(menus[m].Title, expected[m].first);
    ASSERT_EQ(menus[m].Items.size(), expected[m].second.size());
    for (size_t i = 0; i < menus[m].Items.size(); ++i) {
      const MenuEntry& item = menus[m].Items[i];
      const Item& want = expected[m].second[i];
      EXPECT_EQ(item.Text, want.text) << i;
      EXPECT_EQ(item.Id, want.id) << want.text;
      EXPECT_EQ(item.Disabled, want.disabled) << want.text;
    }
  }
}

TEST_F(ChannelCommandsTest, TheToolbarHoldsItsButtonsInOrder) {
  const std::vector<std::pair<int, std::string>> expected = {
      {32796, "桌面"}, {32821, "网页"}, {32833, "新闻"}, {32802, "文档"}, {32811, "音乐"},
      {0, ""},         {32843, "教育"}, {32849, "软件"}, {32858, "出行"}, {0, ""},
      {32892, "上页"}, {32893, "下页"}, {32887, "设置"}, {32885, "帮助"}, {57665, "退出"},
  };
  std::vector<std::pair<int, std::string>> buttons;
  for (const ToolButton& b : ToolButtons()) buttons.push_back({b.Id, b.Label});
  EXPECT_EQ(buttons, expected);
  EXPECT_EQ(ChannelCommandTable().size(), 26u);
}

}  // namespace
}  // namespace jollix
