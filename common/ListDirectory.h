// The list directory (index/MetaIndex.ind) as a reader of the index takes it: decoded and checked
// against the postings file (index/IndexData.ind) it describes, so that no list it names can
// reach past that file.
//
// The builder writes the lists one after the other with nothing between them, so an undamaged
// directory of a postings file of n bytes has exactly 71636 entries of 8 bytes, the first list
// starting at 0, every other list starting where the one before it ends, and the last ending at
// n. The check holds the directory to exactly that, which costs one pass over 71636 entries and
// nothing of the postings: a truncated postings file, a list whose length runs past the end, or
// lengths whose sum is not the file's size are all refused. After the check every list lies
// inside the file and the lists do not overlap, so reading any set of distinct lists never
// asks for more than the file's size.
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

// Decodes bytes (the whole of index/MetaIndex.ind: 71636 little-endian pairs of 32-bit start and
// count) into entries (kListCount of them; entries may be bytes itself, decoded in place) and
// checks them against data_size, the postings file's size in bytes. Returns false when size is not
// kListDirectoryBytes or the entries do not lay out exactly data_size bytes as told above; entries
// are then unspecified.
bool DecodeListDirectory(const unsigned char* bytes, size_t size, int64_t data_size,
                         ListEntry* entries);

// Reads the open directory file whole (one read of its exact size; a file of any other size is
// refused before anything is allocated for it) and decodes it as above.
bool ReadListDirectory(int meta_fd, int64_t data_size, std::unique_ptr<ListEntry[]>* directory);

}  // namespace jollix
