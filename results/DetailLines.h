// The lines of the details list for the selected rows of a result page. Texts are GBK.
//
// A web page shows a hint, an empty line and then either every column of the first selected row
// on a line of its own (DetailColumn -1) or the text of DetailColumn wrapped into lines. The
// desktop page shows the file details of the selected files.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/ResultPage.h"

namespace jollix {

// The columns of a desktop row.
inline constexpr int kNameColumn = 0;
inline constexpr int kFolderColumn = 1;
inline constexpr int kSizeColumn = 2;
inline constexpr int kTimeColumn = 4;

inline constexpr size_t kWrapWidth = 80;

inline constexpr char kWebDetailsHint[] = "双击某条结果记录，Jollix超级搜索即为您打开该记录！";
inline constexpr char kFileDetailsHint[] = "双击某个结果文件，Jollix桌面搜索即为您打开该文件！";
inline constexpr char kFileVanishedLine[] = "您选择的文件可能已经从硬盘删除！";

// Cuts text into lines of up to 80 bytes; a slice holding an odd number of high-bit bytes takes
// one byte more, so that a double-byte character is not cut in two, but never more than the
// text has. An empty text gives no lines.
std::vector<std::string> WrapDetailText(std::string_view text);

// The path of a desktop row: its folder text (ending with the separator) followed by its name.
std::string DesktopRowPath(const ResultPage& page, int row);

// A size text read as the details list reads it: white space trimmed, decimal digits read;
// 0 when it does not start with a digit. Sizes are 32-bit; larger values wrap.
uint32_t SizeFromCell(std::string_view text);

// Whether a GBK path names something that opens for reading as a file (a folder does not).
bool OpensAsFile(const std::string& gbk_path);

// The details lines of a web page: the hint, an empty line, then for the first selected row
// (selected holds row numbers in the order shown) every one of column_count columns, or the
// wrapped text of detail_column when it is not -1.
std::vector<std::string> WebDetailLines(const ResultPage& page, int column_count,
                                        const std::vector<int>& selected, int detail_column);

// The details lines of the desktop page: nothing for no row; for one row the vanished line or
// the hint and the row's name, folder, size and time; for several rows their count and the
// 32-bit sum of their sizes.
std::vector<std::string> FileDetailLines(const ResultPage& page, const std::vector<int>& selected);

// The details lines for result_type: the file details for the desktop page (type 0), else the
// web details.
std::vector<std::string> DetailLines(const ResultPage& page, int column_count,
                                     const std::vector<int>& selected, int result_type,
                                     int detail_column);

}  // namespace jollix
