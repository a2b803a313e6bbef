// The main program's side of the desktop index: checks the list directory (index/MetaIndex.ind)
// and loads the type settings (index/FileType.txt) once, keeps the directory, index/IndexData.ind
// and index/AllFile.dat open, and answers one query at a time, reading the directory entries of
// the lists a query needs (common/ListDirectory.h) and the lists themselves
// (desktop/PostingReader.h).
//
// A name search never reads a record line before it has narrowed the candidates: the words
// select one posting list per character or pair of adjacent single-byte characters, and only the
// records common to all of them are read from index/AllFile.dat. A candidate then still has to
// pass, from the cheapest test to the dearest: kind, name words (the lists only tell that the
// characters occur, not that a word occurs whole), type and class, folder, time, size,
// existence on disk and, last, the content words. The disk tests (existence, content words) run
// on every core (desktop/ContentWorkers.h); the rows are still added in candidate order, from the
// thread that runs Search.
//
// Streaming: the candidates are tested in batches of a few thousand rows, record tests first,
// then the disk tests, then the batch's rows are added, so that a search holds only one batch's
// row texts (folder field and name, the rest as numbers), never every candidate's record line:
// a search that finds half a million files runs in a few MiB beyond its posting lists, and its
// first rows reach the page at once. The rows, their order and the counts are those of testing
// every record first: a cancel that the page's rows trigger is answered with the count of the
// first record that passed the record tests and whose disk test was not taken, as before.
//
// Generations: postings, record lines and type numbers are always those of one index run. The
// engine keeps the descriptors of the three files it loaded; at the start of each search, when
// the names in index/ lead to a newer whole generation (common/IndexGeneration.h), it loads that
// one, reads index/FileType.txt again (the builder numbered the types of that run from it) and
// drops the old. Loading at creation opens the files again while their names move on (another
// program is renaming a new generation into place), rather than taking the moment's mix for
// damage. A class column that the form rewrote keeps the form's extensions across the
// reload, renumbered.
//
// The live index: the journal of changes that extends the generation loaded
// (common/RecordJournal.h) is read on at the start of each search and again after the records,
// and its entries are searched after the posting lists' candidates with the same tests and rows
// (desktop/JournalRows.h). A row of the journal carries -1 as its row data. Without a journal
// nothing changes.
//
// Damage: an index is used only when it is one whole generation whose list directory lays out
// exactly the postings file (common/ListDirectory.h) and whose type lists end inside the record
// file; each list is checked again when a search reads it (ascending, every posting inside the
// record file). A damaged index is treated as no index: no list is read past its file, no
// allocation is larger than the postings file, and no posting is read as a record unless it
// lies inside the record file.
//
// Threads: Search runs on a worker thread, one search at a time. The form sets Query and the
// class selection only while no search runs; Cancel may be set from any thread and is read
// before each candidate (and by the content workers between chunks of a file).
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <stop_token>
#include <string>
#include <string_view>
#include <vector>

#include "common/IconList.h"
#include "common/IndexGeneration.h"
#include "common/ListDirectory.h"
#include "common/Prompter.h"
#include "common/RecordJournal.h"
#include "common/ResultPage.h"

namespace jollix {

class ContentSearch;
class PinyinIndex;
class PinyinReadings;
class PostingReader;

// Longest texts of a query, in bytes.
inline constexpr size_t kMaxNameWords = 499;
inline constexpr size_t kMaxContentWords = 499;
inline constexpr size_t kMaxQueryFolder = 1999;

inline constexpr uint32_t kEndOfList = 0xFFFFFFFFu;
inline constexpr int kClassColumns = 5;

// The desktop query handed from the form to the engine. Texts are GBK.
struct QueryRecord {
  std::string NameWords;     // blank-separated words that must all occur in the file name
  std::string ContentWords;  // one phrase the file's bytes must hold; empty: no content test
  std::string Folder;        // the subtree searched (a plain prefix of the folder); empty: all
  int Class = 0;             // column of the class selection: 0 all types, 1..4 a type class
  int DateKind = 1;          // 0 created, 1 modified, 2 accessed; the index holds last-write only
  uint32_t TimeFrom = 0;     // inclusive range of the record time, seconds since 1970 UTC
  uint32_t TimeTo = 0xFFFFFFFFu;
  uint32_t SizeFrom = 0;  // inclusive range of the record size in bytes
  uint32_t SizeTo = 0xFFFFFFFFu;
  // Pinyin on: a name word of ASCII letters also matches a run of Chinese characters that it
  // spells in pinyin (desktop/PinyinMatch.h). Off, the default, every word matches as typed.
  bool Pinyin = false;
};

// The posting lists that lower-cased name words select, in the order the words select them: a
// double-byte character its character list; a single byte with a non-zero code followed by
// another its pair list; one followed by a byte of code 0 or the end its character list; blank
// and control bytes nothing. A list selected twice is named once. The character list of a byte
// that ends a selected pair is left out when the pair's list is part of it, which holds where the
// byte's code is its own: such a list could narrow nothing, and it is among the longest there
// are (a final digit or letter). The code table folds two bytes onto one code where a name can
// hold either ('[' and '{', '\\' and '|', ']' and '}', '^' and '~', '_' and DEL, '@' and '`'):
// a pair list then also holds names with the other byte, and the character list still narrows.
std::vector<int> QueryListNumbers(std::string_view lowered_words);

// The postings common to all lists, in ascending order. Each list is ascending and ends with
// kEndOfList. No list gives no postings.
std::vector<uint32_t> IntersectPostings(const std::vector<std::vector<uint32_t>>& lists);

class SearchServer {
 public:
  // Loads the index from the current folder, the installation folder. A failure writes its
  // system lines and sets the index-unavailable flag; it never ends the process. A damaged
  // index (see the top of this file) writes the lines of an unreadable directory and is also
  // marked damaged. prompter and icons must outlive the engine.
  SearchServer(Prompter& prompter, IconList& icons);
  ~SearchServer();
  SearchServer(const SearchServer&) = delete;
  SearchServer& operator=(const SearchServer&) = delete;

