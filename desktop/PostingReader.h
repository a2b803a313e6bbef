// Reads posting lists of index/IndexData.ind for a search and checks every posting it reads:
// ascending, and inside the record file (a posting at or past its end is a damaged index).
//
// Why a reader of its own: a rare word's lists are long (the pairs of "track77" hold some
// 460 000 postings at a million files) while their common postings are few. The shortest list
// is read whole; each other list only narrows what is kept, so it is read a chunk at a time
// through one reused buffer and no further than the last posting still kept. No fresh memory
// is touched for the long lists (at these sizes the page faults of a fresh array cost more than
// the copy of the postings), and a list is not read past the point where it can change nothing.
// The result is that of intersecting the lists read whole (IntersectPostings).
//
// A list read in part is checked in that part: postings never read are never used.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "common/ListDirectory.h"

namespace jollix {

class PostingReader {
 public:
  // postings_fd: the open index/IndexData.ind; records_size: the record file's size, which
  // every posting must stay below. Lists asked for must lie inside the postings file (their
  // directory entries were checked).
  PostingReader(int postings_fd, uint64_t records_size);
  PostingReader(const PostingReader&) = delete;
  PostingReader& operator=(const PostingReader&) = delete;

  // Appends the list's postings; false, appending nothing, when it cannot be read whole, does
  // not ascend or holds a posting outside the record file.
  bool Append(const ListEntry& list, std::vector<uint32_t>* postings);

  // Keeps of *kept (ascending) only the postings the list holds; false, leaving *kept
  // unspecified, when the part of the list read is damaged as told for Append.
  bool Narrow(const ListEntry& list, std::vector<uint32_t>* kept);

  // The postings common to all lists, ascending: the shortest list whole, narrowed by the
  // others from the shortest up. No list gives none. false when a list read is damaged.
  bool Intersect(std::vector<ListEntry> lists, std::vector<uint32_t>* common);

 private:
  static constexpr size_t kChunk = 16384;  // postings per read

  // Reads up to kChunk postings of list from its posting at, decoded and checked to ascend
  // after *previous (the posting before at, unless at is 0); the number read, or -1 when damaged.
  ssize_t ReadChunk(const ListEntry& list, uint32_t at, uint32_t* previous);

  int fd_;
  uint64_t records_size_;
  std::unique_ptr<uint32_t[]> buffer_;
};

}  // namespace jollix
