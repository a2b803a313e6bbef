#include "testing/FakePorts.h"

#include <chrono>

namespace jollix::testing {

PromptAnswer FakePrompter::Ask(const char* text, const char* caption, PromptButtons buttons) {
  std::lock_guard<std::mutex> lock(mu_);
  messages_.push_back({text ? text : "", caption ? caption : "", buttons});
  if (!answers_.empty()) {
    PromptAnswer a = answers_.front();
    answers_.pop_front();
    return a;
  }
  return buttons == PromptButtons::kYesNo ? PromptAnswer::kYes : PromptAnswer::kOk;
}

std::vector<FakePrompter::Message> FakePrompter::messages() const {
  std::lock_guard<std::mutex> lock(mu_);
  return messages_;
}

std::string FakeStatusLine::Last(int pane) const {
  auto it = texts.find(pane);
  if (it == texts.end() || it->second.empty()) return "";
  return it->second.back();
}

int FakeResultPage::InsertRow(int row, const char* text, int image) {
  if (row < 0 || row > RowCount()) row = RowCount();
  Row r;
  r.cells.push_back(text);
  r.image = image;
  rows.insert(rows.begin() + row, std::move(r));
  return row;
}

void FakeResultPage::SetCell(int row, int column, const char* text) {
  if (row < 0 || row >= RowCount() || column < 0) return;
  auto& cells = rows[row].cells;
  if (static_cast<int>(cells.size()) <= column) cells.resize(column + 1);
  cells[column] = text;
}

std::string FakeResultPage::Cell(int row, int column) const {
  if (row < 0 || row >= RowCount() || column < 0) return "";
  const auto& cells = rows[row].cells;
  return column < static_cast<int>(cells.size()) ? cells[column] : "";
}

void FakeResultPage::SetRowData(int row, int64_t data) {
  if (row >= 0 && row < RowCount()) rows[row].data = data;
}

int64_t FakeResultPage::RowData(int row) const {
  return row >= 0 && row < RowCount() ? rows[row].data : -1;
}

ResultPage* FakeResultTabs::PageAt(int index) {
  if (index < 0 || index >= static_cast<int>(pages.size())) return nullptr;
  return &pages[index];
}

bool FakeShell::Open(const ShellTarget& target) {
  if (target.Kind == ShellTargetKind::kNone) return false;
  opened.push_back(target.Text);
  opened_kinds.push_back(target.Kind);
  return open_result;
}

bool FakeShell::PickFolder(const char* title, std::string* folder) {
  pick_titles.push_back(title);
  if (folder_to_pick.empty()) return false;
  *folder = folder_to_pick;
  return true;
}

bool FakeShell::Launch(const char* program) {
  launched.push_back(program);
  return launch_result;
}

int FakeIconList::AddIconOf(const char* path) {
  paths.push_back(path);
  return static_cast<int>(paths.size()) - 1;
}

void GatedResultPage::DeleteAllRows() {
  std::lock_guard<std::mutex> lock(mu_);
  page_.DeleteAllRows();
}

int GatedResultPage::InsertRow(int row, const char* text, int image) {
  std::unique_lock<std::mutex> lock(mu_);
  if (page_.RowCount() >= gate_ && !open_) {
    waiting_ = true;
    changed_.notify_all();
    changed_.wait(lock, [this] { return open_; });
    waiting_ = false;
  }
  return page_.InsertRow(row, text, image);
}

void GatedResultPage::SetCell(int row, int column, const char* text) {
  std::lock_guard<std::mutex> lock(mu_);
  page_.SetCell(row, column, text);
}

std::string GatedResultPage::Cell(int row, int column) const {
  std::lock_guard<std::mutex> lock(mu_);
  return page_.Cell(row, column);
}

int GatedResultPage::RowCount() const {
  std::lock_guard<std::mutex> lock(mu_);
  return page_.RowCount();
}

void GatedResultPage::SetRowData(int row, int64_t data) {
  std::lock_guard<std::mutex> lock(mu_);
  page_.SetRowData(row, data);
}

int64_t GatedResultPage::RowData(int row) const {
  std::lock_guard<std::mutex> lock(mu_);
  return page_.RowData(row);
}

void GatedResultPage::Open() {
  std::lock_guard<std::mutex> lock(mu_);
  open_ = true;
  changed_.notify_all();
}

bool GatedResultPage::WaitAtGate(int timeout_ms) {
  std::unique_lock<std::mutex> lock(mu_);
  return changed_.wait_for(lock, std::chrono::milliseconds(timeout_ms),
                           [this] { return waiting_; });
}

std::vector<std::string> GatedResultPage::Column(int column) const {
  std::lock_guard<std::mutex> lock(mu_);
  std::vector<std::string> texts;
  for (int r = 0; r < page_.RowCount(); ++r) texts.push_back(page_.Cell(r, column));
  return texts;
}

}  // namespace jollix::testing
