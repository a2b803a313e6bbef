#include "channels/DocSearchDialog.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "channels/FormTestBed.h"

namespace jollix {
namespace {

using testing::Control;
using testing::HttpReply;
using testing::Text;

const char16_t* const kTypeTexts[] = {u"所有文档",  u"WORD文档", u"PDF文档",
                                      u"EXCEL文档", u"PPT文档",  u"RTF文档"};

class CDocSearchDialogTest : public testing::FormTestBed {
 protected:
  CDocSearchDialogTest() : form(context) {}

  // The main window's document command with the engine's tab selected, which also adjusts the
  // file-type choices.
  void DocCommand(int engine) {
    form.SetEngineBoxes(engine == 2);
    PutUpTabs({"百度文档", "搜狗文档", "Google文档"}, {8, 9, 10}, engine);
  }
  QRadioButton* Type(int choice) {
    return Control<QRadioButton>(&form, ("type" + std::to_string(choice)).c_str());
  }
  std::vector<bool> Checked() {
    std::vector<bool> checked;
    for (int choice = 0; choice < CDocSearchDialog::kFileTypeCount; ++choice) {
      checked.push_back(Type(choice)->isChecked());
    }
    return checked;
  }

  CDocSearchDialog form;
};

TEST_F(CDocSearchDialogTest, HasTheQueryFieldTheSixTypesAllCheckedAndTheButton) {
  EXPECT_EQ(form.objectName(), "131");
  EXPECT_EQ(Control<QGroupBox>(&form, "doc_group")->title(), Text(u"互联网文档搜索"));
  QLineEdit* query = Control<QLineEdit>(&form, "query");
  ASSERT_EQ(query, form.QueryField());
  EXPECT_TRUE(query->text().isEmpty());
  EXPECT_EQ(query->accessibleName(), Text(u"搜索关键词："));
  QList<QLabel*> labels = form.findChildren<QLabel*>();
  ASSERT_EQ(labels.size(), 2);
  EXPECT_EQ(labels[0]->text(), Text(u"搜索关键词："));
  EXPECT_EQ(labels[0]->buddy(), query);
  EXPECT_EQ(labels[1]->text(), Text(u"文档格式："));
  EXPECT_EQ(labels[1]->buddy(), Type(0));
  EXPECT_EQ(Control<QWidget>(&form, "doc_types")->accessibleName(), Text(u"文档格式："));
  for (int choice = 0; choice < CDocSearchDialog::kFileTypeCount; ++choice) {
    EXPECT_EQ(Type(choice)->text(), Text(kTypeTexts[choice])) << choice;
    EXPECT_EQ(Type(choice), form.FileTypeButton(choice));
    EXPECT_FALSE(Type(choice)->isHidden()) << choice;
  }
  EXPECT_EQ(Checked(), (std::vector<bool>{true, false, false, false, false, false}));
  EXPECT_EQ(form.FileTypeChoice(), 0);
  QPushButton* button = Control<QPushButton>(&form, "search");
  ASSERT_EQ(button, form.SearchButton());
  EXPECT_EQ(button->text(), Text(u"Jollix文档搜索"));
  EXPECT_TRUE(button->isDefault());
}

TEST_F(CDocSearchDialogTest, ClickingATypeMakesItTheOnlyChoice) {
  form.show();
  for (int choice : {2, 5, 1, 0, 4, 3}) {
    QTest::mouseClick(Type(choice), Qt::LeftButton);
    EXPECT_EQ(form.FileTypeChoice(), choice);
    std::vector<bool> expected(CDocSearchDialog::kFileTypeCount, false);
    expected[choice] = true;
    EXPECT_EQ(Checked(), expected) << choice;
  }
}

TEST_F(CDocSearchDialogTest, EngineBoxesFollowTheDocumentCommands) {
  form.show();
  form.SetEngineBoxes(true);  // Google
  EXPECT_TRUE(Type(0)->isHidden());
  EXPECT_EQ(Checked(), (std::vector<bool>{false, true, false, false, false, false}));
  EXPECT_EQ(form.FileTypeChoice(), 1);

  form.SetEngineBoxes(false);  // Baidu or Sogou
  EXPECT_FALSE(Type(0)->isHidden());
  EXPECT_EQ(Checked(), (std::vector<bool>{true, false, false, false, false, false}));

  QTest::mouseClick(Type(2), Qt::LeftButton);
  form.SetEngineBoxes(false);
  EXPECT_EQ(Checked(), (std::vector<bool>{true, false, false, false, false, false}));
  QTest::mouseClick(Type(4), Qt::LeftButton);
  form.SetEngineBoxes(true);
  EXPECT_EQ(Checked(), (std::vector<bool>{false, true, false, false, false, false}));
  EXPECT_EQ(form.FileTypeChoice(), 1);
}

TEST_F(CDocSearchDialogTest, BaiduSearchForPdfShowsTheDocumentsWithTheirIcons) {
  dir.Write("index/virtualfile.pdf", "");
  dir.Write("index/virtualfile.unknowextend", "");
  server.ServeForHost(
      "www.baidu.com", "/s",
      HttpReply::Page("百度一下"
                      "【PDF】<a href=\"http://d.cn/a.pdf\">报告</a><br>略<br>摘要<br>d.cn 245K "
                      "2007-3-1<br>【Ape】<a href=\"http://d.cn/b.ape\">怪</a><br>略<br>摘要二<br>"
                      "d.cn 1K<br>"));
  DocCommand(0);
  form.QueryField()->setText(Text(u"天气"));
  QTest::mouseClick(Type(2), Qt::LeftButton);
  form.SearchButton()->click();

  EXPECT_EQ(Targets(),
            std::vector<std::string>{
                "www.baidu.com/s?rn=100&tn=tavrelund_dg&wd=filetype%3Apdf+%CC%EC%C6%F8"});
  ASSERT_EQ(view->Page(8)->RowCount(), 2);
  EXPECT_EQ(RowCells(8, 0), (std::vector<std::string>{"报告", "pdf", "http://d.cn/a.pdf",
                                                      "245K 2007-3-1", "摘要"}));
  EXPECT_EQ(RowCells(8, 1)[1], "ape");
  EXPECT_EQ(icons.Count(), 2);  // the pdf and the unknown-type icons
  EXPECT_EQ(form.CurrentList(), view->Page(8));
  EXPECT_EQ(status.Last(kChannelStatusPane),
            "Jollix超级搜索---迅速搜索桌面、网页、新闻、文档、音乐、学术、软件、航班..."
            "找到符合条件的文档 2  个！");
}

TEST_F(CDocSearchDialogTest, GoogleTabWithAllDocumentsIsRefusedWithoutFetching) {
  PutUpTabs({"百度文档", "搜狗文档", "Google文档"}, {8, 9, 10}, 2);  // a click on the tab
  form.show();
  QTest::keyClicks(form.QueryField(), "plan");
  QTest::keyClick(form.QueryField(), Qt::Key_Return);
  EXPECT_TRUE(server.Requests().empty());
  ASSERT_EQ(prompter.messages().size(), 1u);
  EXPECT_EQ(prompter.messages()[0].text,
            "谷歌不支持搜索所有类型的文档，请选择您需要的具体文件类型！");
  EXPECT_EQ(prompter.messages()[0].caption, "格式选择错误");
  EXPECT_EQ(view->Page(10)->RowCount(), 0);
}

TEST_F(CDocSearchDialogTest, GoogleCommandSearchesWordDocumentsOnEnter) {
  server.ServeForHost("www.google.cn", "/search",
                      HttpReply::Page("的查询结果<p class=w><b>[DOC]</b><a href=\"http://g.cn/"
                                      "a.doc\">计划</a><br>摘要<br></p>"));
  DocCommand(2);
  form.show();
  QTest::keyClicks(form.QueryField(), "plan");
  QTest::keyClick(form.QueryField(), Qt::Key_Return);
  EXPECT_TRUE(prompter.messages().empty());
  EXPECT_EQ(Targets(), std::vector<std::string>{"www.google.cn/search?num=50&complete=1&hl=zh-CN&"
                                                "q=filetype%3Adoc+plan&meta="});
  ASSERT_EQ(view->Page(10)->RowCount(), 1);
  EXPECT_EQ(RowCells(10, 0),
            (std::vector<std::string>{"计划", "doc", "http://g.cn/a.doc", "Google未提供", "摘要"}));
}

TEST_F(CDocSearchDialogTest, EscapeNeitherClosesNorHidesTheForm) {
  CheckEscapeIsSwallowed<CDocSearchDialog>();
}

TEST_F(CDocSearchDialogTest, FitsTheSideBar) { CheckLayout(&form, "doc"); }

}  // namespace
}  // namespace jollix
