#include "desktop/PostingReader.h"

#include <algorithm>
#include <bit>

#include "common/TextFile.h"

namespace jollix {
namespace {

uint32_t FromLittleEndian(uint32_t v) {
  if constexpr (std::endian::native == std::endian::big) return __builtin_bswap32(v);
  return v;
}

}  // namespace

PostingReader::PostingReader(int postings_fd, uint64_t records_size)
    : fd_(postings_fd), records_size_(records_size), buffer_(new uint32_t[kChunk]) {}

ssize_t PostingReader::ReadChunk(const ListEntry& list, uint32_t at, uint32_t* previous) {
  const size_t n = std::min<size_t>(kChunk, list.Count - at);
  const uint64_t bytes = uint64_t{4} * n;
  if (ReadAt(fd_, buffer_.get(), bytes, list.Start + uint64_t{4} * at) !=
      static_cast<ssize_t>(bytes)) {
    return -1;
  }
  for (size_t i = 0; i < n; ++i) {
    const uint32_t posting = FromLittleEndian(buffer_[i]);
    if (posting >= records_size_ || (at + i > 0 && posting <= *previous)) return -1;
    buffer_[i] = *previous = posting;
  }
  return static_cast<ssize_t>(n);
}

bool PostingReader::Append(const ListEntry& list, std::vector<uint32_t>* postings) {
  const size_t old = postings->size();
  postings->reserve(old + list.Count);
  uint32_t previous = 0;
  for (uint32_t at = 0; at < list.Count;) {
    const ssize_t n = ReadChunk(list, at, &previous);
    if (n < 0) {
      postings->resize(old);
      return false;
    }
    postings->insert(postings->end(), buffer_.get(), buffer_.get() + n);
    at += static_cast<uint32_t>(n);
  }
  return true;
}

bool PostingReader::Narrow(const ListEntry& list, std::vector<uint32_t>* kept) {
  size_t next = 0, out = 0;  // the next posting of *kept to decide; where kept ones go
  uint32_t previous = 0;
  for (uint32_t at = 0; at < list.Count && next < kept->size();) {
    const ssize_t n = ReadChunk(list, at, &previous);
    if (n < 0) return false;
    at += static_cast<uint32_t>(n);
    const uint32_t* p = buffer_.get();
    const uint32_t* end = p + n;
    while (next < kept->size() && p != end) {
      const uint32_t want = (*kept)[next];
      p = std::lower_bound(p, end, want);
      if (p == end) break;
      if (*p == want) (*kept)[out++] = want;
      ++next;
    }
  }
  kept->resize(out);
  return true;
}

bool PostingReader::Intersect(std::vector<ListEntry> lists, std::vector<uint32_t>* common) {
  common->clear();
  if (lists.empty()) return true;
  std::stable_sort(lists.begin(), lists.end(),
                   [](const ListEntry& a, const ListEntry& b) { return a.Count < b.Count; });
  if (!Append(lists[0], common)) return false;
  for (size_t i = 1; i < lists.size() && !common->empty(); ++i) {
    if (!Narrow(lists[i], common)) return false;
  }
  return true;
}

}  // namespace jollix
