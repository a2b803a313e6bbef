#include "common/ListDirectory.h"

#include <sys/stat.h>

#include "common/TextFile.h"

namespace jollix {
namespace {

uint32_t LittleEndianAt(const unsigned char* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
         static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

// The largest postings file whose positions a signed 32-bit start can hold.
constexpr int64_t kMaxDataSize = INT32_MAX;

}  // namespace

bool DecodeListDirectory(const unsigned char* bytes, size_t size, int64_t data_size,
                         ListEntry* entries) {
  if (size != kListDirectoryBytes || data_size < 0 || data_size > kMaxDataSize) return false;
  if (data_size % 4 != 0) return false;
  int64_t end = 0;  // where the lists so far end; never above data_size, so no overflow
  for (int i = 0; i < kListCount; ++i) {
    const unsigned char* p = bytes + static_cast<size_t>(i) * 8;
    ListEntry& e = entries[i];
    const uint32_t start = LittleEndianAt(p), count = LittleEndianAt(p + 4);  // bytes may be e
    e.Start = start;
    e.Count = count;
    if (e.Start != end) return false;
    if (e.Count > (data_size - end) / 4) return false;
    end += int64_t{4} * e.Count;
  }
  return end == data_size;
}

bool ReadListDirectory(int meta_fd, int64_t data_size, std::unique_ptr<ListEntry[]>* directory) {
  struct stat st;
  if (fstat(meta_fd, &st) != 0 || st.st_size != static_cast<off_t>(kListDirectoryBytes)) {
    return false;
  }
  // The file is read straight into the entries and decoded in place (each entry's 8 bytes are
  // read before they are written): one buffer, one copy, as a search of a rare word pays it.
  static_assert(sizeof(ListEntry) == 8);
  std::unique_ptr<ListEntry[]> entries(new ListEntry[kListCount]);
  auto* bytes = reinterpret_cast<unsigned char*>(entries.get());
  if (ReadAt(meta_fd, bytes, kListDirectoryBytes, 0) != static_cast<ssize_t>(kListDirectoryBytes)) {
    return false;
  }
  if (!DecodeListDirectory(bytes, kListDirectoryBytes, data_size, entries.get())) return false;
  *directory = std::move(entries);
  return true;
}

}  // namespace jollix
