// Opening a result on double-click: a desktop row's file or folder, a web row's address, or the
// song behind a music row.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "common/Prompter.h"
#include "common/ResultPage.h"
#include "common/Shell.h"

namespace jollix {

inline constexpr char kDownloadFailedMessage[] = "获取文件失败，可能是文件URL已经失效！";
inline constexpr char kDownloadFailedCaption[] = "获取文件失败";
inline constexpr char kOpenFailedMessage[] =
    "打开文件失败,可能是未知的文件类型，也可能是文件已经从硬盘删除.";

// Finds the song link behind a music row's address; false when there is none (the resolver has
// told the user then). The default downloads the song page (ResolveSongLink).
using SongResolver = std::function<bool(const char* url, std::string* link)>;

enum class OpenOutcome {
  kNothing,     // not exactly one row selected, or a type that opens nothing
  kOpened,      // the shell took the target
  kNoSongLink,  // a music row whose song link was not found
  kFailed,      // the shell failed; the failure message was shown
};

// The result types whose rows a double-click does not open: Google Scholar, idioms, the
// dictionary and the travel pages.
bool OpensNothing(int result_type);

// Whether a failed open of result_type is reported as a failed download (documents, music and
// software) rather than as a file that would not open.
bool IsDownloadType(int result_type);

// The target of a row (GBK, as the shell takes it): for the desktop page (type 0) folder + name,
// which the shell opens as a local path; for the other pages the row's text in url_column.
std::string OpenTarget(const ResultPage& page, int row, int result_type, int url_column);

// Opens the one selected row (selected holds row numbers) of a page of result_type. Music rows
// (11, 12) first resolve the song link through resolve, or ResolveSongLink when it is empty.
// A desktop row's target opens only as a local path that exists now (a file removed since the
// search fails); every other row's target came from a web page and opens only as an http or
// https address (WebAddressTarget), never as a local file. A target the shell refuses or fails
// on shows the failure message of its type.
OpenOutcome OpenSelectedResult(const ResultPage& page, const std::vector<int>& selected,
                               int result_type, int url_column, Shell& shell, Prompter& prompter,
                               const SongResolver& resolve = {});

}  // namespace jollix
