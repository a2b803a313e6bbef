#include "results/OpenResult.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "common/Gbk.h"
#include "testing/FakePorts.h"
#include "testing/TempDir.h"

namespace jollix {
namespace {

using testing::FakePrompter;
using testing::FakeResultPage;
using testing::FakeShell;

class OpenResultTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // A row with an address in every column, so that each type's column shows.
    const int row = page_.InsertRow(0, Address(0).c_str(), -1);
    for (int c = 1; c < 6; ++c) page_.SetCell(row, c, Address(c).c_str());
    page_.InsertRow(1, "other", -1);
  }
  static std::string Address(int column) {
    return "http://www.example.com/c" + std::to_string(column);
  }
  OpenOutcome Open(int type, int url_column, std::vector<int> selected = {0}) {
    return OpenSelectedResult(page_, selected, type, url_column, shell_, prompter_, resolve_);
  }

  FakeResultPage page_;
  FakeShell shell_;
  FakePrompter prompter_;
  std::vector<std::string> resolved_;
  SongResolver resolve_ = [this](const char* url, std::string* link) {
    resolved_.push_back(url);
    *link = std::string(url) + "/song.mp3";
    return true;
  };
};

TEST_F(OpenResultTest, OpensTheUrlColumnOfTheOneSelectedRow) {
  EXPECT_EQ(Open(1, 1), OpenOutcome::kOpened);
  EXPECT_EQ(Open(5, 2), OpenOutcome::kOpened);
  EXPECT_EQ(Open(17, 4), OpenOutcome::kOpened);
  EXPECT_EQ(shell_.opened, (std::vector<std::string>{Address(1), Address(2), Address(4)}));
  EXPECT_EQ(shell_.opened_kinds, std::vector<ShellTargetKind>(3, ShellTargetKind::kWebAddress));
  EXPECT_TRUE(prompter_.messages().empty());
}

TEST_F(OpenResultTest, OnlyExactlyOneSelectedRowOpens) {
  EXPECT_EQ(Open(1, 1, {}), OpenOutcome::kNothing);
  EXPECT_EQ(Open(1, 1, {0, 1}), OpenOutcome::kNothing);
  EXPECT_TRUE(shell_.opened.empty());
}

TEST_F(OpenResultTest, TypesWithoutAnAddressOpenNothing) {
  for (int type : {13, 15, 16, 20, 21, 22, 25}) {
    EXPECT_EQ(Open(type, 1), OpenOutcome::kNothing) << type;
  }
  EXPECT_TRUE(shell_.opened.empty());
  for (int type = 0; type < 26; ++type) {
    EXPECT_EQ(OpensNothing(type), type == 13 || type == 15 || type == 16 || type >= 20) << type;
  }
}

TEST_F(OpenResultTest, ADesktopRowOpensFolderPlusNameOnDiskWhileItIsThere) {
  testing::TempDir dir;
  dir.Write(reinterpret_cast<const char*>(u8"文件夹/报告.txt"), "x");
  const std::string folder = FileNameToGbk(dir / reinterpret_cast<const char*>(u8"文件夹/"));
  FakeResultPage desktop;
  desktop.InsertRow(0, "报告.txt", -1);
  desktop.SetCell(0, 1, folder.c_str());
  EXPECT_EQ(OpenSelectedResult(desktop, {0}, 0, 0, shell_, prompter_), OpenOutcome::kOpened);
  EXPECT_EQ(shell_.opened, std::vector<std::string>{folder + "报告.txt"});
  EXPECT_EQ(shell_.opened_kinds, std::vector<ShellTargetKind>{ShellTargetKind::kLocalPath});
  EXPECT_TRUE(prompter_.messages().empty());

  // Removed since the search: the opener is not started and the user is told.
  std::remove((dir / reinterpret_cast<const char*>(u8"文件夹/报告.txt")).c_str());
  EXPECT_EQ(OpenSelectedResult(desktop, {0}, 0, 0, shell_, prompter_), OpenOutcome::kFailed);
  EXPECT_EQ(shell_.opened.size(), 1u);
  ASSERT_EQ(prompter_.messages().size(), 1u);
  EXPECT_EQ(prompter_.messages()[0].text, kOpenFailedMessage);
}

