#include "desktop/SearchServer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <bit>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <memory>

#include "common/Fatal.h"
#include "common/FileRecord.h"
#include "common/FileTypeFile.h"
#include "common/FormattedInput.h"
#include "common/Gbk.h"
#include "common/IndexLayout.h"
#include "common/TextFile.h"
#include "desktop/ContentSearch.h"

namespace jollix {
namespace {

constexpr char kUnit[] = "SearchServer";
constexpr char kNoResultRow[] = "搜索完毕，没有结果可显示";

uint32_t FromLittleEndian(uint32_t v) {
  if constexpr (std::endian::native == std::endian::big) return __builtin_bswap32(v);
  return v;
}

void LowerInto(std::string_view text, std::string* out) {
  out->assign(text);
  for (char& c : *out) c = static_cast<char>(LowerByte(static_cast<unsigned char>(c)));
}

std::string Lowered(std::string_view text) {
  std::string out;
  LowerInto(text, &out);
  return out;
}

// Whether text, lower-cased byte by byte, begins with the lower-cased prefix.
bool StartsWithLowered(std::string_view text, std::string_view lowered_prefix) {
  if (text.size() < lowered_prefix.size()) return false;
  for (size_t i = 0; i < lowered_prefix.size(); ++i) {
    if (LowerByte(static_cast<unsigned char>(text[i])) !=
        static_cast<unsigned char>(lowered_prefix[i])) {
      return false;
    }
  }
  return true;
}

// Words separated by single blanks; two blanks in a row give an empty word.
std::vector<std::string> SplitAtBlanks(const std::string& text) {
  std::vector<std::string> words;
  size_t start = 0;
  for (;;) {
    size_t blank = text.find(' ', start);
    words.push_back(text.substr(start, blank - start));
    if (blank == std::string::npos) break;
    start = blank + 1;
  }
  return words;
}

// Record lines of index/AllFile.dat at given offsets, read through a window of the file, so that
// candidates that lie close together (they ascend) cost one read between them.
class RecordLines {
 public:
  explicit RecordLines(int fd) : fd_(fd), window_(new char[kWindow]) {}

  // The line at offset through its LF, at most kRecordLineBuffer - 1 bytes; empty when nothing
  // can be read there.
  std::string_view LineAt(uint64_t offset) {
    const size_t max = kRecordLineBuffer - 1;
    bool inside = offset >= start_ && offset < start_ + length_;
    bool whole = offset + max <= start_ + length_ || length_ < kWindow;
    if (!inside || !whole) {
      ssize_t got = ReadAt(fd_, window_.get(), kWindow, offset);
      start_ = offset;
      length_ = got > 0 ? static_cast<size_t>(got) : 0;
    }
    std::string_view rest(window_.get() + (offset - start_), start_ + length_ - offset);
    rest = rest.substr(0, max);
    size_t lf = rest.find('\n');
    return lf == std::string_view::npos ? rest : rest.substr(0, lf + 1);
  }

 private:
  static constexpr size_t kWindow = 65536;
  int fd_;
  std::unique_ptr<char[]> window_;
  uint64_t start_ = 0;
  size_t length_ = 0;
};

std::string FormatTime(int32_t t) {
  time_t when = t;
  struct tm calendar;
  char text[64] = "";
  if (gmtime_r(&when, &calendar)) std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &calendar);
  return text;
}

}  // namespace

std::vector<int> QueryListNumbers(std::string_view s) {
  std::vector<int> numbers;
  auto add = [&numbers](int n) {
    if (std::find(numbers.begin(), numbers.end(), n) == numbers.end()) numbers.push_back(n);
  };
  const size_t n = s.size();
  bool paired_with_previous = false;
  for (size_t i = 0; i < n;) {
    unsigned char b = static_cast<unsigned char>(s[i]);
    unsigned char next = i + 1 < n ? static_cast<unsigned char>(s[i + 1]) : 0;
    if (b >= 0x80) {
      add(DoubleByteListNumber(b, next));
      i += 2;
      paired_with_previous = false;
      continue;
    }
    ++i;
    const bool pairs_with_next = CharCode(b) != 0 && CharCode(next) != 0;
    if (pairs_with_next) {
      add(PairListNumber(b, next));
    } else if (CharCode(b) != 0 && !paired_with_previous) {
      add(b);
    }
    paired_with_previous = pairs_with_next;
  }
  return numbers;
}

