#include "common/ListDirectory.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

#include "common/TextFile.h"

namespace jollix {
namespace {

uint32_t LittleEndianAt(const unsigned char* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
         static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

// The largest postings file whose positions a signed 32-bit start can hold.
constexpr int64_t kMaxDataSize = INT32_MAX;

// Entries read at once by the check: a buffer small enough to stay warm.
constexpr int kCheckChunk = 4096;

}  // namespace

ListDirectory::ListDirectory(int meta_fd) : fd_(meta_fd) {}

ListDirectory::~ListDirectory() {
  if (fd_ >= 0) close(fd_);
}

bool ListDirectory::Check(int64_t data_size) {
  struct stat st;
  if (fd_ < 0 || fstat(fd_, &st) != 0 || st.st_size != static_cast<off_t>(kListDirectoryBytes)) {
    return false;
  }
  if (data_size < 0 || data_size > kMaxDataSize || data_size % 4 != 0) return false;
  std::unique_ptr<unsigned char[]> chunk(new unsigned char[size_t{8} * kCheckChunk]);
  std::unique_ptr<ListEntry[]> types(new ListEntry[kTypeListCount]);
  int64_t end = 0;  // where the lists so far end; never above data_size, so no overflow
  for (int first = 0; first < kListCount; first += kCheckChunk) {
    const int n = std::min(kCheckChunk, kListCount - first);
    const size_t bytes = size_t{8} * n;
    if (ReadAt(fd_, chunk.get(), bytes, uint64_t{8} * first) != static_cast<ssize_t>(bytes)) {
      return false;
    }
    for (int i = 0; i < n; ++i) {
      const unsigned char* p = chunk.get() + size_t{8} * i;
      const ListEntry e{LittleEndianAt(p), LittleEndianAt(p + 4)};
      if (e.Start != end || e.Count > (data_size - end) / 4) return false;
      end += int64_t{4} * e.Count;
      if (first + i >= kTypeListBase) types[first + i - kTypeListBase] = e;
    }
  }
  if (end != data_size) return false;
  data_size_ = data_size;
  types_ = std::move(types);
  return true;
}

bool ListDirectory::Entry(int number, ListEntry* entry) const {
  if (!types_ || number < 0 || number >= kListCount) return false;
  if (number >= kTypeListBase) {
    *entry = types_[number - kTypeListBase];
    return true;
  }
  unsigned char p[8];
  if (ReadAt(fd_, p, 8, uint64_t{8} * number) != 8) return false;
  entry->Start = LittleEndianAt(p);
  entry->Count = LittleEndianAt(p + 4);
  return entry->Start <= data_size_ && entry->Count <= (data_size_ - entry->Start) / 4;
}

}  // namespace jollix
