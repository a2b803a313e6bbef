// What every side-bar form of the web channels shares, checked on each of them: its group, its
// caption and query field, its choice buttons or tab strip, its default search button, Escape
// swallowed, the room for every text at the side bar's size, and for the forms that ask for it
// the focus in the query field when shown.
#include "channels/ChannelPane.h"

#include <QGroupBox>
#include <QRadioButton>
#include <functional>

#include "channels/DocSearchDialog.h"
#include "channels/EducationSearchDialog.h"
#include "channels/FormTestBed.h"
#include "channels/Mp3SearchDialog.h"
#include "channels/NewsSearchDialog.h"
#include "channels/PageSearchDialog.h"
#include "channels/SoftwareSearchDialog.h"
#include "channels/TripSearchDialog.h"

namespace jollix {
namespace {

using testing::Control;
using testing::Text;

struct Choice {
  const char* id;
  const char16_t* text;
};

struct FormCase {
  const char* name;  // of the test and of the saved picture
  std::function<ChannelPane*(const ChannelContext&)> make;
  const char* form_id;
  const char* group_id;
  const char16_t* title;
  int labels;            // captions on the form
  const char* label_id;  // of the query field's caption; null: it has none
  const char16_t* caption;
  const char* field_id;
  const char* button_id;
  const char16_t* button_text;
  bool focuses_query;                // showing the form puts the focus into the query field
  const char* choice_box = nullptr;  // the box of choice buttons under their caption, if any
  const char16_t* choice_caption = nullptr;
  std::vector<Choice> choices = {};  // the first one checked when the form opens
  const char* tab_strip = nullptr;   // the form's own tab strip, if any
  std::vector<const char16_t*> tabs = {};
};

// Names the form in a failure's message.
void PrintTo(const FormCase& c, std::ostream* os) { *os << c.name; }

template <class Form>
ChannelPane* Make(const ChannelContext& context) {
  return new Form(context);
}

const std::vector<Choice> kDocTypes = {{"type0", u"所有文档"}, {"type1", u"WORD文档"},
                                       {"type2", u"PDF文档"},  {"type3", u"EXCEL文档"},
                                       {"type4", u"PPT文档"},  {"type5", u"RTF文档"}};
const std::vector<Choice> kMusicFormats = {
    {"1047", u"全部音乐"}, {"1054", u"mp3文件"}, {"1055", u"rm文件"}, {"1056", u"wma文件"}};
const std::vector<Choice> kNoChoices;
const std::vector<const char16_t*> kEducationTabTexts = {u"论文", u"国学", u"成语", u"词典"};
const std::vector<const char16_t*> kTripTabTexts = {u"天气", u"列车", u"航班", u"手机"};

// Columns: name; factory; form id; group id and title; captions on the form; the query field's
// caption id, caption and field id; button id and text; focus on show; choices; tab strip.
const FormCase kForms[] = {
    {"web", Make<CPageSearchDialog>, "148", "page_group", u"网页搜索", 1, nullptr, u"查询关键词：",
     "query", "search", u"Jollix网页搜索", true},
    {"news", Make<CNewsSearchDialog>, "147", "news_group", u"互联网新闻搜索", 1, nullptr,
     u"查询关键词：", "query", "search", u"Jollix新闻搜索", true},
    {"doc", Make<CDocSearchDialog>, "131", "doc_group", u"互联网文档搜索", 2, nullptr,
     u"搜索关键词：", "query", "search", u"Jollix文档搜索", true, "doc_types", u"文档格式：",
     kDocTypes},
    {"mp3", Make<CMp3SearchDialog>, "132", "mp3_group", u"互联网音乐搜索", 2, nullptr,
     u"搜索关键词：", "1011", "1039", u"Jollix音乐搜索", true, "mp3_formats", u"音乐格式：",
     kMusicFormats},
    {"software", Make<CSoftwareSearchDialog>, "145", "software_group", u"软件搜索", 1,
     "software_label", u"软件中包含的字符：", "1011", "1", u"Jollix软件搜索", false},
    {"education", Make<CEducationSearchDialog>, "144", "education_group", u"教育搜索", 1,
     "education_label", u"查询关键词：", "education_query", "1", u"Jollix教育搜索", false, nullptr,
     nullptr, kNoChoices, "education_tabs", kEducationTabTexts},
    {"travel", Make<CTripSearchDialog>, "146", "travel_group", u"出行搜索", 2, "1048",
     u"查询关键词：", "1050", "1", u"Jollix出行搜索", false, nullptr, nullptr, kNoChoices, "1003",
     kTripTabTexts},
};

class ChannelFormTest : public testing::FormTestBed,
                        public ::testing::WithParamInterface<FormCase> {
 protected:
  ChannelFormTest() : form(GetParam().make(context)) {}

  std::unique_ptr<ChannelPane> form;
};

TEST_P(ChannelFormTest, HasItsGroupCaptionQueryFieldAndDefaultButton) {
  const FormCase& c = GetParam();
  EXPECT_EQ(form->objectName(), c.form_id);
  auto* group = Control<QGroupBox>(form.get(), c.group_id);
  ASSERT_NE(group, nullptr);
  EXPECT_EQ(group->title(), Text(c.title));
  auto* query = Control<QLineEdit>(form.get(), c.field_id);
  ASSERT_NE(query, nullptr);
  ASSERT_EQ(query, form->QueryField());
  EXPECT_TRUE(query->text().isEmpty());
  EXPECT_EQ(query->accessibleName(), Text(c.caption));
  QList<QLabel*> labels = form->findChildren<QLabel*>();
  ASSERT_EQ(labels.size(), c.labels);
  EXPECT_EQ(labels[0]->text(), Text(c.caption));
  EXPECT_EQ(labels[0]->buddy(), query);
  EXPECT_EQ(labels[0]->objectName(), QString::fromLatin1(c.label_id ? c.label_id : ""));
  auto* button = Control<QPushButton>(form.get(), c.button_id);
  ASSERT_NE(button, nullptr);
  ASSERT_EQ(button, form->SearchButton());
  EXPECT_EQ(button->text(), Text(c.button_text));
  EXPECT_TRUE(button->isDefault());
  EXPECT_TRUE(commands.empty());  // building the form runs no main-window command
}

TEST_P(ChannelFormTest, HasItsChoicesUnderTheirCaptionWithTheFirstChecked) {
  const FormCase& c = GetParam();
  if (!c.choice_box) {
    EXPECT_TRUE(form->findChildren<QRadioButton*>().empty());
    return;
  }
  QList<QLabel*> labels = form->findChildren<QLabel*>();
  ASSERT_EQ(labels.size(), 2);
  EXPECT_EQ(labels[1]->text(), Text(c.choice_caption));
  EXPECT_EQ(Control<QWidget>(form.get(), c.choice_box)->accessibleName(), Text(c.choice_caption));
  EXPECT_EQ(form->findChildren<QRadioButton*>().size(), c.choices.size());
  for (size_t i = 0; i < c.choices.size(); ++i) {
    auto* button = Control<QRadioButton>(form.get(), c.choices[i].id);
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->text(), Text(c.choices[i].text)) << c.choices[i].id;
    EXPECT_EQ(button->isChecked(), i == 0) << c.choices[i].id;
    EXPECT_FALSE(button->isHidden()) << c.choices[i].id;
  }
  EXPECT_EQ(labels[1]->buddy(), Control<QRadioButton>(form.get(), c.choices[0].id));
}

TEST_P(ChannelFormTest, HasItsTabStripOnTheFirstTab) {
  const FormCase& c = GetParam();
  if (!c.tab_strip) {
    EXPECT_EQ(form->findChild<QTabBar*>(), nullptr);
    return;
  }
  auto* tabs = Control<QTabBar>(form.get(), c.tab_strip);
  ASSERT_NE(tabs, nullptr);
  ASSERT_EQ(tabs->count(), static_cast<int>(c.tabs.size()));
  for (int i = 0; i < tabs->count(); ++i) EXPECT_EQ(tabs->tabText(i), Text(c.tabs[i])) << i;
  EXPECT_EQ(tabs->currentIndex(), 0);
}

// Escape in the query field and on the form itself, with the form in a dialog (which closes on
// an Escape that reaches it): the dialog and the form stay shown, and nothing is searched.
TEST_P(ChannelFormTest, EscapeNeitherClosesNorHidesTheForm) {
  ChannelPane* shown = form.release();
  testing::DialogHost host(shown);
  QTest::keyClick(shown->QueryField(), Qt::Key_Escape);
  QTest::keyClick(shown, Qt::Key_Escape);
  EXPECT_TRUE(host.dialog().isVisible());
  EXPECT_TRUE(shown->isVisible());
  EXPECT_TRUE(server.Requests().empty());
  EXPECT_TRUE(prompter.messages().empty());
}

TEST_P(ChannelFormTest, FitsTheSideBar) { CheckLayout(form.get(), GetParam().name); }

INSTANTIATE_TEST_SUITE_P(EveryForm, ChannelFormTest, ::testing::ValuesIn(kForms),
                         [](const ::testing::TestParamInfo<FormCase>& info) {
                           return std::string(info.param.name);
                         });

class ChannelFormsTest : public testing::FormTestBed {};

TEST_F(ChannelFormsTest, ShowingAQueryFormFocusesItsQueryField) {
  int checked = 0;
  for (const FormCase& c : kForms) {
    if (!c.focuses_query) continue;
    SCOPED_TRACE(c.name);
    std::unique_ptr<ChannelPane> form(c.make(context));
    form->show();
    EXPECT_EQ(form->focusWidget(), form->QueryField());
    ++checked;
  }
  EXPECT_EQ(checked, 4);  // the web page, news, document and music forms
}

// The travel form on each of its other tabs (the table lays it out on its first).
TEST_F(ChannelFormsTest, TravelFormFitsTheSideBarOnEachTab) {
  CTripSearchDialog travel(context);
  for (int tab : {1, 2, 3, 0}) {
    travel.SelectTab(tab);
    CheckLayout(&travel, QString("travel-%1").arg(tab));
  }
}

}  // namespace
}  // namespace jollix
