#include "desktop/SearchServer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <bit>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <memory>
#include <thread>

#include "common/Fatal.h"
#include "common/FileRecord.h"
#include "common/FileTypeFile.h"
#include "common/FormattedInput.h"
#include "common/Gbk.h"
#include "common/IndexLayout.h"
#include "common/LocalTime.h"
#include "common/TextFile.h"
#include "desktop/ContentSearch.h"
#include "desktop/ContentWorkers.h"
#include "desktop/JournalRows.h"
#include "desktop/PinyinIndex.h"
#include "desktop/PinyinMatch.h"
#include "desktop/PostingReader.h"

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

// The words the posting lists serve: with pinyin on, a word that may match as pinyin is left
// out, since its characters need not stand in the name.
std::string ListedWords(const std::string& lowered_words, bool pinyin) {
  if (!pinyin) return lowered_words;
  std::string listed;
  for (const std::string& word : SplitAtBlanks(lowered_words)) {
    if (IsPinyinWord(word)) continue;
    if (!listed.empty()) listed += ' ';
    listed += word;
  }
  return listed;
}

// Record lines of index/AllFile.dat at given offsets, read through a window of the file, so that
// candidates that lie close together (they ascend) cost one read between them. The caller says
// how far the window should reach: candidates far apart (a rare word's) each cost a read of a
// few KiB around their line, not of a whole window.
class RecordLines {
 public:
  explicit RecordLines(int fd) : fd_(fd), window_(new char[kWindow]) {}

  static constexpr size_t kWindow = 65536;

  // The line at offset through its LF, at most kRecordLineBuffer - 1 bytes; empty when nothing
  // can be read there. A read it needs covers [offset, reach), rounded up to whole pages and cut
  // to one window.
  std::string_view LineAt(uint64_t offset, uint64_t reach) {
    const size_t max = kRecordLineBuffer - 1;
    const bool inside = offset >= start_ && offset < start_ + length_;
    const bool whole = offset + max <= start_ + length_ || at_end_;
    if (!inside || !whole) {
      constexpr size_t kPage = 4096;
      size_t want = static_cast<size_t>(std::min<uint64_t>(reach - offset, kWindow));
      want = std::clamp((want + kPage - 1) / kPage * kPage, (max + kPage - 1) / kPage * kPage,
                        kWindow);
      const ssize_t got = ReadAt(fd_, window_.get(), want, offset);
      start_ = offset;
      length_ = got > 0 ? static_cast<size_t>(got) : 0;
      at_end_ = length_ < want;
    }
    std::string_view rest(window_.get() + (offset - start_), start_ + length_ - offset);
    rest = rest.substr(0, max);
    size_t lf = rest.find('\n');
    return lf == std::string_view::npos ? rest : rest.substr(0, lf + 1);
  }

 private:
  int fd_;
  std::unique_ptr<char[]> window_;
  uint64_t start_ = 0;
  size_t length_ = 0;
  bool at_end_ = false;  // the window's read ended at the end of the file
};

// How often Load opens the index files again while another program renames them.
constexpr int kReopenAttempts = 100;
// How often a search takes up a generation published while it took its candidates.
constexpr int kGenerationAttempts = 4;

// Whether any of the names of the index files (record lines, directory, postings) leads to
// another file now than the descriptor opened from it (-1: none was opened).
bool NamesMovedOn(const std::array<int, 3>& fds) {
  const char* const names[3] = {kAllFileFile, kMetaIndexFile, kIndexDataFile};
  for (int i = 0; i < 3; ++i) {
    struct stat now, opened;
    const bool named = stat(names[i], &now) == 0;
    if (fds[i] < 0 || fstat(fds[i], &opened) != 0) {
      if (named) return true;
      continue;
    }
    if (!named || !(IdentityOf(now) == IdentityOf(opened))) return true;
  }
  return false;
}

// Whether the files opened are of two generations: another program is renaming a new one into
// place, its postings first (or a run was killed amid its renames, which the attempts outlast).
bool OfTwoGenerations(const std::array<int, 3>& fds) {
  struct stat st[3];
  for (int i = 0; i < 3; ++i) {
    if (fds[i] < 0 || fstat(fds[i], &st[i]) != 0) return false;
  }
  return !IsWholeGeneration(st[0], st[1], st[2]);
}

}  // namespace

