// Recording fakes of the ports, with scripted answers.
#pragma once

#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "common/IconList.h"
#include "common/Prompter.h"
#include "common/ResultPage.h"
#include "common/ResultTabs.h"
#include "common/Shell.h"
#include "common/StatusLine.h"

namespace jollix::testing {

class FakePrompter : public Prompter {
 public:
  struct Message {
    std::string text, caption;
    PromptButtons buttons;
  };
  PromptAnswer Ask(const char* text, const char* caption, PromptButtons buttons) override;
  // Answers given in order; when none is left the first button is chosen.
  void Script(PromptAnswer answer) { answers_.push_back(answer); }
  std::vector<Message> messages() const;

 private:
  mutable std::mutex mu_;
  std::vector<Message> messages_;
  std::deque<PromptAnswer> answers_;
};

class FakeStatusLine : public StatusLine {
 public:
  void SetText(int pane, const char* text) override { texts[pane].push_back(text); }
  std::string Last(int pane) const;
  std::map<int, std::vector<std::string>> texts;
};

class FakeResultPage : public ResultPage {
 public:
  void DeleteAllRows() override { rows.clear(); }
  int InsertRow(int row, const char* text, int image) override;
  void SetCell(int row, int column, const char* text) override;
  std::string Cell(int row, int column) const override;
  int RowCount() const override { return static_cast<int>(rows.size()); }
  void SetRowData(int row, int64_t data) override;
  int64_t RowData(int row) const override;

  struct Row {
    std::vector<std::string> cells;
    int image = -1;
    int64_t data = -1;
  };
  std::vector<Row> rows;
};

// A tab strip of tab_count pages; selected is the position the search actions read.
class FakeResultTabs : public ResultTabs {
 public:
  explicit FakeResultTabs(int tab_count) : pages(tab_count) {}
  int SelectedIndex() const override { return selected; }
  ResultPage* PageAt(int index) override;

  int selected = 0;
  std::deque<FakeResultPage> pages;  // a deque: pages never move while tests hold them
};

// A result page that a search's worker fills while a test reads it: every call is locked, and
// InsertRow waits before it adds row number gate (and any later row) until Open() is called.
class GatedResultPage : public ResultPage {
 public:
  explicit GatedResultPage(int gate = 1 << 30) : gate_(gate) {}
  void DeleteAllRows() override;
  int InsertRow(int row, const char* text, int image) override;
  void SetCell(int row, int column, const char* text) override;
  std::string Cell(int row, int column) const override;
  int RowCount() const override;
  void SetRowData(int row, int64_t data) override;
  int64_t RowData(int row) const override;

  // Lets every waiting and later InsertRow through.
  void Open();
  // Waits up to timeout_ms for an InsertRow to wait at the gate; true when one does.
  bool WaitAtGate(int timeout_ms = 10000);
  // The texts of one column, top to bottom.
  std::vector<std::string> Column(int column) const;

 private:
  mutable std::mutex mu_;
  std::condition_variable changed_;
  FakeResultPage page_;
  int gate_;
  bool open_ = false;
  bool waiting_ = false;
};

// Open records what a real shell would open (a target of kind kNone is refused unrecorded) and
// answers open_result for it.
class FakeShell : public Shell {
 public:
  bool Open(const ShellTarget& target) override;
  bool PickFolder(const char* title, std::string* folder) override;
  bool Launch(const char* program) override;

  bool open_result = true;
  bool launch_result = true;
  std::string folder_to_pick;                              // empty: the user cancels
  std::vector<std::string> opened, launched, pick_titles;  // opened: the targets' texts
  std::vector<ShellTargetKind> opened_kinds;               // and their kinds
};

class FakeIconList : public IconList {
 public:
  int AddIconOf(const char* path) override;
  std::vector<std::string> paths;
};

}  // namespace jollix::testing