  bool IndexUnavailable() const { return unavailable_; }
  // The index is unavailable because its files are damaged (at load, or found by a search);
  // rebuilding it mends it.
  bool IndexDamaged() const { return damaged_; }

  // Loads the generation now in place in index/, with the type settings of index/FileType.txt,
  // when it is a newer whole and undamaged one than the engine holds (Search does this first).
  // Returns true when it did. The old generation's files stay readable until then, even after
  // an index run has replaced their names; a newer generation that is damaged, or whose type
  // settings cannot be read, is not taken.
  bool LoadNewerGeneration();

  // Runs Query and writes its rows into page (all rows are deleted first); each row carries the
  // byte offset of its record line as its row data. Returns 0 when
  // finished, then Count() is the number of rows added (the single no-result row counts none);
  // -1 when cancelled, then Count() is the number of candidates examined and the rows added so
  // far stay; -1 without touching the page when a list read shows the index damaged, which
  // then stays unavailable and damaged. Ends the process with -1 when index/AllFile.dat cannot be
  // opened, and as the content matcher does when its table cannot be had. Returns -1 without
  // touching the page while the index is unavailable. A named pipe, socket, device or folder among
  // the candidates of a content search is passed over without being read; a cancel stops the
  // content test of a long file within one chunk. A message box that the search shows is given
  // up (not waited for) once give_up_messages is requested, so that the thread that would show
  // it may stop the search and join its worker.
  int Search(ResultPage& page, std::stop_token give_up_messages = {});

  // Candidates found while a search runs, then as told for Search.
  int Count() const { return count_; }

  // The records that Search examines for Query, as offsets in index/AllFile.dat, in
  // examination order: with name words the postings common to the lists they select (file
  // order; with pinyin on, a word that may match as pinyin selects the records its own lists
  // hold together with those the generation's pinyin lists give it (desktop/PinyinIndex.h);
  // without usable pinyin lists its lists are left out, and when that leaves none, every record
  // of the type lists, in file order); without, the type lists of the class (text files when
  // the class is 0), in type-number order. *damaged, when given,
  // tells whether a list read showed the index damaged; the candidates are then empty.
  std::vector<uint32_t> FindCandidates(bool* damaged = nullptr) const;

  // The type map of index/FileType.txt, which the form extends with extensions it adds later.
  std::optional<int> TypeNumber(std::string_view extension) const;
  void AddType(std::string_view extension, int number);
  // Field 4 of index/FileType.txt for a type number 0..1999; empty for other numbers.
  const std::string& Description(int type) const;

  // The class selection: column 0 is set for every type; column c (1..4) for the types of class
  // c, rewritten by the form before a search of tab c. Numbers outside the table read as clear.
  bool ClassFlag(int type, int column) const;
  void SetClassFlag(int type, int column, bool set);
  void ClearClassColumn(int column);

  QueryRecord Query;
  // Rows tested and added per batch (see Streaming above), at least 1: a tuning value, which
  // changes neither the rows nor the counts; tests set it small to cross many batches.
  size_t BatchRows = 8192;
  std::atomic<bool> Busy{false};    // a search runs (set and cleared by the form)
  std::atomic<bool> Cancel{false};  // the running search stops at its next candidate

