#include "cli/ConsolePorts.h"

#include <algorithm>
#include <string_view>

#include "common/Gbk.h"

namespace jollix::cli {

void ConsoleStatusLine::SetText(int /*pane*/, const char* text) {
  std::fprintf(stderr, "%s\n", GbkToUtf8Lossy(text ? text : "").c_str());
  std::fflush(stderr);
}

bool ConsoleShell::Open(const ShellTarget& target) {
  if (target.Kind == ShellTargetKind::kNone) return false;
  std::printf("%s\n", GbkToUtf8Lossy(target.Text).c_str());
  std::fflush(stdout);
  return true;
}

bool ConsoleShell::PickFolder(const char* /*title*/, std::string* /*folder*/) { return false; }

bool ConsoleShell::Launch(const char* /*program*/) { return false; }

int ConsoleResultPage::InsertRow(int row, const char* text, int /*image*/) {
  if (row < 0 || row > RowCount()) row = RowCount();
  std::vector<std::string> cells(columns_ > 0 ? columns_ : 1);
  cells[0] = text ? text : "";
  rows_.insert(rows_.begin() + row, std::move(cells));
  return row;
}

void ConsoleResultPage::SetCell(int row, int column, const char* text) {
  if (row < 0 || row >= RowCount() || column < 0) return;
  auto& cells = rows_[row];
  if (column >= static_cast<int>(cells.size())) cells.resize(column + 1);
  cells[column] = text ? text : "";
}

std::string ConsoleResultPage::Cell(int row, int column) const {
  if (row < 0 || row >= RowCount() || column < 0) return "";
  const auto& cells = rows_[row];
  return column < static_cast<int>(cells.size()) ? cells[column] : "";
}

void ConsoleResultPage::Print(FILE* out) const {
  for (const auto& cells : rows_) {
    std::string line;
    for (size_t i = 0; i < cells.size(); ++i) {
      if (i) line += '\t';
      std::string cell = GbkToUtf8Lossy(cells[i]);
      for (char& c : cell) {
        if (c == '\t' || c == '\n' || c == '\r') c = ' ';  // keep one row on one line
      }
      line += cell;
    }
    std::fprintf(out, "%s\n", line.c_str());
  }
}

ConsoleStreamPage::ConsoleStreamPage(int columns, FILE* out, int trim_column)
    : out_(out), trim_column_(trim_column), cells_(columns > 0 ? columns : 1) {}

ConsoleStreamPage::ConsoleStreamPage(int columns, FILE* out, char path_end)
    : out_(out), paths_(true), path_end_(path_end), cells_(columns > 1 ? columns : 2) {}

void ConsoleStreamPage::DeleteAllRows() {
  held_ = false;
  count_ = 0;
}

int ConsoleStreamPage::InsertRow(int /*row*/, const char* text, int /*image*/) {
  PrintHeld();
  for (std::string& cell : cells_) cell.clear();
  cells_[0] = text ? text : "";
  held_ = true;
  return count_++;
}

void ConsoleStreamPage::SetCell(int row, int column, const char* text) {
  if (!held_ || row != count_ - 1 || column < 0) return;
  if (column >= static_cast<int>(cells_.size())) cells_.resize(column + 1);
  cells_[column] = text ? text : "";
}

std::string ConsoleStreamPage::Cell(int row, int column) const {
  if (!held_ || row != count_ - 1 || column < 0 || column >= static_cast<int>(cells_.size())) {
    return "";
  }
  return cells_[column];
}

void ConsoleStreamPage::Finish(bool print) {
  if (print) PrintHeld();
  held_ = false;
  std::fflush(out_);
}

void ConsoleStreamPage::PrintHeld() {
  if (!held_) return;
  held_ = false;
  if (paths_) {
    const std::string path = DiskPathFromGbk(cells_[1] + cells_[0]);
    std::fwrite(path.data(), 1, path.size(), out_);
    std::fputc(path_end_, out_);
    return;
  }
  line_.clear();
  for (size_t i = 0; i < cells_.size(); ++i) {
    if (i) line_ += '\t';
    std::string_view cell = cells_[i];
    if (static_cast<int>(i) == trim_column_) {
      cell.remove_prefix(std::min(cell.find_first_not_of(' '), cell.size()));
    }
    const size_t start = line_.size();
    AppendGbkToUtf8Lossy(cell, &line_);
    for (size_t k = start; k < line_.size(); ++k) {
      char& c = line_[k];
      if (c == '\t' || c == '\n' || c == '\r') c = ' ';  // keep one row on one line
    }
  }
  line_ += '\n';
  std::fwrite(line_.data(), 1, line_.size(), out_);
}

ConsoleResultTabs::ConsoleResultTabs(const std::vector<int>& column_counts, int selected)
    : selected_(selected) {
  for (int columns : column_counts) pages_.emplace_back(columns);
}

ResultPage* ConsoleResultTabs::PageAt(int index) {
  if (index < 0 || index >= static_cast<int>(pages_.size())) return nullptr;
  return &pages_[index];
}

}  // namespace jollix::cli
