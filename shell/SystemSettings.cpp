#include "shell/SystemSettings.h"

#include <algorithm>
#include <cstring>

#include "common/FileTypeFile.h"
#include "common/ScanFolderFile.h"
#include "common/TextFile.h"

namespace jollix {
namespace {

constexpr char kFolderPickerTitle[] = "请选择待搜索的文件夹";
constexpr char kTypeFileUnreadable[] = "打开文件类型描述文件失败，请与软件开发商联系！";
constexpr char kFolderFileUnreadable[] = "打开目录文件失败，请与软件开发商联系！";
constexpr char kEmptyExtension[] = "文件后缀名不能为空！请输入文件后缀名！";
constexpr char kEmptyFolder[] = "不能添加空扫描目录！";
constexpr char kIndexFileUnwritable[] = "打开文件失败，请与软件开发商联系！";
constexpr char kConfigUnwritable[] = "打开系统配置文件失败，请与软件开发商联系！";

struct Frequency {
  int Value;
  const char* Text;
};
// In the order of the sorted frequency box (GBK byte order of the texts).
constexpr Frequency kFrequencies[] = {
    {kUpdateEveryStart, "每次开机更新索引"},
    {kUpdateDaily, "每天更新一次索引"},
    {kUpdateMonthly, "每月更新一次索引"},
    {kUpdateWeekly, "每周更新一次索引"},
};

// The lines of a file, each without its LF (a CR before it stays), read whole however long.
std::vector<std::string> Lines(const std::string& content) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < content.size()) {
    size_t end = content.find('\n', start);
    if (end == std::string::npos) end = content.size();
    lines.push_back(content.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

// The text of a line as a C string holds it: up to its first NUL byte.
std::string UpToNul(const std::string& text) { return text.substr(0, std::strlen(text.c_str())); }

// The folder list's order: byte order with ASCII letters compared without case.
bool FolderBefore(const std::string& a, const std::string& b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    auto fold = [](char c) {
      return static_cast<unsigned char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    };
    return fold(x) < fold(y);
  });
}

bool ValidRow(int row, size_t size) { return row >= 0 && static_cast<size_t>(row) < size; }

// Removes the rows at the given indexes (any order, repeats and strays ignored).
template <typename Row>
void RemoveRows(std::vector<Row>* rows, std::vector<int> selected) {
  std::sort(selected.begin(), selected.end());
  selected.erase(std::unique(selected.begin(), selected.end()), selected.end());
  for (auto it = selected.rbegin(); it != selected.rend(); ++it) {
    if (ValidRow(*it, rows->size())) rows->erase(rows->begin() + *it);
  }
}

}  // namespace

std::vector<std::string> FrequencyTexts() {
  std::vector<std::string> texts;
  for (const Frequency& f : kFrequencies) texts.push_back(f.Text);
  return texts;
}

std::vector<std::string> TypeClassTexts() { return {kTypeClassNames + 1, kTypeClassNames + 6}; }

const char* FrequencyText(int update_frequency) {
  for (const Frequency& f : kFrequencies) {
    if (f.Value == update_frequency) return f.Text;
  }
  return kFrequencies[0].Text;
}

int FrequencyOfText(const std::string& text) {
  // Two GBK characters: four bytes.
  for (const Frequency& f : kFrequencies) {
    if (text.compare(0, 4, f.Text, 4) == 0 && text.size() >= 4) return f.Value;
  }
  return 0;
}

int TypeClassOfText(const std::string& text) {
  for (int type_class = kTextClass; type_class < kOtherClass; ++type_class) {
    if (text == kTypeClassNames[type_class]) return type_class;
  }
  return kOtherClass;
}

SystemSettings::SystemSettings(Prompter& prompter, Shell& shell, IndexConfig& config)
    : prompter_(prompter), shell_(shell), config_(config) {}

void SystemSettings::Load() {
  file_types_.clear();
  folders_.clear();
  fields_ = SettingFields();
  remembered_row_ = -1;
  if (!LoadFileTypes()) {
    prompter_.Ask(kTypeFileUnreadable, "打开文件失败", PromptButtons::kOk);
    return;
  }
  if (!LoadFolders()) {
    prompter_.Ask(kFolderFileUnreadable, nullptr, PromptButtons::kOk);
    return;
  }
  fields_.TypeText = kTypeClassNames[kTextClass];
  fields_.FrequencyText = FrequencyText(config_.UpdateFrequency);
}

bool SystemSettings::LoadFileTypes() {
  std::string content;
  if (!ReadWholeFile(kFileTypeFile, &content)) return false;
  for (const std::string& line : Lines(content)) {
    if (line.empty() || line[0] == '#') continue;
    // Each text whole, however long, so that a save writes back what was read.
    FileTypeEntry parsed;
    if (ParseFileTypeEntry(line, &parsed) != 4) continue;
    const int type_class = parsed.TypeClass >= kTextClass && parsed.TypeClass < kOtherClass
                               ? parsed.TypeClass
                               : kOtherClass;
    file_types_.push_back({parsed.Extension, kTypeClassNames[type_class], parsed.Description});
  }
  return true;
}

