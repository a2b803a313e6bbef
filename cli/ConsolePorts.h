// The ports of the terminal front end: status texts on standard error, URLs to open on standard
// output, result pages kept in memory and printed as lines. Texts arrive in GBK and leave in
// UTF-8.
#pragma once

#include <cstdio>
#include <deque>
#include <string>
#include <vector>

#include "common/IconList.h"
#include "common/ResultPage.h"
#include "common/ResultTabs.h"
#include "common/Shell.h"
#include "common/StatusLine.h"

namespace jollix::cli {

// Writes every status text to standard error, one line each.
class ConsoleStatusLine : public StatusLine {
 public:
  void SetText(int pane, const char* text) override;
};

// Opening prints the target on standard output (a terminal has no browser to hand it to) and
// refuses what a window's shell would refuse; there is no folder to pick and nothing is
// launched.
class ConsoleShell : public Shell {
 public:
  bool Open(const ShellTarget& target) override;
  bool PickFolder(const char* title, std::string* folder) override;
  bool Launch(const char* program) override;
};

// Hands out icon numbers without icons.
class ConsoleIconList : public IconList {
 public:
  int AddIconOf(const char* /*path*/) override { return next_++; }

 private:
  int next_ = 0;
};

// A result page of a fixed number of columns, kept in memory.
class ConsoleResultPage : public ResultPage {
 public:
  explicit ConsoleResultPage(int columns) : columns_(columns) {}
  void DeleteAllRows() override { rows_.clear(); }
  int InsertRow(int row, const char* text, int image) override;
  void SetCell(int row, int column, const char* text) override;
  std::string Cell(int row, int column) const override;
  int RowCount() const override { return static_cast<int>(rows_.size()); }
  // The terminal has no file actions: row data is not kept.
  void SetRowData(int /*row*/, int64_t /*data*/) override {}
  int64_t RowData(int /*row*/) const override { return -1; }

  // Each row as one UTF-8 line, its columns in order, separated by TABs (a TAB or line break
  // inside a cell becomes a blank).
  void Print(FILE* out) const;

 private:
  int columns_;
  std::vector<std::vector<std::string>> rows_;
};

// A result page that prints each row as soon as the next one begins (or at Finish), holding one
// row only: the rows of a desktop search, which may be half a million, never stand in memory.
// Rows must be inserted at the end; a cell of a row already printed can no longer be set or
// read. Each row is printed as ConsoleResultPage::Print prints it, with the leading blanks of
// column trim_column cut (-1: none); or, in paths mode, as the full path (folder column 1 and name
// column 0) as the file system spells it, followed by path_end.
class ConsoleStreamPage : public ResultPage {
 public:
  ConsoleStreamPage(int columns, FILE* out, int trim_column);
  ConsoleStreamPage(int columns, FILE* out, char path_end);
  ~ConsoleStreamPage() override = default;
  void DeleteAllRows() override;
  int InsertRow(int row, const char* text, int image) override;
  void SetCell(int row, int column, const char* text) override;
  std::string Cell(int row, int column) const override;
  int RowCount() const override { return count_; }
  void SetRowData(int /*row*/, int64_t /*data*/) override {}
  int64_t RowData(int /*row*/) const override { return -1; }

  // Prints the row still held, when print is set (else drops it), and flushes the stream.
  void Finish(bool print);

 private:
  void PrintHeld();

  FILE* out_;
  int trim_column_ = -1;
  bool paths_ = false;
  char path_end_ = '\n';
  int count_ = 0;
  bool held_ = false;
  std::vector<std::string> cells_;
  std::string line_;
};

// One page per tab, with the column counts given.
class ConsoleResultTabs : public ResultTabs {
 public:
  ConsoleResultTabs(const std::vector<int>& column_counts, int selected);
  int SelectedIndex() const override { return selected_; }
  ResultPage* PageAt(int index) override;

 private:
  std::deque<ConsoleResultPage> pages_;
  int selected_;
};

}  // namespace jollix::cli
