// The list directory (index/MetaIndex.ind) as a reader of the index takes it: checked against the
// postings file (index/IndexData.ind) it describes, so that no list it names can reach past that
// file, then read an entry at a time as searches ask for lists.
//
// The builder writes the lists one after the other with nothing between them, so an undamaged
// directory of a postings file of n bytes has exactly 71636 entries of 8 bytes, the first list
// starting at 0, every other list starting where the one before it ends, and the last ending at
// n. The check holds the directory to exactly that, which costs one pass over 71636 entries and
// nothing of the postings: a truncated postings file, a list whose length runs past the end, or
// lengths whose sum is not the file's size are all refused. After the check every list lies
// inside the file and the lists do not overlap, so reading any set of distinct lists never
// asks for more than the file's size.
//
// Why the directory is not kept whole: a search of a rare word reads a handful of entries, and
// a process that searches once (`jollix find`) paid more for faulting in a fresh 573 088-byte
// array than for the rest of its search. The check streams the file through a small buffer;
// only the type lists' entries (which the loader and the searches by tab read by the
// thousand) stay in memory, and any other entry is read from the open file when it is asked for.
// The file is never mapped: a file cut short under a mapping would end the process.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "common/IndexLayout.h"

namespace jollix {

struct ListEntry {
  uint32_t Start = 0;  // byte position in index/IndexData.ind
  uint32_t Count = 0;  // postings (4 bytes each)
};

inline constexpr size_t kListDirectoryBytes = size_t{8} * kListCount;  // 573088

class ListDirectory {
 public:
  // Takes meta_fd (the open directory file; closed with this object, also when Open fails).
  explicit ListDirectory(int meta_fd);
  ~ListDirectory();
  ListDirectory(const ListDirectory&) = delete;
  ListDirectory& operator=(const ListDirectory&) = delete;

  // Checks the whole file against data_size, the postings file's size in bytes, as told above:
  // false when its size is not kListDirectoryBytes, it cannot be read or its entries do not lay
  // out exactly data_size bytes.
  bool Check(int64_t data_size);

  // The entry of list number (0..kListCount-1), after a successful Check; false when it cannot
  // be read or does not lie inside the postings file (the file changed in place since).
  bool Entry(int number, ListEntry* entry) const;

 private:
  int fd_;
  int64_t data_size_ = 0;
  std::unique_ptr<ListEntry[]> types_;  // the type lists' entries, read by Check
};

}  // namespace jollix
