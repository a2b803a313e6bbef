#include "desktop/DesktopSearch.h"

#include <gtest/gtest.h>

#include <ctime>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "testing/FakePorts.h"
#include "testing/IndexedInstall.h"
#include "testing/TempDir.h"

namespace jollix {
namespace {

using testing::FakeIconList;
using testing::FakePrompter;
using testing::FakeResultPage;
using testing::GatedResultPage;
using testing::IndexedInstall;
using testing::ScopedCurrentDir;
using Outcome = DesktopSearch::ClickOutcome;

const char* const kFileTypes = testing::kThreeFileTypes;

const char kEmptyQueryText[] =
    "文件名关键词和文件内容关键词不能同时为空，请正确输入文件名关键词或文件内容关键词！";

// Records the button's texts; called from the test and from the worker.
class RecordingButton : public SearchButtonText {
 public:
  void Set(const char* gbk) override {
    std::lock_guard<std::mutex> lock(mu_);
    texts_.push_back(gbk);
  }
  std::vector<std::string> Texts() const {
    std::lock_guard<std::mutex> lock(mu_);
    return texts_;
  }

 private:
  mutable std::mutex mu_;
  std::vector<std::string> texts_;
};

// The status bar, called from the test and from the worker.
class RecordingStatus : public StatusLine {
 public:
  void SetText(int pane, const char* text) override {
    std::lock_guard<std::mutex> lock(mu_);
    texts_.push_back(std::to_string(pane) + ":" + text);
  }
  std::vector<std::string> Texts() const {
    std::lock_guard<std::mutex> lock(mu_);
    return texts_;
  }

 private:
  mutable std::mutex mu_;
  std::vector<std::string> texts_;
};

std::string Pane1(const std::string& text) { return "1:" + text; }
std::string Found(int count) {
  char text[64];
  std::snprintf(text, sizeof text, kFoundCountFormat, count);
  return Pane1(text);
}

FileSearchFields Words(const std::string& words) {
  FileSearchFields fields;
  fields.NameWords = words;
  fields.TimeTo = std::time(nullptr);
  return fields;
}

class DesktopSearchTest : public ::testing::Test {
 protected:
  DesktopSearchTest() : install_(kFileTypes), cd_(install_.Install()) {
    for (int i = 0; i < 10; ++i) install_.WriteFile("item" + std::to_string(i) + ".txt", "x");
    install_.WriteFile("report.doc", "x");
    install_.WriteFile("photo.jpg", "x");
    install_.Index();
    engine_ = std::make_unique<SearchServer>(prompter_, icons_);
    search_ = std::make_unique<DesktopSearch>(*engine_, prompter_, status_, button_);
    search_->SetPage(&page_);
  }

