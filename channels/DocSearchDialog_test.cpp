#include "channels/DocSearchDialog.h"

#include <QRadioButton>
#include <QTest>

#include "channels/FormTestBed.h"

namespace jollix {
namespace {

using testing::Control;
using testing::HttpReply;
using testing::Text;

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

// The table in ChannelPane_test checks the texts, the caption and the first choice checked.
TEST_F(CDocSearchDialogTest, FileTypeButtonsAreTheChoicesWithAllDocumentsChosen) {
  for (int choice = 0; choice < CDocSearchDialog::kFileTypeCount; ++choice) {
    EXPECT_EQ(Type(choice), form.FileTypeButton(choice)) << choice;
  }
  EXPECT_EQ(Checked(), (std::vector<bool>{true, false, false, false, false, false}));
  EXPECT_EQ(form.FileTypeChoice(), 0);
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
  EXPECT_EQ(Status(),
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

}  // namespace
}  // namespace jollix
