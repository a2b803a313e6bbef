// The journal of the live index: index/Journal.dat, the changes a watcher saw since the index
// run that wrote the generation in place (common/IndexGeneration.h), which every reader of the
// index takes together with the posting lists.
//
//   #journal <inode> <size> <seconds>.<nanoseconds> LF      the generation it extends
//   kind name TAB folder/ TAB size TAB time LF              one line per change, as FileRecord
//   ...
//
// The first line names the generation by the postings file (index/IndexData.ind) of that run:
// its inode, its size and its last-write time, which nothing changes after the run. A reader
// takes the journal only when these are those of the postings file it loaded, so a journal of
// an older generation is never applied to a newer one (the newer run scanned the disk again).
//
// Every other line is a record line in the format of common/FileRecord.h: 'D' a folder, '_' a
// file, byte for byte what a full scan writes for the entry, or 'X' with the name and folder of
// an entry that is gone (its size and time are 0). The file is only ever appended to; for each
// entry (folder field followed by name) the latest line wins. A last line without its LF was cut
// short by a writer that ended in the middle of it and is not read; the writer cuts it off before
// it appends again, by replacing the file whole (readers map it, so it is never cut in place).
//
// A record of index/AllFile.dat whose entry has a line here is replaced by that line: the
// writer marks the old record withdrawn ('X') in place after it has written the journal line, and
// a reader passes over a record whose entry the journal names, so that an entry is never shown
// twice, nor lost, whichever of the two writes a reader or a kill falls between.
#pragma once

#include <sys/stat.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace jollix {

inline constexpr char kJournalFile[] = "index/Journal.dat";
inline constexpr char kJournalTempFile[] = "index/Journal.dat.tmp";

// The hash that stands for an entry of the index: 64-bit FNV-1a over the bytes of its folder
// field (with the final separator) followed by its name, which is the entry's full path. The
// hash of a folder's own full path is what its entries' folder fields (without the final
// separator) hash to, so the entries of a folder are found by its hash.
uint64_t PathHash(std::string_view folder_field, std::string_view name);
uint64_t PathHash(std::string_view full_path);

// The generation a journal extends, as the status of its postings file tells.
struct GenerationStamp {
  uint64_t Inode = 0;
  int64_t Size = 0;
  int64_t Seconds = 0;
  int64_t Nanoseconds = 0;
  bool operator==(const GenerationStamp&) const = default;
};
GenerationStamp StampOf(const struct stat& postings);
// The journal's first line (with its LF) for a generation, and the reverse; false when the line
// is not a journal's first line.
std::string JournalHeader(const GenerationStamp& stamp);
bool ParseJournalHeader(std::string_view line, GenerationStamp* stamp);

// Writes a journal of no changes for a generation under the journal's name, whole or not at all
// (through its temporary name). False when it cannot be written.
bool StartJournal(const GenerationStamp& stamp);

// Whether the journal now in place (from the current folder) is one of the generation.
bool JournalInPlaceIsOf(const GenerationStamp& stamp);

// A journal as read so far: the latest line of every entry it names, read on from where the last
// Refresh stopped. Not thread-safe; one reader keeps one.
class JournalView {
 public:
  struct Entry {
    uint64_t Path = 0;    // PathHash of the entry
    uint32_t At = 0;      // where its line starts in the file
    uint32_t Length = 0;  // with the LF
    char Kind = 0;        // 'D', '_' or 'X'
    bool Latest = true;   // no later line names the entry
  };

  JournalView() = default;
  ~JournalView();
  JournalView(const JournalView&) = delete;
  JournalView& operator=(const JournalView&) = delete;

  // Reads what was appended to index/Journal.dat (from the current folder) since the last call;
  // reads it from its start when the file was replaced or cut. A journal that is missing, or
  // whose first line names another generation than stamp, is read as empty. Returns true when
  // the view changed.
  bool Refresh(const GenerationStamp& stamp);
  // Reads on what was appended since: to the end of the file held, and on in the file now in
  // place when that is the same journal without a torn last line.
  bool ReadAppended();
  // Forgets everything read; the next Refresh reads from the start.
  void Clear();

  // Takes only the lines whose name field passes the filter (all lines when it is empty), and
  // forgets everything read. Every line of an entry carries the entry's name, so an entry is
  // taken with all its lines or not at all, and the latest line of each entry taken is its latest
  // line in the file. A reader that can only use entries of certain names (a search for name
  // words) spares the lookup table and the hashing of every other line, the bulk of the cost of
  // a long journal. Entries of names that do not pass are not Named.
  using NameFilter = std::function<bool(std::string_view name)>;
  void SetNameFilter(NameFilter filter);

  // The lines, in file order (a line that a later one replaced is not Latest).
  const std::vector<Entry>& Entries() const { return entries_; }
  std::string_view Line(const Entry& e) const { return std::string_view(map_ + e.At, e.Length); }
  // PathHash of the folder that holds an entry.
  uint64_t ParentOf(const Entry& e) const;
  // The entry's latest line, or null when the journal does not name it.
  const Entry* Find(uint64_t path) const;
  bool Names(uint64_t path) const { return Find(path) != nullptr; }
  bool Empty() const { return entries_.empty(); }
  // A journal of the generation was found (it may hold no lines yet).
  bool Active() const { return matched_; }
  // The journal in place names another generation than the one asked for: that of an older
  // run, or of a newer generation that replaced the one asked for.
  bool OfAnotherGeneration() const { return fd_ >= 0 && offset_ > 0 && !matched_; }
  // Record lines read (the first line not counted).
  size_t LineCount() const { return entries_.size(); }

 private:
  // Reads from offset_ to the end; false when nothing could be read.
  bool ReadOn();
  struct LatestSlot {
    uint32_t Tag = 0;    // the path's upper 32 bits
    uint32_t Index = 0;  // 0: empty, else the latest line's place in entries_ + 1
  };
  // Takes the line at map_[at] of length bytes (with its LF).
  void Take(size_t at, size_t length);
  // Enters the lines from entries_[first] on into the table of latest lines.
  void MarkLatest(size_t first);
  // The slot of an entry's path in the table of latest lines.
  LatestSlot& Slot(uint64_t path);
  // Makes room for paths entries, the table at most half full.
  void Reserve(size_t paths);
  void Unmap();

  int fd_ = -1;
  struct stat held_ {};
  GenerationStamp stamp_;
  bool matched_ = false;       // the first line was read and names stamp_
  uint64_t offset_ = 0;        // bytes taken, the first line with them
  const char* map_ = nullptr;  // the file, mapped read-only
  size_t map_size_ = 0;
  std::vector<Entry> entries_;
  NameFilter filter_;
  // The latest line of each path: open addressing, at most half full.
  std::vector<LatestSlot> slots_;
  size_t used_ = 0;
};

}  // namespace jollix