TEST_F(OpenResultTest, ADesktopRowIsNeverAWebAddress) {
  // The row of a search without hits, and a file whose name looks like a host name that is
  // not there: both fail as files, neither reaches the browser.
  testing::TempDir dir;
  FakeResultPage desktop;
  desktop.InsertRow(0, "搜索完毕，没有结果可显示", -1);
  desktop.InsertRow(1, "www.example.com", -1);
  desktop.SetCell(1, 1, (FileNameToGbk(dir.path()) + "/").c_str());
  for (int row : {0, 1}) {
    FakePrompter prompter;
    EXPECT_EQ(OpenSelectedResult(desktop, {row}, 0, 0, shell_, prompter), OpenOutcome::kFailed);
    ASSERT_EQ(prompter.messages().size(), 1u);
    EXPECT_EQ(prompter.messages()[0].text, kOpenFailedMessage);
  }
  EXPECT_TRUE(shell_.opened.empty());
}

TEST_F(OpenResultTest, AWebRowOpensOnlyAnHttpOrHttpsAddress) {
  testing::TempDir dir;
  dir.Write("evil.desktop", "[Desktop Entry]\nExec=sh\n");
  const std::string local = FileNameToGbk(dir / "evil.desktop");
  struct Case {
    std::string cell;
    const char* opened;  // null: refused
  } cases[] = {
      {"https://www.example.com/a", "https://www.example.com/a"},
      {"www.example.com/soft/1.html", "http://www.example.com/soft/1.html"},
      {local, nullptr},
      {"file://" + local, nullptr},
      {"ftp://files.example.com/a.zip", nullptr},
      {"", nullptr},
  };
  for (const Case& c : cases) {
    for (int type : {1, 8, 17}) {  // web pages, documents, software
      FakeResultPage page;
      page.InsertRow(0, "", -1);
      page.SetCell(0, 1, c.cell.c_str());
      FakeShell shell;
      FakePrompter prompter;
      const OpenOutcome outcome = OpenSelectedResult(page, {0}, type, 1, shell, prompter);
      if (c.opened) {
        EXPECT_EQ(outcome, OpenOutcome::kOpened) << c.cell;
        EXPECT_EQ(shell.opened, std::vector<std::string>{c.opened});
        EXPECT_EQ(shell.opened_kinds, std::vector{ShellTargetKind::kWebAddress});
      } else {
        EXPECT_EQ(outcome, OpenOutcome::kFailed) << c.cell;
        EXPECT_TRUE(shell.opened.empty()) << c.cell;
        ASSERT_EQ(prompter.messages().size(), 1u);
        EXPECT_EQ(prompter.messages()[0].text,
                  IsDownloadType(type) ? kDownloadFailedMessage : kOpenFailedMessage);
      }
    }
  }
  // A song page cannot point a music row at a local file either.
  resolve_ = [&](const char*, std::string* link) {
    *link = local;
    return true;
  };
  EXPECT_EQ(Open(11, 5), OpenOutcome::kFailed);
  EXPECT_TRUE(shell_.opened.empty());
}

TEST_F(OpenResultTest, MusicRowsOpenTheResolvedSongLink) {
  EXPECT_EQ(Open(11, 5), OpenOutcome::kOpened);
  EXPECT_EQ(Open(12, 5), OpenOutcome::kOpened);
  EXPECT_EQ(resolved_, (std::vector<std::string>{Address(5), Address(5)}));
  EXPECT_EQ(shell_.opened, std::vector<std::string>(2, Address(5) + "/song.mp3"));
  resolve_ = [](const char*, std::string*) { return false; };
  EXPECT_EQ(Open(11, 5), OpenOutcome::kNoSongLink);
  EXPECT_EQ(shell_.opened.size(), 2u);
  EXPECT_EQ(Open(1, 1), OpenOutcome::kOpened);  // other types never resolve
}

TEST_F(OpenResultTest, FailureMessagesByType) {
  shell_.open_result = false;
  for (int type : {0, 1, 2, 3, 5, 6, 8, 9, 10, 11, 12, 14, 17, 18, 19}) {
    FakePrompter prompter;
    EXPECT_EQ(OpenSelectedResult(page_, {0}, type, 1, shell_, prompter, resolve_),
              OpenOutcome::kFailed);
    ASSERT_EQ(prompter.messages().size(), 1u) << type;
    const auto m = prompter.messages()[0];
    if (IsDownloadType(type)) {
      EXPECT_EQ(m.text, kDownloadFailedMessage) << type;
      EXPECT_EQ(m.caption, kDownloadFailedCaption) << type;
    } else {
      EXPECT_EQ(m.text, kOpenFailedMessage) << type;
      EXPECT_EQ(m.caption, "") << type;  // the application title
    }
  }
  EXPECT_TRUE(IsDownloadType(8) && IsDownloadType(12) && IsDownloadType(17) && IsDownloadType(19));
  EXPECT_FALSE(IsDownloadType(7) || IsDownloadType(13) || IsDownloadType(16) ||
               IsDownloadType(20) || IsDownloadType(0));
}

}  // namespace
}  // namespace jollix
