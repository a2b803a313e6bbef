// The desktop search form's rules for turning what the user filled in into the engine's query:
// the cleaning of the name words, the refusals, the size classes and date kinds, the file types
// offered per tab and the rewrite of the class selection for a tab. The window form and the
// terminal front end share them, so both refuse and search alike.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/FileTypeFile.h"
#include "common/Prompter.h"
#include "desktop/SearchServer.h"

namespace jollix {

// The tabs of the desktop pane; a tab's index is the class it searches (0: all types).
inline constexpr int kDesktopTabCount = 5;
extern const char* const kDesktopTabTexts[kDesktopTabCount];  // "所有", "文本", ...

// The size drop-down: its texts and the inclusive byte ranges they stand for.
struct SizeClass {
  const char* Text;
  uint32_t From;
  uint32_t To;
};
extern const SizeClass kSizeClasses[4];  // "不记得", "小于1M", "在1M到100M之间", "大于100M"

// The date kind drop-down: "创建日期" 0, "修改日期" 1, "访问日期" 2.
extern const char* const kDateKindTexts[3];

// Every '*' and '?' becomes a blank, then white space is trimmed at both ends.
std::string CleanNameWords(std::string_view typed);

// The date kind named by the first character of text; -1 when it names none.
int DateKindOf(std::string_view text);

// The size range named by the first character of text; false when it names none.
bool SizeRangeOf(std::string_view text, uint32_t* from, uint32_t* to);

// The form's fields as the user left them. Texts are GBK.
struct FileSearchFields {
  std::string NameWords;
  std::string ContentWords;
  std::string Folder;
  int64_t TimeFrom = 0;  // seconds since 1970-01-01 00:00 UTC, with the time of day
  int64_t TimeTo = 0;
  std::string SizeText = kSizeClasses[0].Text;
  std::string DateKindText = kDateKindTexts[1];
  int Class = 0;                               // the tab's index
  std::vector<std::string> CheckedExtensions;  // checked rows of the file-type list (tabs 1..4)
  bool Pinyin = false;                         // name words may also match as pinyin
};

enum class QueryVerdict { kAccepted, kEmptyQuery, kBadTimeRange, kBadDateKind, kBadSize };

// The verdict on the fields in the form's order, without showing a message or touching an
// engine: the form refuses on the user-interface thread and hands an accepted request to the
// engine later, on its worker.
QueryVerdict CheckQueryFields(const FileSearchFields& fields);

// Checks the fields in the form's order and, when they pass, fills engine.Query (the pinyin
// switch too) and, for a tab
// 1..4, rewrites that column of the class selection from the checked extensions (an extension
// the type map does not hold enters it with type number 0). A refusal is shown through prompter
// and leaves the engine untouched. Call only while no search runs.
QueryVerdict HandOverQuery(const FileSearchFields& fields, SearchServer& engine,
                           Prompter& prompter);

// The rows of the file-type list for a tab, all of them to be shown checked: tab 0 the single
// row "all" / "所有文件"; tab 1..4 the lines of index/FileType.txt of that class, in file order
// (lines without four fields are skipped). When the file cannot be opened the message
// "打开后缀名集合文件失败，请与开发商联系！" is shown and the process ends with -4.
std::vector<FileTypeLine> TabFileTypes(int tab, Prompter& prompter);

}  // namespace jollix