  IndexedInstall install_;
  ScopedCurrentDir cd_;
  FakePrompter prompter_;
  FakeIconList icons_;
  RecordingStatus status_;
  RecordingButton button_;
  GatedResultPage page_;
  std::unique_ptr<SearchServer> engine_;
  std::unique_ptr<DesktopSearch> search_;
};

TEST_F(DesktopSearchTest, ASearchFillsThePageAndShowsTheCount) {
  GatedResultPage page(0);
  search_->SetPage(&page);
  EXPECT_EQ(search_->Click(Words("*rep?")), Outcome::kStarted);
  ASSERT_TRUE(page.WaitAtGate());
  EXPECT_TRUE(engine_->Busy);
  EXPECT_EQ(button_.Texts(), (std::vector<std::string>{"取消"}));
  page.Open();
  search_->WaitForWorker();
  EXPECT_EQ(page.Column(0), (std::vector<std::string>{"report.doc"}));
  EXPECT_EQ(page.Column(3), (std::vector<std::string>{"Word文档"}));
  EXPECT_EQ(button_.Texts(), (std::vector<std::string>{"取消", "Jollix桌面搜索"}));
  EXPECT_EQ(status_.Texts(), (std::vector<std::string>{Pane1(kSearchSlogan), Found(1)}));
  EXPECT_FALSE(engine_->Busy);
  EXPECT_FALSE(engine_->Cancel);
  EXPECT_FALSE(search_->WorkerRunning());
  EXPECT_TRUE(prompter_.messages().empty());
}

struct Refusal {
  const char* name;
  void (*spoil)(FileSearchFields*);
  const char* text;
  const char* caption;
  std::vector<std::string> button;  // the texts the button shows
};

TEST_F(DesktopSearchTest, RefusalsShowTheirMessageAndLeaveTheFormIdle) {
  const Refusal refusals[] = {
      {"empty",
       [](FileSearchFields* f) { f->NameWords = " *? "; },
       kEmptyQueryText,
       "输入错误",
       {}},
      {"time",
       [](FileSearchFields* f) { f->TimeFrom = f->TimeTo + 1; },
       "您输入的文件时间开始时间与结束时间不正确",
       "",
       {"取消", "Jollix桌面搜索"}},
      {"date kind",
       [](FileSearchFields* f) { f->DateKindText = "其它日期"; },
       "文件查询时间输入错误",
       "",
       {"取消", "Jollix桌面搜索"}},
      {"size",
       [](FileSearchFields* f) { f->SizeText = "很大"; },
       "文件查询大小输入错误",
       "",
       {"取消", "Jollix桌面搜索"}},
  };
  for (const Refusal& r : refusals) {
    SCOPED_TRACE(r.name);
    FakePrompter prompter;
    RecordingButton button;
    RecordingStatus status;
    DesktopSearch search(*engine_, prompter, status, button);
    search.SetPage(&page_);
    page_.DeleteAllRows();
    page_.InsertRow(0, "old row", -1);
    FileSearchFields fields = Words("item");
    r.spoil(&fields);
    EXPECT_EQ(search.Click(fields), Outcome::kRefused);
    ASSERT_EQ(prompter.messages().size(), 1u);
    EXPECT_EQ(prompter.messages()[0].text, r.text);
    EXPECT_EQ(prompter.messages()[0].caption, r.caption);
    EXPECT_EQ(button.Texts(), r.button);
    EXPECT_EQ(status.Texts(), (std::vector<std::string>{Pane1(kSearchSlogan)}));
    EXPECT_FALSE(engine_->Busy);
    EXPECT_FALSE(search.WorkerRunning());
    EXPECT_EQ(page_.Column(0), (std::vector<std::string>{"old row"}));
    EXPECT_EQ(engine_->Query.NameWords, "");  // the engine was not handed the fields

    // The next click with sound fields searches.
    EXPECT_EQ(search.Click(Words("item1")), Outcome::kStarted);
    search.WaitForWorker();
    EXPECT_EQ(page_.Column(0), (std::vector<std::string>{"item1.txt"}));
    EXPECT_FALSE(engine_->Busy);
    engine_->Query = QueryRecord();
  }
}

TEST_F(DesktopSearchTest, TheCheckGivesTheHandOversVerdictWithoutAMessage) {
  struct Case {
    FileSearchFields fields;
    QueryVerdict verdict;
  };
  std::vector<Case> cases;
  auto add = [&](FileSearchFields f, QueryVerdict v) { cases.push_back({std::move(f), v}); };
  add(Words("a"), QueryVerdict::kAccepted);
  add(Words(""), QueryVerdict::kEmptyQuery);
  FileSearchFields f = Words("?");
  f.Class = 3;
  add(f, QueryVerdict::kAccepted);
  f = Words("");
  f.ContentWords = "合同";
  add(f, QueryVerdict::kAccepted);
  f = Words("a");
  f.TimeFrom = 0x1'0000'0005;  // low 32 bits 5, above time to's low bits 4
  f.TimeTo = 0x2'0000'0004;
  add(f, QueryVerdict::kBadTimeRange);
  f = Words("a");
  f.TimeFrom = 0x7FFFFFFF;  // signed: 0x80000000 is below every positive time
  f.TimeTo = 0x80000000;
  add(f, QueryVerdict::kBadTimeRange);
  f = Words("a");
  f.SizeText = "在1M到100M之间";
  f.DateKindText = "访问日期";
  add(f, QueryVerdict::kAccepted);
  f = Words("a");
  f.SizeText = "";
  add(f, QueryVerdict::kBadSize);
  f = Words("a");
  f.DateKindText = "x";
  add(f, QueryVerdict::kBadDateKind);
  for (size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(CheckQueryFields(cases[i].fields), cases[i].verdict);
    EXPECT_TRUE(prompter_.messages().empty());
  }
  size_t refusals = 0;
  for (const Case& c : cases) {
    EXPECT_EQ(HandOverQuery(c.fields, *engine_, prompter_), c.verdict);
    if (c.verdict != QueryVerdict::kAccepted) ++refusals;
    EXPECT_EQ(prompter_.messages().size(), refusals);
  }
}

TEST_F(DesktopSearchTest, AClickWhileBusyCancelsAndKeepsTheRowsFoundSoFar) {
  GatedResultPage page(2);
  search_->SetPage(&page);
  ASSERT_EQ(search_->Click(Words("item")), Outcome::kStarted);
  ASSERT_TRUE(page.WaitAtGate());
  EXPECT_EQ(search_->Click(Words("item")), Outcome::kCancelled);
  // The form is idle at once, while the worker still waits at its third row.
  EXPECT_FALSE(engine_->Busy);
  EXPECT_TRUE(engine_->Cancel);
  EXPECT_TRUE(search_->WorkerRunning());
  const std::vector<std::string> after_cancel = {"取消", "Jollix桌面搜索"};
  EXPECT_EQ(button_.Texts(), after_cancel);
  EXPECT_EQ(status_.Texts(),
            (std::vector<std::string>{Pane1(kSearchSlogan), Pane1(kSearchSlogan), Found(10)}));
  page.Open();
  search_->WaitForWorker();
  // The row under way is finished, then the worker stops before the next candidate.
  ASSERT_EQ(page.RowCount(), 3);
  for (const std::string& name : page.Column(0)) EXPECT_EQ(name.substr(0, 4), "item");
  EXPECT_EQ(button_.Texts(), after_cancel);  // the cancelled worker leaves the form alone
  EXPECT_EQ(status_.Texts().size(), 3u);
  EXPECT_EQ(engine_->Count(), 3);  // candidates examined
}

TEST_F(DesktopSearchTest, ASearchAfterACancelWaitsForTheCancelledWorkerAndOwnsTheForm) {
  GatedResultPage first(1), second(0);
  search_->SetPage(&first);
  ASSERT_EQ(search_->Click(Words("item")), Outcome::kStarted);
  ASSERT_TRUE(first.WaitAtGate());
  ASSERT_EQ(search_->Click(Words("")), Outcome::kCancelled);
  search_->SetPage(&second);
  FileSearchFields pictures = Words("photo");
  pictures.Class = 2;
  pictures.CheckedExtensions = {"jpg"};
  ASSERT_EQ(search_->Click(pictures), Outcome::kStarted);
  EXPECT_TRUE(engine_->Busy);
  // The engine still holds the cancelled query: it is not rewritten under a running search.
  EXPECT_EQ(engine_->Query.NameWords, "item");
  EXPECT_EQ(engine_->Query.Class, 0);

  first.Open();
  ASSERT_TRUE(second.WaitAtGate());
  // The cancelled worker has ended without clearing the newer search's busy flag or button.
  EXPECT_TRUE(engine_->Busy);
  EXPECT_EQ(button_.Texts().back(), "取消");
  EXPECT_EQ(engine_->Query.Class, 2);
  EXPECT_FALSE(engine_->Cancel);
  second.Open();
  search_->WaitForWorker();
  EXPECT_EQ(first.RowCount(), 2);
  EXPECT_EQ(second.Column(0), (std::vector<std::string>{"photo.jpg"}));
  EXPECT_EQ(button_.Texts(),
            (std::vector<std::string>{"取消", "Jollix桌面搜索", "取消", "Jollix桌面搜索"}));
  EXPECT_EQ(status_.Texts().back(), Found(1));
  EXPECT_FALSE(engine_->Busy);
}

TEST_F(DesktopSearchTest, ASearchCancelledBeforeItBeganNeverRuns) {
  GatedResultPage first(1), second;
  search_->SetPage(&first);
  ASSERT_EQ(search_->Click(Words("item")), Outcome::kStarted);
  ASSERT_TRUE(first.WaitAtGate());
  ASSERT_EQ(search_->Click(Words("")), Outcome::kCancelled);
  search_->SetPage(&second);
  ASSERT_EQ(search_->Click(Words("photo")), Outcome::kStarted);  // waits for the first
  ASSERT_EQ(search_->Click(Words("")), Outcome::kCancelled);
  first.Open();
  search_->WaitForWorker();
  EXPECT_EQ(second.RowCount(), 0);
  EXPECT_FALSE(engine_->Busy);
  EXPECT_EQ(button_.Texts().back(), "Jollix桌面搜索");
}

TEST_F(DesktopSearchTest, EndingTheFormCancelsTheSearchWithoutTouchingTheForm) {
  GatedResultPage page(1);
  search_->SetPage(&page);
  ASSERT_EQ(search_->Click(Words("item")), Outcome::kStarted);
  ASSERT_TRUE(page.WaitAtGate());
  std::thread opener([&page] {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    page.Open();
  });
  search_.reset();
  opener.join();
  EXPECT_EQ(page.RowCount(), 2);
  EXPECT_EQ(button_.Texts(), (std::vector<std::string>{"取消"}));
}

TEST(DesktopSearch, DoesNothingWithoutAnIndexOrAPage) {
  testing::TempDir empty;
  ScopedCurrentDir cd(empty.path());
  FakePrompter prompter;
  FakeIconList icons;
  RecordingStatus status;
  RecordingButton button;
  SearchServer engine(prompter, icons);
  ASSERT_TRUE(engine.IndexUnavailable());
  FakeResultPage page;
  DesktopSearch search(engine, prompter, status, button);
  EXPECT_EQ(search.Click(Words("a")), Outcome::kIgnored);
  search.SetPage(&page);
  EXPECT_EQ(search.Click(Words("a")), Outcome::kIgnored);
  EXPECT_TRUE(status.Texts().empty());
  EXPECT_TRUE(button.Texts().empty());
  EXPECT_TRUE(prompter.messages().empty());
  EXPECT_FALSE(engine.Busy);
}

}  // namespace
}  // namespace jollix