 private:
  struct Plan;     // one search's prepared query
  struct RowText;  // a record that passed every test but the dearest ones
  class Batches;   // the candidates' record lines, read ahead a chunk at a time
  using TypeMap = std::map<std::string, int, std::less<>>;
  using ClassSelection = std::vector<std::array<bool, kClassColumns>>;
  // A generation's files checked and its directory read (see the top of this file).
  struct Generation {
    std::unique_ptr<ListDirectory> Directory;
    uint64_t RecordsSize = 0;  // the bound of every posting
    FileIdentity Identity[3];  // record lines, directory, postings
  };

  void Load();
  // Checks three open files (records_fd may be -1: a search then ends the program) as one
  // whole, undamaged generation and keeps its directory in *generation, which takes meta_fd
  // (-1 when it could not be opened) whatever the verdict.
  static bool CheckGeneration(int records_fd, int meta_fd, int postings_fd, Generation* generation);
  // Reads index/FileType.txt into fresh tables; false when it cannot be opened.
  static bool ReadTypeTables(TypeMap* map, std::vector<std::string>* descriptions,
                             ClassSelection* selection);
  bool LoadFileTypes();
  // After the type tables were read anew: the class columns that the form rewrote get the
  // extensions they held under old_map, in the new numbering.
  void CarryFormColumns(const TypeMap& old_map, const ClassSelection& old_selection);
  // Appends list number's postings; false, appending nothing, when the list is damaged.
  bool AppendList(int number, PostingReader& reader, std::vector<uint32_t>* postings) const;
  void MarkDamaged();
  // The class column a search of Query tests: a search without name words at class 0 looks at
  // text files only.
  int ExaminedColumn() const;
  // Whether a record line passes the tests up to the size (everything but existence and
  // content); fills *row when it does, its texts appended to *texts (folder field, name, NUL).
  bool PassesRecordTests(std::string_view line, Plan& plan, RowText* row, std::string* texts);
  void AddRow(const RowText& text, const std::string& texts, Plan& plan, ResultPage& page, int row);
  // Runs the tests of every candidate and adds the rows; the number of rows, or -1 when
  // cancelled (count_ then set). matcher: the content words, or null.
  int SearchCandidates(const std::vector<uint32_t>& candidates, Plan& plan,
                       const ContentSearch* matcher, ResultPage& page);
  void CloseGeneration();
  // One pass of Search over the generation loaded; kJournalStarted when a journal of that
  // generation began while the records were read and last is false (the pass is to be run again).
  static constexpr int kJournalStarted = 1;
  int SearchOnce(ResultPage& page, std::stop_token give_up_messages, bool last);
  // Reads on the journal of the generation loaded, the entries whose names can pass the plan's
  // name words (all of them without words).
  void RefreshJournal(const Plan& plan);
  // Has the journal read for the plan's name words, read anew only when they changed.
  void FilterJournalByName(const Plan& plan);
  // The journal's entries to examine after the records, as told in desktop/JournalRows.h.
  std::vector<uint32_t> JournalCandidatesAfter(size_t read_before, Plan& plan);
  // The reading table for a pinyin search, loaded at the first one; null when it cannot be read
  // (pinyin words then match as typed only).
  const PinyinReadings* PinyinTable();
  // Opens the pinyin lists of the loaded generation for a pinyin search, once per generation.
  void OpenPinyinIndex();
  // The candidates of name words with pinyin on, from the pinyin lists; false when they cannot
  // serve (none, or a list fails its check): the words' own lists then serve as without them.
  // *sound tells whether the posting lists read were sound.
  bool PinyinCandidates(const std::string& lowered_words, std::vector<uint32_t>* candidates,
                        bool* sound) const;

  Prompter& prompter_;
  IconList& icons_;
  std::atomic<bool> unavailable_{true};
  std::atomic<bool> damaged_{false};
  // The generation loaded: its open files and which files the names led to.
  int postings_fd_ = -1;
  int records_fd_ = -1;
  uint64_t records_size_ = 0;                 // no posting lies at or past it
  FileIdentity identity_[3];                  // record lines, directory, postings
  std::unique_ptr<ListDirectory> directory_;  // all 71636 lists: characters, pairs, types
  TypeMap type_map_;
  std::vector<std::string> descriptions_;
  ClassSelection class_selection_;
  std::array<bool, kClassColumns> form_columns_{};  // columns the form rewrote
  std::atomic<int> count_{0};
  JournalView journal_;                     // touched by the searching thread only
  std::string journal_words_;               // the words the journal was read for, and pinyin
  std::unique_ptr<PinyinReadings> pinyin_;  // touched by the searching thread only
  bool pinyin_tried_ = false;
  std::unique_ptr<PinyinIndex> pinyin_index_;  // of the loaded generation; touched as pinyin_
  bool pinyin_index_tried_ = false;
};

}  // namespace jollix