std::vector<uint32_t> IntersectPostings(const std::vector<std::vector<uint32_t>>& lists) {
  std::vector<uint32_t> common;
  if (lists.empty()) return common;
  for (const auto& list : lists) {
    if (list.empty() || list.back() != kEndOfList) return common;
  }
  std::vector<size_t> cursor(lists.size(), 0);
  uint32_t a = 0;
  for (;;) {
    for (size_t i = 0; i < lists.size(); ++i) a = std::max(a, lists[i][cursor[i]]);
    bool all_at_a = true;
    for (size_t i = 0; i < lists.size(); ++i) {
      const auto& list = lists[i];
      cursor[i] = std::lower_bound(list.begin() + cursor[i], list.end(), a) - list.begin();
      if (list[cursor[i]] != a) all_at_a = false;
    }
    if (!all_at_a) continue;
    if (a == kEndOfList) break;
    common.push_back(a);
    for (size_t& c : cursor) ++c;
  }
  return common;
}

struct SearchServer::Plan {
  int Column = 0;
  std::vector<std::string> Words;
  std::string Folder;  // lower-cased
  bool WithContent = false;
  ContentSearch* Matcher = nullptr;
  const QueryRecord* Query = nullptr;
  // Scratch texts reused from candidate to candidate.
  std::string LoweredName, FullPath, DiskPath, Cell;
};

SearchServer::SearchServer(Prompter& prompter, IconList& icons)
    : prompter_(prompter), icons_(icons) {
  Load();
}

SearchServer::~SearchServer() {
  if (postings_fd_ >= 0) close(postings_fd_);
}

void SearchServer::Load() {
  unavailable_ = true;
  postings_fd_ = open(kIndexDataFile, O_RDONLY | O_CLOEXEC);
  if (postings_fd_ < 0) {
    ConsoleWrite("打开索引文件失败，请确保已经建立索引！\n");
    return;
  }
  if (!LoadDirectory()) {
    char line[200];
    std::snprintf(line, sizeof line, "系统文件丢失，请与开发商联系! 异常点为文件 %s 的第 %d 行\n",
                  kUnit, __LINE__);
    ConsoleWrite(line);
    ConsoleWrite("导入索引信息失败，请与开发商联系！\n");
    return;
  }
  if (!LoadFileTypes()) return;
  unavailable_ = false;
}

