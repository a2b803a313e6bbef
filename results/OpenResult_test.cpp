#include "results/OpenResult.h"

#include <gtest/gtest.h>

#include "common/Gbk.h"
#include "testing/FakePorts.h"

namespace jollix {
namespace {

using testing::FakePrompter;
using testing::FakeResultPage;
using testing::FakeShell;

class OpenResultTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // A row with an address in every column, so that each type's column shows.
    const int row = page_.InsertRow(0, "c0", -1);
    for (int c = 1; c < 6; ++c) page_.SetCell(row, c, ("c" + std::to_string(c)).c_str());
    page_.InsertRow(1, "other", -1);
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
    *link = std::string("song:") + url;
    return true;
  };
};

TEST_F(OpenResultTest, OpensTheUrlColumnOfTheOneSelectedRow) {
  EXPECT_EQ(Open(1, 1), OpenOutcome::kOpened);
  EXPECT_EQ(Open(5, 2), OpenOutcome::kOpened);
  EXPECT_EQ(Open(17, 4), OpenOutcome::kOpened);
  EXPECT_EQ(shell_.opened, (std::vector<std::string>{"c1", "c2", "c4"}));
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

TEST_F(OpenResultTest, ADesktopRowOpensFolderPlusNameOnDisk) {
  FakeResultPage desktop;
  desktop.InsertRow(0, "报告.txt", -1);
  desktop.SetCell(0, 1, "/tmp/文件夹/");
  EXPECT_EQ(OpenSelectedResult(desktop, {0}, 0, 0, shell_, prompter_), OpenOutcome::kOpened);
  EXPECT_EQ(shell_.opened, std::vector<std::string>{"/tmp/文件夹/报告.txt"});
}

TEST_F(OpenResultTest, MusicRowsOpenTheResolvedSongLink) {
  EXPECT_EQ(Open(11, 5), OpenOutcome::kOpened);
  EXPECT_EQ(Open(12, 5), OpenOutcome::kOpened);
  EXPECT_EQ(resolved_, (std::vector<std::string>{"c5", "c5"}));
  EXPECT_EQ(shell_.opened, (std::vector<std::string>{"song:c5", "song:c5"}));
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