namespace {

// Bytes whose code another byte that a lower-cased name can hold shares: '@' and '`', '[' and
// '{', '\\' and '|', ']' and '}', '^' and '~', '_' and DEL (capital letters never stand in a
// lower-cased name, so the letters fold onto nothing).
bool SharesItsCode(unsigned char b) { return b == '@' || (b >= '[' && b <= '`') || b >= '{'; }

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
    } else if (CharCode(b) != 0 && (!paired_with_previous || SharesItsCode(b))) {
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
  bool FromIndex = true;        // the candidate tested is a record of index/AllFile.dat
  int FirstRow = 0;             // rows added before this pass over candidates
  size_t FirstCandidate = 0;    // candidates examined before it
  std::vector<uint64_t> Shown;  // the entries of the records of index/AllFile.dat that passed
  bool CollectShown = false;    // a journal of the generation was read
  const PinyinReadings* Pinyin = nullptr;  // pinyin on and its table at hand
  const QueryRecord* Query = nullptr;
  std::stop_token GiveUpMessages;
  // Scratch texts reused from candidate to candidate.
  std::string LoweredName, Cell;
  char Time[64] = "";
};

// What a row shows of a record: numbers, and where its texts stand in the batch's text buffer
// (folder field then name then a NUL, so that both the full path and the name end there).
struct SearchServer::RowText {
  uint32_t Offset = 0;
  size_t Candidate = 0;  // its place among the candidates
  bool Folder = false;
  bool KnownType = false;
  int Type = kUnknownType;
  int32_t Size = 0, Time = 0;
  uint32_t TextAt = 0, FolderSize = 0, NameSize = 0;
};

SearchServer::SearchServer(Prompter& prompter, IconList& icons)
    : prompter_(prompter), icons_(icons) {
  Load();
}

SearchServer::~SearchServer() { CloseGeneration(); }

void SearchServer::CloseGeneration() {
  if (postings_fd_ >= 0) close(postings_fd_);
  if (records_fd_ >= 0) close(records_fd_);
  postings_fd_ = records_fd_ = -1;
  pinyin_index_.reset();
  pinyin_index_tried_ = false;
}

void SearchServer::OpenPinyinIndex() {
  if (pinyin_index_tried_ || postings_fd_ < 0) return;
  pinyin_index_tried_ = true;
  const PinyinReadings* table = PinyinTable();
  if (!table) return;
  pinyin_index_ = std::make_unique<PinyinIndex>();
  if (!pinyin_index_->Open(postings_fd_, records_size_, *table)) pinyin_index_.reset();
}

std::vector<uint32_t> SearchServer::JournalCandidatesAfter(size_t read_before, Plan& plan) {
  journal_.ReadAppended();
  std::sort(plan.Shown.begin(), plan.Shown.end());
  std::vector<uint32_t> candidates;
  AppendJournalCandidates(journal_, read_before, plan.Shown, &candidates);
  return candidates;
}

void SearchServer::RefreshJournal(const Plan& plan) {
  struct stat postings;
  if (postings_fd_ < 0 || fstat(postings_fd_, &postings) != 0) {
    journal_.Clear();
    return;
  }
  FilterJournalByName(plan);
  journal_.Refresh(StampOf(postings));
}

void SearchServer::FilterJournalByName(const Plan& plan) {
  // A record is passed over for the journal only after its name passed the words (and a journal
  // entry is shown only then), so an entry whose name cannot pass is never asked for: the
  // journal need not hold it.
  std::string words(plan.Pinyin ? "p" : "-");
  for (const std::string& word : plan.Words) words.append(1, '\0').append(word);
  if (words == journal_words_) return;
  journal_words_ = std::move(words);
  if (plan.Words.empty()) {
    journal_.SetNameFilter(nullptr);
    return;
  }
  journal_.SetNameFilter([words = plan.Words, pinyin = plan.Pinyin,
                          lowered = std::string()](std::string_view name) mutable {
    LowerInto(name, &lowered);
    for (const std::string& word : words) {
      if (!NameWordMatches(lowered, name, word, pinyin)) return false;
    }
    return true;
  });
}