bool SearchServer::LoadDirectory() {
  static_assert(sizeof(ListEntry) == 8);
  directory_.reset(new ListEntry[kListCount]);
  // One read straight into the directory: it is loaded at every start of a search program.
  const int fd = open(kMetaIndexFile, O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  const size_t want = sizeof(ListEntry) * kListCount;
  const ssize_t got = ReadAt(fd, directory_.get(), want, 0);
  close(fd);
  // A short directory would name lists that were never written: the index is unusable.
  if (got != static_cast<ssize_t>(want)) return false;
  struct stat st;
  const int64_t data_size = fstat(postings_fd_, &st) == 0 ? st.st_size : 0;
  for (int i = 0; i < kListCount; ++i) {
    ListEntry& e = directory_[i];
    e.Start = static_cast<int32_t>(FromLittleEndian(static_cast<uint32_t>(e.Start)));
    e.Count = static_cast<int32_t>(FromLittleEndian(static_cast<uint32_t>(e.Count)));
    // Never trust a list to reach past the end of the postings file.
    if (e.Start < 0 || e.Count < 0 || e.Start > data_size) e = ListEntry{0, 0};
    e.Count = static_cast<int32_t>(std::min<int64_t>(e.Count, (data_size - e.Start) / 4));
  }
  return true;
}

bool SearchServer::LoadFileTypes() {
  descriptions_.assign(kTypeListCount, std::string());
  class_selection_.assign(kTypeListCount, {});
  for (auto& row : class_selection_) row[0] = true;
  type_map_.clear();
  return ReadFileTypes(kFileTypeFile, FileTypeReader::kSearchEngine,
                       [this](const FileTypeLine& line, int) {
                         type_map_[line.Extension] = line.TypeNumber;
                         const int t = line.TypeNumber;
                         if (t < 0 || t >= kTypeListCount) return;
                         descriptions_[t] = line.Description;
                         if (line.TypeClass >= 1 && line.TypeClass < kClassColumns) {
                           class_selection_[t][line.TypeClass] = true;
                         }
                       });
}

std::optional<int> SearchServer::TypeNumber(std::string_view extension) const {
  auto it = type_map_.find(extension);
  if (it == type_map_.end()) return std::nullopt;
  return it->second;
}

void SearchServer::AddType(std::string_view extension, int number) {
  type_map_[std::string(extension)] = number;
}

const std::string& SearchServer::Description(int type) const {
  static const std::string kNone;
  if (type < 0 || type >= static_cast<int>(descriptions_.size())) return kNone;
  return descriptions_[type];
}

bool SearchServer::ClassFlag(int type, int column) const {
  if (type < 0 || type >= static_cast<int>(class_selection_.size())) return false;
  if (column < 0 || column >= kClassColumns) return false;
  return class_selection_[type][column];
}

void SearchServer::SetClassFlag(int type, int column, bool set) {
  if (type < 0 || type >= static_cast<int>(class_selection_.size())) return;
  if (column < 0 || column >= kClassColumns) return;
  class_selection_[type][column] = set;
}

void SearchServer::ClearClassColumn(int column) {
  for (int t = 0; t < static_cast<int>(class_selection_.size()); ++t)
    SetClassFlag(t, column, false);
}

void SearchServer::ReadList(int number, std::vector<uint32_t>* postings) const {
  const ListEntry& e = directory_[number];
  if (postings_fd_ < 0 || e.Count <= 0) return;
  const size_t old = postings->size();
  postings->resize(old + static_cast<size_t>(e.Count));
  ssize_t got = ReadAt(postings_fd_, postings->data() + old, 4u * e.Count, e.Start);
  postings->resize(old + (got > 0 ? static_cast<size_t>(got) / 4 : 0));
  for (size_t i = old; i < postings->size(); ++i) (*postings)[i] = FromLittleEndian((*postings)[i]);
}

int SearchServer::ExaminedColumn() const {
  return Query.NameWords.empty() && Query.Class == 0 ? kTextClass : Query.Class;
}

std::vector<uint32_t> SearchServer::FindCandidates() const {
  const int column = ExaminedColumn();
  const std::string lowered_words = Lowered(Query.NameWords);
  std::vector<uint32_t> candidates;
  if (lowered_words.empty()) {
    for (int t = 0; t < kTypeListCount; ++t) {
      if (ClassFlag(t, column)) ReadList(TypeListNumber(t), &candidates);
    }
    return candidates;
  }
  std::vector<std::vector<uint32_t>> lists;
  for (int number : QueryListNumbers(lowered_words)) {
    lists.emplace_back();
    ReadList(number, &lists.back());
    lists.back().push_back(kEndOfList);
  }
  return IntersectPostings(lists);
}

int SearchServer::Search(ResultPage& page) {
  if (unavailable_) return -1;
  Plan plan;
  plan.Query = &Query;
  plan.Column = ExaminedColumn();
  const std::vector<uint32_t> candidates = FindCandidates();
  count_ = static_cast<int>(candidates.size());

  plan.Words = SplitAtBlanks(Lowered(Query.NameWords));
  plan.Folder = Lowered(Query.Folder);
  plan.WithContent = !Query.ContentWords.empty();
  std::unique_ptr<ContentSearch> matcher;
  if (plan.WithContent) {
    matcher = std::make_unique<ContentSearch>();
    matcher->SetPattern(Query.ContentWords);
    matcher->Prepare();
    plan.Matcher = matcher.get();
  }
  page.DeleteAllRows();
  int fd = open(kAllFileFile, O_RDONLY | O_CLOEXEC);
  if (fd < 0) EndProcess(-1);
  RecordLines lines(fd);

  int rows = 0;
  for (size_t i = 0; i < candidates.size(); ++i) {
    if (Cancel) {
      count_ = static_cast<int>(i);
      close(fd);
      return -1;
    }
    std::string_view line = lines.LineAt(candidates[i]);
    if (line.empty()) break;
    if (AddRowIfPasses(line, plan, page, rows)) page.SetRowData(rows++, candidates[i]);
  }
  close(fd);
  count_ = rows;
  if (rows == 0) page.InsertRow(0, kNoResultRow, -1);
  return 0;
}

// Whether the file at plan.FullPath holds the content words. A file that holds them exists, so
// this also stands for the existence test: one path walk (the open) instead of two.
bool SearchServer::ContentFound(Plan& plan) {
  plan.DiskPath = FileNameFromGbk(plan.FullPath);
  int fd = open(plan.DiskPath.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0 && plan.DiskPath != plan.FullPath) {
    fd = open(plan.FullPath.c_str(), O_RDONLY | O_CLOEXEC);  // a name kept raw in the records
  }
  if (fd < 0) return false;
  const bool found = plan.Matcher->SearchOpenFile(fd) >= 0;
  close(fd);
  return found;
}

bool SearchServer::AddRowIfPasses(std::string_view line, Plan& plan, ResultPage& page, int row) {
  const char kind = line[0];
  if (kind != kFolderRecord && kind != kFileRecord) return false;  // withdrawn or no record
  const bool folder_record = kind == kFolderRecord;
  if (folder_record && (plan.WithContent || plan.Column != 0)) return false;

  const size_t tab1 = line.find('\t', 1);
  if (tab1 == std::string_view::npos) return false;
  const std::string_view name = line.substr(1, tab1 - 1);
  LowerInto(name, &plan.LoweredName);
  for (const std::string& word : plan.Words) {
    if (plan.LoweredName.find(word) == std::string::npos) return false;
  }

  const size_t tab2 = line.find('\t', tab1 + 1);
  const std::string_view folder =
      line.substr(tab1 + 1, (tab2 == std::string_view::npos ? line.size() : tab2) - tab1 - 1);
  int size = 0, time = 0;
  if (tab2 == std::string_view::npos ||
      ScanFormat(line.substr(tab2 + 1), "%d\t%d", {&size, &time}) != 2) {
    prompter_.Ask("读取文件大小和时间异常", nullptr, PromptButtons::kOk);
    return false;
  }

  int type = kUnknownType;
  bool known_type = false;
  const size_t dot = name.rfind('.');
  if (dot != std::string_view::npos && dot >= 1) {
    std::optional<int> number = TypeNumber(name.substr(dot + 1));
    if (number) {
      type = *number;
      if (type < 0 || type >= kTypeListCount) return false;
      if (!ClassFlag(type, plan.Column)) return false;
      if (plan.WithContent && !ClassFlag(type, kTextClass)) return false;
      known_type = true;
    } else if (plan.WithContent || plan.Column != 0) {
      return false;
    }
  } else if (plan.WithContent || plan.Column != 0) {
    return false;
  }

  if (!StartsWithLowered(folder, plan.Folder)) return false;
  const QueryRecord& q = *plan.Query;
  const uint32_t t = static_cast<uint32_t>(time), s = static_cast<uint32_t>(size);
  if (t < q.TimeFrom || t > q.TimeTo) return false;
  if (s < q.SizeFrom || s > q.SizeTo) return false;

  plan.FullPath.assign(folder).append(name);
  if (plan.WithContent ? !ContentFound(plan) : !ExistingDiskPath(plan.FullPath, &plan.DiskPath)) {
    return false;
  }

  const int icon = icons_.AddIconOf(plan.FullPath.c_str());
  const int index = page.InsertRow(row, plan.Cell.assign(name).c_str(), icon);
  page.SetCell(index, 1, plan.Cell.assign(folder).c_str());
  char number[32];
  std::snprintf(number, sizeof number, "%12u", s);
  page.SetCell(index, 2, number);
  page.SetCell(index, 3,
               folder_record ? "文件夹"
               : known_type  ? Description(type).c_str()
                             : "未知文件类型");
  page.SetCell(index, 4, FormatTime(time).c_str());
  std::snprintf(number, sizeof number, "%d", type);
  page.SetCell(index, 5, number);
  return true;
}

}  // namespace jollix
