#include "common/RecordJournal.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <utility>

#include "common/FileRecord.h"
#include "common/TextFile.h"

namespace jollix {
namespace {

constexpr uint64_t kFnvOffset = 14695981039346656037ull;
constexpr uint64_t kFnvPrime = 1099511628211ull;

uint64_t HashOn(uint64_t hash, std::string_view bytes) {
  for (unsigned char b : bytes) hash = (hash ^ b) * kFnvPrime;
  return hash;
}

constexpr char kHeaderWord[] = "#journal ";

size_t Home(uint64_t path, size_t mask) {
  // FNV leaves the bytes of a path's end in few bits: mixed again before the slot is taken.
  path ^= path >> 33;
  path *= 0xFF51AFD7ED558CCDull;
  path ^= path >> 33;
  return static_cast<size_t>(path) & mask;
}

}  // namespace

uint64_t PathHash(std::string_view folder_field, std::string_view name) {
  return HashOn(HashOn(kFnvOffset, folder_field), name);
}

uint64_t PathHash(std::string_view full_path) { return HashOn(kFnvOffset, full_path); }

GenerationStamp StampOf(const struct stat& postings) {
  return {static_cast<uint64_t>(postings.st_ino), static_cast<int64_t>(postings.st_size),
          static_cast<int64_t>(postings.st_mtim.tv_sec),
          static_cast<int64_t>(postings.st_mtim.tv_nsec)};
}

std::string JournalHeader(const GenerationStamp& stamp) {
  char line[128];
  std::snprintf(line, sizeof line, "%s%" PRIu64 " %" PRId64 " %" PRId64 ".%09" PRId64 "\n",
                kHeaderWord, stamp.Inode, stamp.Size, stamp.Seconds, stamp.Nanoseconds);
  return line;
}

bool ParseJournalHeader(std::string_view line, GenerationStamp* stamp) {
  if (line.empty() || line.back() != '\n') return false;
  const std::string text(line);
  GenerationStamp read;
  int end = 0;
  if (std::sscanf(text.c_str(), "#journal %" SCNu64 " %" SCNd64 " %" SCNd64 ".%" SCNd64 "%n",
                  &read.Inode, &read.Size, &read.Seconds, &read.Nanoseconds, &end) != 4 ||
      text.compare(static_cast<size_t>(end), std::string::npos, "\n") != 0) {
    return false;
  }
  *stamp = read;
  return true;
}

bool StartJournal(const GenerationStamp& stamp) {
  return WriteFileAtomically(kJournalFile, JournalHeader(stamp));
}

JournalView::~JournalView() { Clear(); }

void JournalView::Unmap() {
  if (map_) munmap(const_cast<char*>(map_), map_size_);
  map_ = nullptr;
  map_size_ = 0;
}

void JournalView::Clear() {
  if (fd_ >= 0) close(fd_);
  fd_ = -1;
  held_ = {};
  matched_ = false;
  offset_ = 0;
  Unmap();
  // Their memory is given back: a long journal's tables are megabytes.
  std::vector<Entry>().swap(entries_);
  std::vector<LatestSlot>().swap(slots_);
  used_ = 0;
}

void JournalView::SetNameFilter(NameFilter filter) {
  Clear();
  filter_ = std::move(filter);
}

bool JournalView::Refresh(const GenerationStamp& stamp) {
  const bool had = !entries_.empty();
  struct stat st;
  if (stat(kJournalFile, &st) != 0) {
    Clear();
    return had;
  }
  const bool replaced = fd_ < 0 || st.st_ino != held_.st_ino || st.st_dev != held_.st_dev ||
                        static_cast<uint64_t>(st.st_size) < offset_;
  if (!(stamp == stamp_) || replaced) {
    Clear();
    stamp_ = stamp;
    fd_ = open(kJournalFile, O_RDONLY | O_CLOEXEC);
    if (fd_ < 0 || fstat(fd_, &held_) != 0) {
      Clear();
      return had;
    }
  }
  const size_t before = entries_.size();
  ReadOn();
  return entries_.size() != before || (had && entries_.empty());
}

namespace {

// Whether the file open at fd is a journal of the generation (its first line names it).
bool OfGeneration(int fd, const GenerationStamp& stamp) {
  char head[128];
  const ssize_t got = pread(fd, head, sizeof head, 0);
  const char* lf = got > 0 ? static_cast<const char*>(std::memchr(head, '\n', got)) : nullptr;
  GenerationStamp named;
  return lf &&
         ParseJournalHeader(std::string_view(head, static_cast<size_t>(lf - head) + 1), &named) &&
         named == stamp;
}

}  // namespace

bool JournalInPlaceIsOf(const GenerationStamp& stamp) {
  const int fd = open(kJournalFile, O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool of = OfGeneration(fd, stamp);
  close(fd);
  return of;
}

bool JournalView::ReadAppended() {
  if (fd_ < 0 || !matched_) return false;
  const size_t before = entries_.size();
  // The file held first, to its end: a journal replaced by that of a newer generation got its
  // last line before the generation was published, and every line of it counts for the one read.
  ReadOn();
  struct stat st;
  if (stat(kJournalFile, &st) == 0 && (st.st_ino != held_.st_ino || st.st_dev != held_.st_dev)) {
    // Replaced by a writer that cut a torn last line off: its file holds the same whole lines
    // first and goes on from there. (One of another generation is not read.)
    const int fd = open(kJournalFile, O_RDONLY | O_CLOEXEC);
    struct stat now;
    if (fd >= 0 && fstat(fd, &now) == 0 && static_cast<uint64_t>(now.st_size) >= offset_ &&
        OfGeneration(fd, stamp_)) {
      close(fd_);
      fd_ = fd;
      held_ = now;
      ReadOn();
    } else if (fd >= 0) {
      close(fd);
    }
  }
  return entries_.size() != before;
}

bool JournalView::ReadOn() {
  struct stat st;
  if (fstat(fd_, &st) != 0 || static_cast<uint64_t>(st.st_size) <= offset_) return false;
  if (offset_ > 0 && !matched_) return false;  // a journal of another generation
  // The file is mapped, not read: its lines stay where the page cache holds them. The writer
  // never cuts the file in place (it replaces it whole), so no mapped byte ever goes.
  const size_t size = static_cast<size_t>(st.st_size);
  void* map = mmap(nullptr, size, PROT_READ, MAP_SHARED, fd_, 0);
  if (map == MAP_FAILED) return false;
  Unmap();
  map_ = static_cast<const char*>(map);
  map_size_ = size;
  const size_t old = offset_;
  // Whole lines only: a last line without its LF is still being written, or was cut short.
  const void* last = memrchr(map_ + old, '\n', size - old);
  if (!last) return false;
  const size_t end = static_cast<size_t>(static_cast<const char*>(last) - map_) + 1;
  size_t at = old;
  if (old == 0) {
    const size_t lf =
        static_cast<size_t>(static_cast<const char*>(std::memchr(map_, '\n', end)) - map_);
    GenerationStamp named;
    matched_ = ParseJournalHeader(std::string_view(map_, lf + 1), &named) && named == stamp_;
    at = lf + 1;
    if (!matched_) {
      offset_ = at;
      Unmap();
      return false;
    }
  }
  // Sized once for the lines that come (48 bytes each would be a short path), not grown line by
  // line; a filter takes few of them.
  if (!filter_) entries_.reserve(entries_.size() + (end - at) / 48);
  const size_t first = entries_.size();
  while (at < end) {
    const char* line = map_ + at;
    const size_t length =
        static_cast<size_t>(static_cast<const char*>(std::memchr(line, '\n', end - at)) - line) + 1;
    Take(at, length);
    at += length;
  }
  offset_ = end;
  MarkLatest(first);
  return true;
}

void JournalView::MarkLatest(size_t first) {
  Reserve(used_ + (entries_.size() - first));
  // The slots of the lines a little ahead are fetched while a line is placed: the table is
  // larger than the caches, and each line's slot is a miss of its own.
  constexpr size_t kAhead = 16;
  const size_t mask = slots_.size() - 1;
  for (size_t i = first; i < entries_.size(); ++i) {
    if (i + kAhead < entries_.size()) {
      __builtin_prefetch(&slots_[Home(entries_[i + kAhead].Path, mask)], 1);
    }
    Entry& e = entries_[i];
    LatestSlot& slot = Slot(e.Path);
    const uint32_t index = static_cast<uint32_t>(i) + 1;
    if (slot.Index != 0) {
      entries_[slot.Index - 1].Latest = false;
      slot.Index = index;
      continue;
    }
    slot = {static_cast<uint32_t>(e.Path >> 32), index};
    ++used_;
  }
}

void JournalView::Take(size_t at, size_t length) {
  const std::string_view line(map_ + at, length);
  const char kind = line[0];
  if (kind != kFolderRecord && kind != kFileRecord && kind != kWithdrawnRecord) return;
  const size_t tab1 = line.find('\t', 1);
  if (tab1 == std::string_view::npos) return;
  const size_t tab2 = line.find('\t', tab1 + 1);
  if (tab2 == std::string_view::npos) return;
  const std::string_view name = line.substr(1, tab1 - 1);
  if (filter_ && !filter_(name)) return;
  const std::string_view folder = line.substr(tab1 + 1, tab2 - tab1 - 1);
  if (folder.empty() || folder.back() != kPathSeparator) return;
  Entry e;
  e.Path = PathHash(folder, name);
  e.At = static_cast<uint32_t>(at);
  e.Length = static_cast<uint32_t>(length);
  e.Kind = kind;
  entries_.push_back(e);
}

JournalView::LatestSlot& JournalView::Slot(uint64_t path) {
  if (slots_.empty()) slots_.assign(1024, {});
  const size_t mask = slots_.size() - 1;
  const uint32_t tag = static_cast<uint32_t>(path >> 32);
  for (size_t i = Home(path, mask);; i = (i + 1) & mask) {
    const LatestSlot& slot = slots_[i];
    if (slot.Index == 0 || (slot.Tag == tag && entries_[slot.Index - 1].Path == path)) {
      return slots_[i];
    }
  }
}

const JournalView::Entry* JournalView::Find(uint64_t path) const {
  if (slots_.empty()) return nullptr;
  const size_t mask = slots_.size() - 1;
  const uint32_t tag = static_cast<uint32_t>(path >> 32);
  for (size_t i = Home(path, mask);; i = (i + 1) & mask) {
    const LatestSlot& slot = slots_[i];
    if (slot.Index == 0) return nullptr;
    if (slot.Tag == tag && entries_[slot.Index - 1].Path == path) return &entries_[slot.Index - 1];
  }
}

void JournalView::Reserve(size_t paths) {
  size_t size = slots_.empty() ? 1024 : slots_.size();
  while (size < 2 * paths) size *= 2;
  if (size == slots_.size()) return;
  std::vector<LatestSlot> old(size);
  old.swap(slots_);
  const size_t mask = slots_.size() - 1;
  for (const LatestSlot& taken : old) {
    if (taken.Index == 0) continue;
    size_t i = Home(entries_[taken.Index - 1].Path, mask);
    while (slots_[i].Index != 0) i = (i + 1) & mask;
    slots_[i] = taken;
  }
}

uint64_t JournalView::ParentOf(const Entry& e) const {
  const std::string_view line = Line(e);
  const size_t tab1 = line.find('\t', 1);
  const size_t tab2 = line.find('\t', tab1 + 1);
  // The folder field without its final separator is the holding folder's path.
  return PathHash(line.substr(tab1 + 1, tab2 - tab1 - 2));
}

}  // namespace jollix
