#include "results/DesktopFileActions.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <utility>

#include "common/FileRecord.h"
#include "common/Gbk.h"
#include "results/DetailLines.h"
#include "results/FileMoves.h"

namespace jollix {
namespace {

// The last part of a path: what follows its last separator.
std::string LastPart(const std::string& path) {
  const size_t slash = path.rfind(kPathSeparator);
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// folder + separator + name, without doubling a separator that folder ends with.
std::string Joined(const std::string& folder, const std::string& name) {
  if (!folder.empty() && folder.back() == kPathSeparator) return folder + name;
  return folder + kPathSeparator + name;
}

}  // namespace

DesktopSelection SelectDesktopFiles(const ResultPage& page, const std::vector<int>& selected) {
  DesktopSelection selection;
  for (int row : selected) {
    SelectedFile file;
    file.name = page.Cell(row, kNameColumn);
    file.folder = page.Cell(row, kFolderColumn);
    file.record_offset = page.RowData(row);
    selection.last_folder = file.folder;
    if (ExistingDiskPath(file.folder + file.name, &file.disk_path)) {
      selection.files.push_back(std::move(file));
    }
  }
  return selection;
}

std::vector<MenuItem> DesktopMenuItems(size_t file_count) {
  std::vector<MenuItem> items;
  if (file_count == 1) items.push_back({kOpenFolderCommand, "打开所在的文件夹"});
  items.push_back({kCutCommand, "剪切"});
  items.push_back({kCopyCommand, "复制"});
  items.push_back({kDeleteCommand, "删除"});
  return items;
}

int MarkRecordsWithdrawn(const char* path, const std::vector<SelectedFile>& files,
                         Prompter& prompter) {
  const int fd = open(path, O_RDWR | O_CLOEXEC);
  if (fd < 0) {
    prompter.Ask(kAllFileOpenFailedMessage, nullptr, PromptButtons::kOk);
    return -1;
  }
  std::vector<RecordPlace> places;
  for (const SelectedFile& file : files) {
    places.push_back({file.record_offset, file.name, file.folder});
  }
  const int marked = WithdrawRecordLines(fd, places);
  if (close(fd) != 0 || marked < 0) return -2;
  return marked;
}

DesktopFileActions::DesktopFileActions(Prompter& prompter, Shell& shell, TrashFunction trash,
                                       std::string record_file)
    : prompter_(prompter),
      shell_(shell),
      trash_(std::move(trash)),
      record_file_(std::move(record_file)) {}

int DesktopFileActions::Run(int command, const DesktopSelection& selection) {
  switch (command) {
    case kOpenFolderCommand:
      return OpenFolder(selection);
    case kCutCommand:
      return Cut(selection.files);
    case kCopyCommand:
      return Copy(selection.files);
    case kDeleteCommand:
      return Delete(selection.files);
    default:
      return 0;
  }
}

int DesktopFileActions::OpenFolder(const DesktopSelection& selection) {
  if (shell_.Open(LocalPathTarget(selection.last_folder))) return 1;
  prompter_.Ask(kOpenFolderFailedMessage, nullptr, PromptButtons::kOk);
  return 0;
}

bool DesktopFileActions::PickTarget(const char* title, std::string* disk, std::string* gbk) {
  if (!shell_.PickFolder(title, gbk) || gbk->empty()) return false;
  *disk = DiskPathFromGbk(*gbk);
  return true;
}

bool DesktopFileActions::AskOverwrite(const char* question, const std::string& destination_gbk) {
  std::string text(question);
  const size_t at = text.find("%s");
  text.replace(at, 2, destination_gbk);  // no printf: the path may hold a '%'
  return prompter_.Ask(text.c_str(), nullptr, PromptButtons::kOkCancel) == PromptAnswer::kOk;
}

int DesktopFileActions::Cut(const std::vector<SelectedFile>& files) {
  std::string folder_disk, folder_gbk;
  if (!PickTarget("将文件剪切到...", &folder_disk, &folder_gbk)) return 0;
  std::vector<SelectedFile> moved;
  for (const SelectedFile& file : files) {
    const std::string to = Joined(folder_disk, LastPart(file.disk_path));
    // An entry cut into its own folder stays; offering to overwrite it would delete it.
    if (SameOrInside(file.disk_path, to)) continue;
    bool done = MoveEntry(file.disk_path, to);
    if (!done &&
        AskOverwrite("文件 %s 已经存在，是否覆盖原来文件？", Joined(folder_gbk, file.name))) {
      RemoveEntry(to);
      done = MoveEntry(file.disk_path, to);
    }
    if (done) moved.push_back(file);
  }
  Withdraw(moved);
  return static_cast<int>(moved.size());
}

int DesktopFileActions::Copy(const std::vector<SelectedFile>& files) {
  std::string folder_disk, folder_gbk;
  if (!PickTarget("将文件复制到...", &folder_disk, &folder_gbk)) return 0;
  int copied = 0;
  for (const SelectedFile& file : files) {
    const std::string to = Joined(folder_disk, LastPart(file.disk_path));
    if (SameOrInside(file.disk_path, to)) continue;
    bool done = CopyEntry(file.disk_path, to, false);
    if (!done &&
        AskOverwrite("文件 %s 已经存在，是否覆盖原来文件?", Joined(folder_gbk, file.name))) {
      done = CopyEntry(file.disk_path, to, true);
    }
    copied += done;
  }
  return copied;
}

int DesktopFileActions::Delete(const std::vector<SelectedFile>& files) {
  if (prompter_.Ask(kDeleteQuestion, kDeleteCaption, PromptButtons::kYesNo) != PromptAnswer::kYes) {
    return 0;
  }
  std::vector<SelectedFile> deleted;
  for (const SelectedFile& file : files) {
    if (trash_ && trash_(file.disk_path)) {
      deleted.push_back(file);
      continue;
    }
    const std::string text = "文件 " + file.folder + file.name + " 无法放入回收站！";
    prompter_.Ask(text.c_str(), nullptr, PromptButtons::kOk);
  }
  Withdraw(deleted);
  return static_cast<int>(deleted.size());
}

void DesktopFileActions::Withdraw(const std::vector<SelectedFile>& done) {
  if (!done.empty()) MarkRecordsWithdrawn(record_file_.c_str(), done, prompter_);
}

int RunDesktopContextMenu(const ResultPage& page, const std::vector<int>& selected,
                          Prompter& prompter, const MenuChooser& choose,
                          DesktopFileActions& actions) {
  DesktopSelection selection = SelectDesktopFiles(page, selected);
  if (selection.files.empty()) {
    prompter.Ask(kFilesVanishedMessage, nullptr, PromptButtons::kOk);
    return 0;
  }
  const int chosen = choose ? choose(DesktopMenuItems(selection.files.size())) : 0;
  if (chosen <= 0) return 0;
  actions.Run(chosen, selection);
  return chosen;
}

}  // namespace jollix
