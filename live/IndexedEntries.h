// The records of index/AllFile.dat as the live index needs them: for every record, the hash of
// its entry's path, the hash of the folder that holds it, where its line starts and a hash of the
// line, so that a change on the disk is matched with its record without holding any path.
//
// Memory: 24 bytes a record and 4 more for the lookup by path, about 27 MiB at a million
// records. The records of a generation never change but for their kind byte, which the live
// index turns to 'X' when an entry is gone or replaced; so the table is built once per
// generation and sorted, and a withdrawal is a bit.
#pragma once

#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

namespace jollix {

// Calls take(line, offset) for every line of the record file open at fd that ends with its LF and
// is at most as long as the readers of the index take, from the start, in order. False when the
// file cannot be read.
bool ForEachRecordLine(int fd, const std::function<void(std::string_view, uint64_t)>& take);

// A hash of a whole record line (with its LF): two lines with the same hash are taken as the same.
// Its lowest bit is set for a folder's line.
uint32_t LineHash(std::string_view line);
inline bool IsFolderLine(uint32_t line_hash) { return (line_hash & 1) != 0; }

class IndexedEntries {
 public:
  struct Record {
    uint64_t Parent = 0;  // PathHash of the folder that holds the entry
    uint64_t Path = 0;    // PathHash of the entry
    uint32_t Offset = 0;  // of its line in the record file; kWithdrawn set when withdrawn
    uint32_t Line = 0;    // LineHash of its line
  };
  static constexpr uint32_t kWithdrawn = 0x80000000u;

  // Reads the record file open at fd from its start: every line that is a live record ('D' or
  // '_', its size readable, at most as long as the readers take). False when it cannot be read.
  bool Load(int fd);
  void Clear();

  // The live record of an entry, or null.
  Record* Find(uint64_t path);
  // Calls visit(record) for every live record whose entry lies in the folder.
  template <typename Visit>
  void ForEachChild(uint64_t folder, Visit&& visit) {
    auto it = LowerBound(folder);
    for (; it != records_.end() && it->Parent == folder; ++it) {
      if (!(it->Offset & kWithdrawn)) visit(*it);
    }
  }
  size_t Size() const { return records_.size(); }

  // Marks for one comparison of the disk with the records: which entries were found. A bit a
  // record (not a list of the paths found, which at a million entries would cost several times
  // the memory of the table itself while the disk is compared), kept with the table; only the
  // words marked are cleared again, so that comparing one small folder costs as little. MarkSeen
  // marks every record of the path; EndSeen clears the marks.
  void MarkSeen(uint64_t path);
  bool Seen(const Record& record) const;
  void EndSeen();

 private:
  std::vector<Record>::iterator LowerBound(uint64_t parent);

  std::vector<Record> records_;    // by parent, then path
  std::vector<uint32_t> by_path_;  // places in records_, by path
  std::vector<uint64_t> seen_;     // a bit for each record, while the disk is compared
  std::vector<uint32_t> marked_;   // the words of seen_ not zero
};

}  // namespace jollix
