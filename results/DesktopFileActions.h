// The context menu of the desktop page and what its items do: open the containing folder, cut
// or copy the selected files to a chosen folder, and delete them to the trash. Moved and deleted
// files have their records in index/AllFile.dat marked withdrawn, so later searches skip them.
//
// Texts from the page are GBK; every file operation works on disk spellings.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "common/IndexLayout.h"
#include "common/Prompter.h"
#include "common/ResultPage.h"
#include "common/Shell.h"

namespace jollix {

inline constexpr int kOpenFolderCommand = 999;
inline constexpr int kCutCommand = 25;
inline constexpr int kCopyCommand = 26;
inline constexpr int kDeleteCommand = 18;

inline constexpr char kFilesVanishedMessage[] = "您选择的文件可能已经被删除！";
inline constexpr char kOpenFolderFailedMessage[] =
    "打开该文件失败,可能是未知的文件类型，也可能是该文件已经从硬盘删除.";
inline constexpr char kAllFileOpenFailedMessage[] = "打开 AllFiles.txt 文件失败，请与开发商联系";
inline constexpr char kDeleteQuestion[] = "确实要把所选择的文件放入回收站吗？";
inline constexpr char kDeleteCaption[] = "确认文件删除";

// An existing file of the selection.
struct SelectedFile {
  std::string disk_path;  // the spelling that names it on disk
  std::string name;       // the row's name text (GBK)
  std::string folder;     // the row's folder text (GBK, ending with the separator)
  int64_t record_offset;  // the row data: where its line starts in index/AllFile.dat, or -1
};

struct DesktopSelection {
  std::vector<SelectedFile> files;  // the selected rows whose path exists, in row order
  std::string last_folder;          // the folder text of the last selected row
};

struct MenuItem {
  int id;
  const char* text;  // GBK
};

// The selected rows (row numbers in the order shown) of the desktop page whose paths exist.
DesktopSelection SelectDesktopFiles(const ResultPage& page, const std::vector<int>& selected);

// The items of the menu for a number of files: "打开所在的文件夹" (999) only for exactly one
// file, then "剪切" (25), "复制" (26) and "删除" (18).
std::vector<MenuItem> DesktopMenuItems(size_t file_count);

// Marks the record lines of files withdrawn in the record file at path, opened in place: for
// each file with an offset, when the line there still reads kind 'D' or '_', the file's name, a
// TAB, its folder and a TAB, its kind byte becomes 'X'; nothing else is written, and a line that
// no longer matches is left alone. Returns the number of lines marked, or -1 (after telling the
// user) when the file does not open for reading and writing, or -2 when a write failed.
int MarkRecordsWithdrawn(const char* path, const std::vector<SelectedFile>& files,
                         Prompter& prompter);

// Moves a file to the trash; true when it is gone from its place.
using TrashFunction = std::function<bool(const std::string& disk_path)>;

// The follow-ups of the menu commands. The record file is index/AllFile.dat of the current
// folder unless another path is given.
class DesktopFileActions {
 public:
  DesktopFileActions(Prompter& prompter, Shell& shell, TrashFunction trash,
                     std::string record_file = kAllFileFile);

  // Carries out command (999, 25, 26 or 18; others do nothing) on the selection. Returns the
  // number of files moved, copied or deleted (1 for an opened folder), 0 when nothing was done.
  int Run(int command, const DesktopSelection& selection);

 private:
  int OpenFolder(const DesktopSelection& selection);
  int Cut(const std::vector<SelectedFile>& files);
  int Copy(const std::vector<SelectedFile>& files);
  int Delete(const std::vector<SelectedFile>& files);
  // Asks for the target folder: its disk spelling and GBK text; false when cancelled.
  bool PickTarget(const char* title, std::string* disk, std::string* gbk);
  bool AskOverwrite(const char* question, const std::string& destination_gbk);
  void Withdraw(const std::vector<SelectedFile>& done);

  Prompter& prompter_;
  Shell& shell_;
  TrashFunction trash_;
  std::string record_file_;
};

// The whole right-click on the desktop page: collects the existing selected files, tells the
// user when there are none, otherwise lets choose pick an item (0: none) and runs it. Returns
// the chosen id, 0 when none was chosen or no menu was shown.
using MenuChooser = std::function<int(const std::vector<MenuItem>& items)>;
int RunDesktopContextMenu(const ResultPage& page, const std::vector<int>& selected,
                          Prompter& prompter, const MenuChooser& choose,
                          DesktopFileActions& actions);

}  // namespace jollix
