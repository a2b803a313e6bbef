#include "desktop/QueryRules.h"

#include <cstring>

#include "common/Fatal.h"
#include "common/FormattedInput.h"

namespace jollix {
namespace {

// Longest extension of a checked row that is looked up in the type map.
constexpr size_t kMaxCheckedExtension = 299;

// True when text begins with the (double-byte) first character of word.
bool SameFirstCharacter(std::string_view text, const char* word) {
  return text.size() >= 2 && std::memcmp(text.data(), word, 2) == 0;
}

// At most max bytes of GBK text, never ending inside a double-byte character.
std::string Clipped(std::string_view text, size_t max) {
  size_t end = 0;
  while (end < text.size()) {
    size_t width = static_cast<unsigned char>(text[end]) >= 0x80 ? 2 : 1;
    if (end + width > max) break;
    end += width;
  }
  return std::string(text.substr(0, std::min(end, text.size())));
}

}  // namespace

const char* const kDesktopTabTexts[kDesktopTabCount] = {"所有", "文本", "图片", "音视频", "可执行"};

const SizeClass kSizeClasses[4] = {{"不记得", 0, 4294967295u},
                                   {"小于1M", 0, 1048575u},
                                   {"在1M到100M之间", 1048575u, 104857500u},
                                   {"大于100M", 104857500u, 4294967295u}};

const char* const kDateKindTexts[3] = {"创建日期", "修改日期", "访问日期"};

std::string CleanNameWords(std::string_view typed) {
  std::string words(typed);
  for (char& c : words) {
    if (c == '*' || c == '?') c = ' ';
  }
  size_t begin = 0, end = words.size();
  while (begin < end && IsBlankByte(static_cast<unsigned char>(words[begin]))) ++begin;
  while (end > begin && IsBlankByte(static_cast<unsigned char>(words[end - 1]))) --end;
  return words.substr(begin, end - begin);
}

int DateKindOf(std::string_view text) {
  for (int kind = 0; kind < 3; ++kind) {
    if (SameFirstCharacter(text, kDateKindTexts[kind])) return kind;
  }
  return -1;
}

bool SizeRangeOf(std::string_view text, uint32_t* from, uint32_t* to) {
  for (const SizeClass& size : kSizeClasses) {
    if (SameFirstCharacter(text, size.Text)) {
      *from = size.From;
      *to = size.To;
      return true;
    }
  }
  return false;
}

QueryVerdict CheckQueryFields(const FileSearchFields& fields) {
  if (CleanNameWords(fields.NameWords).empty() && fields.Class == 0 &&
      fields.ContentWords.empty()) {
    return QueryVerdict::kEmptyQuery;
  }
  // The low 32 bits of the two times, compared as signed numbers.
  if (static_cast<int32_t>(static_cast<uint32_t>(fields.TimeTo)) <
      static_cast<int32_t>(static_cast<uint32_t>(fields.TimeFrom))) {
    return QueryVerdict::kBadTimeRange;
  }
  if (DateKindOf(fields.DateKindText) < 0) return QueryVerdict::kBadDateKind;
  uint32_t from = 0, to = 0;
  if (!SizeRangeOf(fields.SizeText, &from, &to)) return QueryVerdict::kBadSize;
  return QueryVerdict::kAccepted;
}

QueryVerdict HandOverQuery(const FileSearchFields& fields, SearchServer& engine,
                           Prompter& prompter) {
  switch (const QueryVerdict verdict = CheckQueryFields(fields)) {
    case QueryVerdict::kAccepted:
      break;
    case QueryVerdict::kEmptyQuery:
      prompter.Ask(
          "文件名关键词和文件内容关键词不能同时为空，请正确输入文件名关键词或文件内容关键词！",
          "输入错误", PromptButtons::kOk);
      return verdict;
    case QueryVerdict::kBadTimeRange:
      prompter.Ask("您输入的文件时间开始时间与结束时间不正确", nullptr, PromptButtons::kOk);
      return verdict;
    case QueryVerdict::kBadDateKind:
      prompter.Ask("文件查询时间输入错误", nullptr, PromptButtons::kOk);
      return verdict;
    case QueryVerdict::kBadSize:
      prompter.Ask("文件查询大小输入错误", nullptr, PromptButtons::kOk);
      return verdict;
  }
  const std::string words = CleanNameWords(fields.NameWords);
  uint32_t size_from = 0, size_to = 0;
  SizeRangeOf(fields.SizeText, &size_from, &size_to);

  QueryRecord& q = engine.Query;
  q.NameWords = Clipped(words, kMaxNameWords);
  q.ContentWords = Clipped(fields.ContentWords, kMaxContentWords);
  q.Folder = Clipped(fields.Folder, kMaxQueryFolder);
  q.DateKind = DateKindOf(fields.DateKindText);
  q.TimeFrom = static_cast<uint32_t>(fields.TimeFrom);
  q.TimeTo = static_cast<uint32_t>(fields.TimeTo);
  q.SizeFrom = size_from;
  q.SizeTo = size_to;
  q.Pinyin = fields.Pinyin;

  const int k = fields.Class;
  if (k >= 1 && k < kDesktopTabCount) {
    engine.ClearClassColumn(k);
    for (const std::string& checked : fields.CheckedExtensions) {
      const std::string extension = checked.substr(0, kMaxCheckedExtension);
      std::optional<int> number = engine.TypeNumber(extension);
      if (!number) {
        engine.AddType(extension, 0);
        number = 0;
      }
      if (*number < kUnknownType) engine.SetClassFlag(*number, k, true);
    }
  }
  q.Class = k >= 1 && k < kDesktopTabCount ? k : 0;
  return QueryVerdict::kAccepted;
}

std::vector<FileTypeLine> TabFileTypes(int tab, Prompter& prompter) {
  std::vector<FileTypeLine> rows;
  if (tab <= 0 || tab >= kDesktopTabCount) {
    FileTypeLine all;
    std::strcpy(all.Extension, "all");
    std::strcpy(all.Description, "所有文件");
    rows.push_back(all);
    return rows;
  }
  bool opened = ReadFileTypes(kFileTypeFile, FileTypeReader::kTabHandler,
                              [&rows, tab](const FileTypeLine& line, int) {
                                if (line.TypeClass == tab) rows.push_back(line);
                              });
  if (!opened) {
    prompter.Ask("打开后缀名集合文件失败，请与开发商联系！", "错误", PromptButtons::kOk);
    EndProcess(-4);
  }
  return rows;
}

}  // namespace jollix