const PinyinReadings* SearchServer::PinyinTable() {
  if (!pinyin_tried_) {
    pinyin_tried_ = true;
    pinyin_ = std::make_unique<PinyinReadings>();
    if (!pinyin_->Load()) {
      pinyin_.reset();
      ConsoleWrite("读取拼音表 index/Pinyin.dat 失败，拼音搜索不可用！\n");
    }
  }
  return pinyin_.get();
}

void SearchServer::Load() {
  unavailable_ = true;
  damaged_ = false;
  Generation generation;
  int meta_fd = -1;
  bool loaded = false;
  // A generation that an index run or the live index's fold publishes mixes with the one before
  // for the moment of its renames: while the names move on, or lead to files of two
  // generations, they are opened again.
  for (int attempt = 0;; ++attempt) {
    postings_fd_ = open(kIndexDataFile, O_RDONLY | O_CLOEXEC);
    if (postings_fd_ < 0) {
      ConsoleWrite("打开索引文件失败，请确保已经建立索引！\n");
      return;
    }
    meta_fd = open(kMetaIndexFile, O_RDONLY | O_CLOEXEC);
    // The record lines belong to the same generation; a search ends the program when there are
    // none (see Search).
    records_fd_ = open(kAllFileFile, O_RDONLY | O_CLOEXEC);
    // The directory, once made, holds meta_fd and closes it.
    loaded = meta_fd >= 0 && CheckGeneration(records_fd_, meta_fd, postings_fd_, &generation);
    if (loaded || attempt == kReopenAttempts ||
        !(NamesMovedOn({records_fd_, meta_fd, postings_fd_}) ||
          OfTwoGenerations({records_fd_, meta_fd, postings_fd_}))) {
      break;
    }
    generation.Directory.reset();
    CloseGeneration();
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  if (!loaded) {
    damaged_ = meta_fd >= 0;
    CloseGeneration();
    char line[200];
    std::snprintf(line, sizeof line, "系统文件丢失，请与开发商联系! 异常点为文件 %s 的第 %d 行\n",
                  kUnit, __LINE__);
    ConsoleWrite(line);
    ConsoleWrite("导入索引信息失败，请与开发商联系！\n");
    return;
  }
  directory_ = std::move(generation.Directory);
  records_size_ = generation.RecordsSize;
  for (int i = 0; i < 3; ++i) identity_[i] = generation.Identity[i];
  if (!LoadFileTypes()) return;
  unavailable_ = false;
}

bool SearchServer::LoadNewerGeneration() {
  if (unavailable_) return false;
  struct stat st[3];
  const char* const names[3] = {kAllFileFile, kMetaIndexFile, kIndexDataFile};
  bool same = true;
  for (int i = 0; i < 3; ++i) {
    if (stat(names[i], &st[i]) != 0) return false;
    same = same && IdentityOf(st[i]) == identity_[i];
  }
  if (same) return false;
  // Open all three, then judge them by their descriptors: a name may move on between the stat
  // above and the open.
  int fds[3];
  for (int i = 0; i < 3; ++i) fds[i] = open(names[i], O_RDONLY | O_CLOEXEC);
  Generation generation;
  bool taken = fds[0] >= 0 && fds[2] >= 0;
  if (taken) {
    taken = CheckGeneration(fds[0], fds[1], fds[2], &generation);  // takes fds[1]
  } else if (fds[1] >= 0) {
    close(fds[1]);
  }
  // The builder numbered this run's types from index/FileType.txt: the engine reads it with
  // the run, or keeps what it has.
  TypeMap map;
  std::vector<std::string> descriptions;
  ClassSelection selection;
  taken = taken && ReadTypeTables(&map, &descriptions, &selection);
  if (!taken) {
    if (fds[0] >= 0) close(fds[0]);
    if (fds[2] >= 0) close(fds[2]);
    return false;
  }
  CloseGeneration();
  records_fd_ = fds[0];
  postings_fd_ = fds[2];
  directory_ = std::move(generation.Directory);
  records_size_ = generation.RecordsSize;
  for (int i = 0; i < 3; ++i) identity_[i] = generation.Identity[i];
  TypeMap old_map = std::move(type_map_);
  ClassSelection old_selection = std::move(class_selection_);
  type_map_ = std::move(map);
  descriptions_ = std::move(descriptions);
  class_selection_ = std::move(selection);
  CarryFormColumns(old_map, old_selection);
  return true;
}

bool SearchServer::CheckGeneration(int records_fd, int meta_fd, int postings_fd,
                                   Generation* generation) {
  generation->Directory = std::make_unique<ListDirectory>(meta_fd);
  struct stat records, meta, data;
  if (meta_fd < 0 || fstat(meta_fd, &meta) != 0 || fstat(postings_fd, &data) != 0) return false;
  const bool with_records = records_fd >= 0 && fstat(records_fd, &records) == 0;
  // A set that a failed run left half renamed mixes two generations.
  if (!IsWholeGeneration(with_records ? records : meta, meta, data)) return false;
  if (!generation->Directory->Check(data.st_size)) return false;
  // Without record lines a search ends the program before it reads one.
  generation->RecordsSize = with_records ? static_cast<uint64_t>(records.st_size) : UINT64_MAX;
  // Every record stands in exactly one type list, and lists ascend: the type lists' last
  // postings tell whether the record file still holds every record (a truncated one does not),
  // for at most 2000 reads of 4 bytes.
  for (int t = 0; t < kTypeListCount; ++t) {
    ListEntry e;
    if (!generation->Directory->Entry(TypeListNumber(t), &e)) return false;
    if (e.Count == 0) continue;
    uint32_t last;
    if (ReadAt(postings_fd, &last, 4, e.Start + uint64_t{4} * (e.Count - 1)) != 4) return false;
    if (FromLittleEndian(last) >= generation->RecordsSize) return false;
  }
  generation->Identity[0] = with_records ? IdentityOf(records) : FileIdentity{};
  generation->Identity[1] = IdentityOf(meta);
  generation->Identity[2] = IdentityOf(data);
  return true;
}

bool SearchServer::ReadTypeTables(TypeMap* map, std::vector<std::string>* descriptions,
                                  ClassSelection* selection) {
  descriptions->assign(kTypeListCount, std::string());
  selection->assign(kTypeListCount, {});
  for (auto& row : *selection) row[0] = true;
  map->clear();
  return ReadFileTypes(kFileTypeFile, FileTypeReader::kSearchEngine,
                       [&](const FileTypeLine& line, int) {
                         (*map)[line.Extension] = line.TypeNumber;
                         const int t = line.TypeNumber;
                         if (t < 0 || t >= kTypeListCount) return;
                         (*descriptions)[t] = line.Description;
                         if (line.TypeClass >= 1 && line.TypeClass < kClassColumns) {
                           (*selection)[t][line.TypeClass] = true;
                         }
                       });
}

bool SearchServer::LoadFileTypes() {
  form_columns_ = {};
  return ReadTypeTables(&type_map_, &descriptions_, &class_selection_);
}

void SearchServer::CarryFormColumns(const TypeMap& old_map, const ClassSelection& old_selection) {
  auto in_table = [](int t) { return t >= 0 && t < kTypeListCount; };
  for (int column = 1; column < kClassColumns; ++column) {
    if (!form_columns_[column]) continue;
    for (auto& row : class_selection_) row[column] = false;
    for (const auto& [extension, old_number] : old_map) {
      if (!in_table(old_number) || !old_selection[old_number][column]) continue;
      // An extension the file no longer lists enters the map as the form enters one.
      const int number = type_map_.try_emplace(extension, 0).first->second;
      if (in_table(number)) class_selection_[number][column] = true;
    }
  }
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
  form_columns_[column] = true;
}

void SearchServer::ClearClassColumn(int column) {
  for (int t = 0; t < static_cast<int>(class_selection_.size()); ++t)
    SetClassFlag(t, column, false);
}

bool SearchServer::AppendList(int number, PostingReader& reader,
                              std::vector<uint32_t>* postings) const {
  ListEntry entry;
  return directory_->Entry(number, &entry) && reader.Append(entry, postings);
}

void SearchServer::MarkDamaged() {
  damaged_ = true;
  unavailable_ = true;
  ConsoleWrite("导入索引信息失败，请与开发商联系！\n");
}

int SearchServer::ExaminedColumn() const {
  return Query.NameWords.empty() && Query.Class == 0 ? kTextClass : Query.Class;
}

std::vector<uint32_t> SearchServer::FindCandidates(bool* damaged) const {
  const int column = ExaminedColumn();
  const std::string lowered_words = Lowered(Query.NameWords);
  std::vector<uint32_t> candidates;
  bool sound = true;
  if (damaged) *damaged = false;
  if (postings_fd_ < 0) return candidates;  // no index loaded
  // The directory was checked against the postings file: every list lies inside it, so no read
  // or allocation is larger than the file.
  PostingReader reader(postings_fd_, records_size_);
  if (lowered_words.empty()) {
    for (int t = 0; sound && t < kTypeListCount; ++t) {
      if (ClassFlag(t, column)) sound = AppendList(TypeListNumber(t), reader, &candidates);
    }
  } else if (Query.Pinyin && PinyinCandidates(lowered_words, &candidates, &sound)) {
    // The pinyin lists served.
  } else if (const std::string listed = ListedWords(lowered_words, Query.Pinyin); listed.empty()) {
    // Every word may match as pinyin: every record is a candidate (each stands in one type
    // list).
    for (int t = 0; sound && t < kTypeListCount; ++t) {
      sound = AppendList(TypeListNumber(t), reader, &candidates);
    }
    std::sort(candidates.begin(), candidates.end());
  } else {
    std::vector<ListEntry> lists;
    for (int number : QueryListNumbers(listed)) {
      lists.emplace_back();
      sound = sound && directory_->Entry(number, &lists.back());
    }
    sound = sound && reader.Intersect(std::move(lists), &candidates);
  }
  if (damaged) *damaged = !sound;
  if (!sound) candidates.clear();
  return candidates;
}

bool SearchServer::PinyinCandidates(const std::string& lowered_words,
                                    std::vector<uint32_t>* candidates, bool* sound) const {
  if (!pinyin_index_) return false;
  auto lists_of = [&](const std::string& words, std::vector<uint32_t>* common) {
    std::vector<ListEntry> lists;
    for (int number : QueryListNumbers(words)) {
      lists.emplace_back();
      *sound = *sound && directory_->Entry(number, &lists.back());
    }
    const bool any = !lists.empty();
    PostingReader reader(postings_fd_, records_size_);
    *sound = *sound && reader.Intersect(std::move(lists), common);
    return any;
  };
  // Each word's records, ascending; then those common to all words.
  std::vector<std::vector<uint32_t>> sets(1);
  const bool listed = lists_of(ListedWords(lowered_words, true), &sets[0]);
  if (!listed) sets.clear();
  for (const std::string& word : SplitAtBlanks(lowered_words)) {
    if (!IsPinyinWord(word)) continue;
    std::vector<uint32_t> spelled, typed, both;
    if (!pinyin_index_->Candidates(word, &spelled)) return false;
    lists_of(word, &typed);
    std::set_union(spelled.begin(), spelled.end(), typed.begin(), typed.end(),
                   std::back_inserter(both));
    sets.push_back(std::move(both));
  }
  std::vector<uint32_t> common = sets.empty() ? std::vector<uint32_t>() : std::move(sets[0]);
  for (size_t k = 1; k < sets.size(); ++k) {
    std::vector<uint32_t> narrowed;
    std::set_intersection(common.begin(), common.end(), sets[k].begin(), sets[k].end(),
                          std::back_inserter(narrowed));
    common.swap(narrowed);
  }
  *candidates = std::move(common);
  return true;
}

int SearchServer::Search(ResultPage& page, std::stop_token give_up_messages) {
  if (unavailable_) return -1;
  for (int pass = 0;; ++pass) {
    const int searched = SearchOnce(page, give_up_messages, pass == kGenerationAttempts);
    if (searched != kJournalStarted) return searched;
  }
}

int SearchServer::SearchOnce(ResultPage& page, std::stop_token give_up_messages, bool last) {
  LoadNewerGeneration();
  Plan plan;
  plan.Query = &Query;
  plan.GiveUpMessages = std::move(give_up_messages);
  plan.Column = ExaminedColumn();
  plan.Words = SplitAtBlanks(Lowered(Query.NameWords));
  plan.Pinyin = Query.Pinyin ? PinyinTable() : nullptr;
  std::vector<uint32_t> candidates;
  // A fold of the live index publishes its generation and only then starts the journal of it:
  // a journal of another generation found after the candidates were taken may be that of a
  // generation published since, whose records hold what the loaded one's journal held. The
  // newer generation is taken up and the candidates taken again.
  for (int attempt = 0;; ++attempt) {
    if (Query.Pinyin) OpenPinyinIndex();
    bool damaged = false;
    candidates = FindCandidates(&damaged);
    if (damaged) {
      count_ = 0;
      MarkDamaged();
      return -1;
    }
    RefreshJournal(plan);
    if (!journal_.OfAnotherGeneration() || attempt == kGenerationAttempts ||
        !LoadNewerGeneration()) {
      break;
    }
  }
  const size_t journal_read = journal_.LineCount();
  // Without a journal of this generation now, none is read on after the records either.
  plan.CollectShown = journal_.Active();
  count_ = static_cast<int>(candidates.size());

  plan.Folder = Lowered(Query.Folder);
  plan.WithContent = !Query.ContentWords.empty();
  std::unique_ptr<ContentSearch> matcher;
  if (plan.WithContent) {
    matcher = std::make_unique<ContentSearch>();
    matcher->SetPattern(Query.ContentWords);
    matcher->Prepare();
  }
  page.DeleteAllRows();
  // The record lines are those of the loaded generation; a record file that is gone from the
  // index folder ends the program, as when there is none to open.
  if (records_fd_ < 0 || access(kAllFileFile, F_OK) != 0) EndProcess(-1);

  int rows = SearchCandidates(candidates, plan, matcher.get(), page);
  if (rows < 0) return -1;
  // A journal of the generation that the live index began meanwhile (just after its fold
  // published the generation, or at its start) may have replaced records that were shown, and
  // withdrawn records that were passed over: neither is known without the entries shown, which
  // are collected only with a journal. The records are read again, with it.
  if (!plan.CollectShown && !last) {
    struct stat postings;
    if (fstat(postings_fd_, &postings) == 0 && JournalInPlaceIsOf(StampOf(postings))) {
      return kJournalStarted;
    }
  }
  // The journal's entries come after the records, read on to its end now: a record withdrawn
  // while the records were read was replaced by a line written before its mark.
  const std::vector<uint32_t> journal = JournalCandidatesAfter(journal_read, plan);
  if (!journal.empty()) {
    plan.FromIndex = false;
    plan.FirstRow = rows;
    plan.FirstCandidate = candidates.size();
    count_ = static_cast<int>(candidates.size() + journal.size());
    rows = SearchCandidates(journal, plan, matcher.get(), page);
    if (rows < 0) return -1;
  }
  count_ = rows;
  if (rows == 0) page.InsertRow(0, kNoResultRow, -1);
  return 0;
}

// The candidates' record lines, a chunk at a time: the candidates of a search without name words
// come type list by type list, so their offsets jump back at every list; a chunk's lines are read
// in file order, through one window of the record file, and handed out in candidate order (a
// name search's candidates are in file order already).
class SearchServer::Batches {
 public:
  Batches(int records_fd, const JournalView& journal, const std::vector<uint32_t>& candidates)
      : lines_(records_fd), journal_(journal), candidates_(candidates) {}

  // The line of candidate i (i ascending from 0 by one); empty when nothing can be read there.
  // It stays valid until the next call.
  std::string_view Line(size_t i) {
    if (i >= chunk_end_) Load(i);
    const size_t k = i - chunk_start_;
    return std::string_view(texts_).substr(at_[k], length_[k]);
  }

 private:
  static constexpr size_t kChunk = 4096;

  void Load(size_t first) {
    chunk_start_ = first;
    chunk_end_ = std::min(first + kChunk, candidates_.size());
    const size_t n = chunk_end_ - first;
    order_.resize(n);
    for (size_t k = 0; k < n; ++k) order_[k] = static_cast<uint32_t>(k);
    auto before = [&](uint32_t a, uint32_t b) {
      return candidates_[first + a] < candidates_[first + b];
    };
    if (!std::is_sorted(order_.begin(), order_.end(), before)) {
      std::sort(order_.begin(), order_.end(), before);
    }
    texts_.clear();
    at_.resize(n);
    length_.resize(n);
    // A read reaches the lines of the candidates after it that fit in one window with it. The
    // journal's candidates sort after every record line's place.
    size_t last = 0;
    for (size_t j = 0; j < n; ++j) {
      const uint32_t k = order_[j];
      const uint32_t candidate = candidates_[first + k];
      std::string_view line;
      if (IsJournalCandidate(candidate)) {
        line = JournalLine(journal_, candidate);
      } else {
        const uint64_t offset = candidate;
        last = std::max(last, j);
        while (last + 1 < n && !IsJournalCandidate(candidates_[first + order_[last + 1]]) &&
               candidates_[first + order_[last + 1]] + kRecordLineBuffer <=
                   offset + RecordLines::kWindow) {
          ++last;
        }
        const uint64_t reach = candidates_[first + order_[last]] + kRecordLineBuffer;
        line = lines_.LineAt(offset, reach);
      }
      at_[k] = static_cast<uint32_t>(texts_.size());
      length_[k] = static_cast<uint32_t>(line.size());
      texts_.append(line);
    }
  }

  RecordLines lines_;
  const JournalView& journal_;
  const std::vector<uint32_t>& candidates_;
  size_t chunk_start_ = 0, chunk_end_ = 0;
  std::vector<uint32_t> order_, at_, length_;
  std::string texts_;
};

// The candidates' record tests run batch by batch; the files of the records that passed are
// tested on every core, for existence or for the content words, and the batch's rows added in
// candidate order. While the workers test a batch's files, this thread runs the record tests of
// the next batch, and one worker more stands in for it meanwhile.
//
// A batch is answered only once the record after it that passes the record tests is known (it
// opens the next batch): a cancel set while the batch's rows are added is then answered with that
// record's place, exactly as when every record was tested before the first row. A cancel set
// while the next batch's records are tested is answered before any row of the batch being
// tested is added, with the place of its first row.
//
// A record line is taken as it was when this search read it: a withdrawal marked while the
// files are tested shows at the next search.
int SearchServer::SearchCandidates(const std::vector<uint32_t>& candidates, Plan& plan,
                                   const ContentSearch* matcher, ResultPage& page) {
  const size_t batch_rows = std::max<size_t>(BatchRows, 1);
  Batches lines(records_fd_, journal_, candidates);
  struct Batch {
    std::vector<RowText> Passed;
    std::string Texts;
  };
  Batch now, next;
  size_t i = 0;
  bool ended = false;
  // Runs the record tests into batch b until it holds batch_rows rows and the one that opens
  // the batch after it, or the candidates end; false when a cancel stopped them.
  auto fill = [&](Batch& b) {
    for (; !ended && b.Passed.size() <= batch_rows && i < candidates.size(); ++i) {
      if (Cancel) return false;
      const std::string_view line = lines.Line(i);
      if (line.empty()) {
        ended = true;
        break;
      }
      RowText text;
      if (!PassesRecordTests(line, plan, &text, &b.Texts)) continue;
      text.Offset = candidates[i];
      text.Candidate = i;
      b.Passed.push_back(text);
    }
    if (i >= candidates.size()) ended = true;
    return true;
  };
  if (!fill(now)) {
    count_ = static_cast<int>(plan.FirstCandidate + i);
    return -1;
  }
  int rows = plan.FirstRow;
  std::vector<CandidateFile> files;
  for (;;) {
    // The batch: every row that passed, but the one that opens the next batch.
    const size_t batch = std::min(now.Passed.size(), batch_rows);
    const bool more = batch < now.Passed.size();
    files.clear();
    for (size_t j = 0; j < batch; ++j) {
      const RowText& t = now.Passed[j];
      files.push_back({now.Texts.data() + t.TextAt, t.FolderSize + t.NameSize, t.FolderSize});
    }
    {
      ContentWorkers workers(matcher, Cancel, std::move(files),
                             ContentWorkerCount() + (more ? 1 : 0));
      if (more) {
        // The row that opens the next batch moves to the front of its buffers.
        RowText first = now.Passed[batch];
        next.Passed.clear();
        next.Texts.assign(now.Texts, first.TextAt, first.FolderSize + first.NameSize + 1);
        first.TextAt = 0;
        next.Passed.push_back(first);
        fill(next);  // a cancel meanwhile is answered below, at this batch's first row
      }
      for (size_t j = 0; j < batch; ++j) {
        std::optional<bool> found = Cancel ? std::nullopt : workers.Answer(j);
        if (!found) {
          // Examined: every candidate before the one whose answer the cancel left open.
          count_ = static_cast<int>(plan.FirstCandidate + now.Passed[j].Candidate);
          return -1;
        }
        if (*found) AddRow(now.Passed[j], now.Texts, plan, page, rows++);
      }
    }
    files = {};
    if (!more) return rows;
    if (Cancel) {
      count_ = static_cast<int>(plan.FirstCandidate + now.Passed[batch].Candidate);
      return -1;
    }
    std::swap(now, next);
  }
}

bool SearchServer::PassesRecordTests(std::string_view line, Plan& plan, RowText* row,
                                     std::string* texts) {
  const char kind = line[0];
  if (kind != kFolderRecord && kind != kFileRecord) return false;  // withdrawn or no record
  const bool folder_record = kind == kFolderRecord;
  if (folder_record && (plan.WithContent || plan.Column != 0)) return false;

  const size_t tab1 = line.find('\t', 1);
  if (tab1 == std::string_view::npos) return false;
  const std::string_view name = line.substr(1, tab1 - 1);
  LowerInto(name, &plan.LoweredName);
  for (const std::string& word : plan.Words) {
    if (!NameWordMatches(plan.LoweredName, name, word, plan.Pinyin)) return false;
  }

  const size_t tab2 = line.find('\t', tab1 + 1);
  const std::string_view folder =
      line.substr(tab1 + 1, (tab2 == std::string_view::npos ? line.size() : tab2) - tab1 - 1);
  int size = 0, time = 0;
  if (tab2 == std::string_view::npos ||
      ScanFormat(line.substr(tab2 + 1), "%d\t%d", {&size, &time}) != 2) {
    prompter_.AskUnlessStopped("读取文件大小和时间异常", nullptr, PromptButtons::kOk,
                               plan.GiveUpMessages);
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
  if (plan.FromIndex) {
    if (ReplacedByJournal(journal_, folder, name)) return false;
    if (plan.CollectShown) plan.Shown.push_back(PathHash(folder, name));
  }
  const QueryRecord& q = *plan.Query;
  const uint32_t t = static_cast<uint32_t>(time), s = static_cast<uint32_t>(size);
  if (t < q.TimeFrom || t > q.TimeTo) return false;
  if (s < q.SizeFrom || s > q.SizeTo) return false;

  row->Folder = folder_record;
  row->KnownType = known_type;
  row->Type = type;
  row->Size = size;
  row->Time = time;
  row->TextAt = static_cast<uint32_t>(texts->size());
  row->FolderSize = static_cast<uint32_t>(folder.size());
  row->NameSize = static_cast<uint32_t>(name.size());
  texts->append(folder).append(name).push_back('\0');
  return true;
}

void SearchServer::AddRow(const RowText& text, const std::string& texts, Plan& plan,
                          ResultPage& page, int row) {
  const char* path = texts.data() + text.TextAt;
  const int icon = icons_.AddIconOf(path);
  const int index = page.InsertRow(row, path + text.FolderSize, icon);
  plan.Cell.assign(path, text.FolderSize);
  page.SetCell(index, 1, plan.Cell.c_str());
  char number[32];
  std::snprintf(number, sizeof number, "%12u", static_cast<uint32_t>(text.Size));
  page.SetCell(index, 2, number);
  page.SetCell(index, 3,
               text.Folder      ? "文件夹"
               : text.KnownType ? Description(text.Type).c_str()
                                : "未知文件类型");
  FormatLocalTimeInto(text.Time, plan.Time, sizeof plan.Time);  // the file manager's time
  page.SetCell(index, 4, plan.Time);
  std::snprintf(number, sizeof number, "%d", text.Type);
  page.SetCell(index, 5, number);
  // A row of the journal has no record line in index/AllFile.dat to withdraw.
  page.SetRowData(index, IsJournalCandidate(text.Offset) ? -1 : text.Offset);
}

}  // namespace jollix
