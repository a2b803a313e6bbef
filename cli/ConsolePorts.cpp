#include "cli/ConsolePorts.h"

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

ConsoleResultTabs::ConsoleResultTabs(const std::vector<int>& column_counts, int selected)
    : selected_(selected) {
  for (int columns : column_counts) pages_.emplace_back(columns);
}

ResultPage* ConsoleResultTabs::PageAt(int index) {
  if (index < 0 || index >= static_cast<int>(pages_.size())) return nullptr;
  return &pages_[index];
}

}  // namespace jollix::cli