bool SystemSettings::LoadFolders() {
  std::string content;
  if (!ReadWholeFile(kScanFolderFile, &content)) return false;
  for (std::string line : Lines(content)) {
    line = UpToNul(line);
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.pop_back();
    // An empty line names no folder; a row for it would be written back as a folder line.
    if (line.empty()) continue;
    InsertFolderSorted({line.substr(1), line[0] != kKeepMarker});
  }
  return true;
}

int SystemSettings::InsertFolderSorted(FolderRow row) {
  auto at = std::upper_bound(
      folders_.begin(), folders_.end(), row,
      [](const FolderRow& a, const FolderRow& b) { return FolderBefore(a.Folder, b.Folder); });
  const int index = static_cast<int>(at - folders_.begin());
  folders_.insert(at, std::move(row));
  return index;
}

void SystemSettings::SetFolderChecked(int row, bool checked) {
  if (ValidRow(row, folders_.size())) folders_[row].Checked = checked;
}

void SystemSettings::ClickFileTypes(const std::vector<int>& selected) {
  for (int row : selected) {
    if (!ValidRow(row, file_types_.size())) continue;
    remembered_row_ = row;
    fields_.Extension = file_types_[row].Extension;
    fields_.TypeText = file_types_[row].TypeText;
    fields_.Description = file_types_[row].Description;
  }
}

void SystemSettings::ClickFolders(const std::vector<int>& selected) {
  for (int row : selected) {
    if (!ValidRow(row, folders_.size())) continue;
    remembered_row_ = row;
    fields_.Folder = folders_[row].Folder;
  }
}

int SystemSettings::AddFileType() {
  if (fields_.Extension.empty() || fields_.Description.empty()) {
    prompter_.Ask(kEmptyExtension, nullptr, PromptButtons::kOk);
    return -1;
  }
  file_types_.push_back({fields_.Extension, fields_.TypeText, fields_.Description});
  return static_cast<int>(file_types_.size()) - 1;
}

void SystemSettings::DeleteFileTypes(const std::vector<int>& selected) {
  RemoveRows(&file_types_, selected);
}

void SystemSettings::ModifyFileType() {
  if (!ValidRow(remembered_row_, file_types_.size())) return;
  file_types_[remembered_row_] = {fields_.Extension, fields_.TypeText, fields_.Description};
}

int SystemSettings::AddFolder() {
  if (fields_.Folder.empty()) {
    prompter_.Ask(kEmptyFolder, nullptr, PromptButtons::kOk);
    return -1;
  }
  return InsertFolderSorted({fields_.Folder, false});
}

void SystemSettings::DeleteFolders(const std::vector<int>& selected) {
  RemoveRows(&folders_, selected);
}

void SystemSettings::ModifyFolder() {
  if (ValidRow(remembered_row_, folders_.size())) folders_[remembered_row_].Folder = fields_.Folder;
}

bool SystemSettings::PickFolder() {
  std::string folder;
  if (!shell_.PickFolder(kFolderPickerTitle, &folder) || folder.empty()) return false;
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  fields_.Folder = folder;
  return true;
}

SaveResult SystemSettings::Save() {
  std::vector<FileTypeEntry> types(file_types_.size());
  for (size_t i = 0; i < file_types_.size(); ++i) {
    types[i].Extension = UpToNul(file_types_[i].Extension);
    types[i].TypeClass = TypeClassOfText(file_types_[i].TypeText);
    types[i].Description = UpToNul(file_types_[i].Description);
  }
  std::vector<ScanFolderEntry> folders;
  for (const FolderRow& row : folders_) {
    folders.push_back({row.Checked ? kRescanMarker : kKeepMarker, row.Folder});
  }
  // Both new files are written whole before either replaces its old one.
  FileReplacement type_file, folder_file;
  if (!type_file.Write(kFileTypeFile, FormatFileTypes(types)) ||
      !folder_file.Write(kScanFolderFile, FormatScanFolders(folders)) || !type_file.Commit() ||
      !folder_file.Commit()) {
    prompter_.Ask(kIndexFileUnwritable, nullptr, PromptButtons::kOk);
    return SaveResult::kIndexFilesFailed;
  }
  config_.UpdateFrequency = FrequencyOfText(fields_.FrequencyText);
  if (!WriteConfig(kConfigFile, config_, LineEnd::kCrLf)) {
    prompter_.Ask(kConfigUnwritable, nullptr, PromptButtons::kOk);
    return SaveResult::kConfigFailed;
  }
  return SaveResult::kSaved;
}

}  // namespace jollix
