// The live index of an installation: keeps the index of the '_' folders of index/ScanFolder.txt
// current while a watcher reports changes (live/ChangeSink.h), by writing the journal that the
// engine searches with the posting lists (common/RecordJournal.h), and folds the journal into a
// whole new generation when it grows long.
//
// What it writes for an entry is exactly what the next full scan would write (the scan's own
// record function, indexer/FolderWalk.h): names beginning with a dot and everything inside such
// folders stay out, links are recorded and never followed. A change is always judged by looking
// at the disk, never by the notice, so a notice lost, doubled or late costs a look and nothing
// else; and an entry whose record is already what the disk says is not written again, so the
// same change seen twice (a restart, a rescan) is never doubled.
//
// The order of the writes keeps a kill at any moment harmless: a journal line is written whole
// with one call before the record it replaces is marked withdrawn in index/AllFile.dat, and a
// reader passes over a record that the journal names; a restart (CatchUp) compares the disk with
// the index again and brings in what changed while nothing watched.
//
// '#' folders keep their last scan: nothing below them is looked at unless it also lies below a
// '_' folder.
//
// Runs in the installation folder; one live index per installation (the watch lock of
// `jollix watch` sees to that). Not thread-safe.
#pragma once

#include <sys/stat.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "common/IndexGeneration.h"
#include "common/Prompter.h"
#include "common/RecordJournal.h"
#include "live/ChangeSink.h"
#include "live/IndexedEntries.h"

namespace jollix {

// Journal lines beyond which Flush folds the journal into a new generation.
inline constexpr size_t kFoldLines = 100000;

class LiveIndex : public ChangeSink {
 public:
  // Opens the index in the current folder, first building one with a whole index run (scan and
  // build) when there is none; a failure of that run ends the process as the run does. Returns
  // null with *error set when the index cannot be opened. prompter tells the run's messages.
  static std::unique_ptr<LiveIndex> Open(Prompter& prompter, std::string* error);
  ~LiveIndex() override;

  // The '_' folders as the file system spells them, in the order of index/ScanFolder.txt.
  std::vector<std::string> WatchedRoots() const;

  // Compares every watched folder with the index and brings in the differences.
  void CatchUp();

  void EntryChanged(std::string_view path) override;
  void SubtreeChanged(std::string_view path) override;
  // Folds the journal when it holds fold_lines lines or more.
  void Flush() override;

  // Takes up what another program changed: a newer whole generation in index/ (an index run),
  // or a changed index/ScanFolder.txt; either is followed by CatchUp. Returns true when the
  // watched folders changed (the watcher must be started anew on WatchedRoots).
  bool TakeUpChanges();

  // Builds a whole new generation from the records in place, less those withdrawn or replaced,
  // and the journal's latest lines, publishes it and starts an empty journal for it. Returns 0,
  // or a negative number when no generation was published (the index stays as it was):
  // -1 the type settings or the index files cannot be read, -2/-3 the lists cannot be written,
  // -6 another program published a generation meanwhile (TakeUpChanges takes it).
  int Fold();

  size_t JournalLines() const { return journal_.LineCount(); }
  void SetFoldLines(size_t lines) { fold_lines_ = lines; }

 private:
  struct Root {
    std::string Gbk;   // as index/ScanFolder.txt spells it
    std::string Disk;  // as the file system does
  };
  // Where a path of the disk stands in the index.
  struct Place {
    const Root* Owner = nullptr;
    bool IsRoot = false;
    std::string Folder;  // GBK path of the holding folder (no final separator)
    std::string Name;    // GBK name
    std::string Disk;    // the path as given
    uint64_t Path = 0;   // PathHash of the entry
  };
  // What the index holds for an entry now.
  struct Current {
    bool Present = false;
    bool Folder = false;
    uint32_t Line = 0;  // LineHash of its line
  };

  LiveIndex(Prompter& prompter) : prompter_(prompter) {}
  // Loads the generation in place (waiting out another program's renames); false when there is
  // no whole generation.
  bool Load(std::string* error);
  bool ReadRoots();
  bool OpenJournal();
  void CloseFiles();
  bool GenerationReplaced() const;
  bool ScanFoldersChanged() const;

  // Where path stands: false when it lies below no '_' folder, or where a scan records nothing.
  bool Locate(std::string_view path, Place* place) const;
  Current CurrentOf(uint64_t path);
  // The entry at place is what the disk says it is (st) now: write its record unless the index
  // holds it already.
  void Put(const Place& place, const struct stat& st);
  void PutLine(uint64_t path, std::string_view line);
  // The entry and everything below it are gone.
  void WithdrawTree(uint64_t path);
  void Withdraw(uint64_t path);
  // Everything the index holds below a folder; with seen, but the records marked seen and the
  // journal's entries of the paths of *seen (sorted).
  void CollectBelow(uint64_t folder, std::vector<uint64_t>* paths,
                    const std::vector<uint64_t>* seen = nullptr);
  // The folder's record follows its last-write time.
  void RefreshFolder(const Place& place);
  // The same for the folder that holds path, when the index records it.
  void RefreshFolderOf(std::string_view path);
  // Compares the disk below a folder (GBK path) with the index.
  void ReconcileBelow(const std::string& gbk_folder, uint64_t folder);
  void AppendJournal(std::string_view line);
  void MarkWithdrawn(IndexedEntries::Record* record);
  // Writes the records of a fold to path; false when it cannot.
  bool WriteFoldedRecords(const char* path);

  Prompter& prompter_;
  size_t fold_lines_ = kFoldLines;
  size_t retry_fold_at_ = 0;  // after a failed fold
  std::vector<Root> roots_;
  struct stat scan_folders_ {};
  int records_fd_ = -1;  // index/AllFile.dat of the generation loaded, for reading and writing
  FileIdentity identity_[3];
  GenerationStamp stamp_;
  IndexedEntries records_;
  int journal_fd_ = -1;  // appending
  JournalView journal_;
  // The entries of each folder that the journal holds lines of (paths may repeat).
  std::unordered_map<uint64_t, std::vector<uint64_t>> journal_children_;
};

}  // namespace jollix
