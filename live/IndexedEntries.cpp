#include "live/IndexedEntries.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <string>

#include "common/FileRecord.h"
#include "common/RecordJournal.h"

namespace jollix {

uint32_t LineHash(std::string_view line) {
  const uint32_t folder = !line.empty() && line[0] == kFolderRecord ? 1 : 0;
  return (static_cast<uint32_t>(PathHash(line) >> 16) & ~1u) | folder;
}

void IndexedEntries::Clear() {
  std::vector<Record>().swap(records_);
  std::vector<uint32_t>().swap(by_path_);
  std::vector<uint64_t>().swap(seen_);
  std::vector<uint32_t>().swap(marked_);
}

bool ForEachRecordLine(int fd, const std::function<void(std::string_view, uint64_t)>& take) {
  constexpr size_t kChunk = size_t{1} << 20;
  constexpr size_t kMaxLine = kRecordLineBuffer - 1;
  std::string buffer;
  uint64_t base = 0;      // file offset of buffer[0]
  bool skipping = false;  // inside a line too long to be a record
  for (;;) {
    const size_t kept = buffer.size();
    buffer.resize(kept + kChunk);
    ssize_t got;
    do {
      got = pread(fd, buffer.data() + kept, kChunk, static_cast<off_t>(base + kept));
    } while (got < 0 && errno == EINTR);
    if (got < 0) return false;
    buffer.resize(kept + static_cast<size_t>(got));
    size_t at = 0;
    for (;;) {
      const size_t lf = buffer.find('\n', at);
      if (lf == std::string::npos) break;
      const std::string_view line(buffer.data() + at, lf + 1 - at);
      const uint64_t offset = base + at;
      at = lf + 1;
      if (skipping) {
        skipping = false;
        continue;
      }
      if (line.size() - 1 <= kMaxLine) take(line, offset);
    }
    if (buffer.size() - at > kMaxLine) {
      skipping = true;
      at = buffer.size();
    }
    buffer.erase(0, at);
    base += at;
    // A last line without its LF is no line the scan wrote.
    if (got == 0) return true;
  }
}

bool IndexedEntries::Load(int fd) {
  Clear();
  // Counted first, so that the table is allocated once at its size: growing it would hold up to
  // twice the records for a while.
  size_t lines = 0;
  if (!ForEachRecordLine(fd, [&lines](std::string_view, uint64_t) { ++lines; })) return false;
  records_.reserve(lines);
  const bool read = ForEachRecordLine(fd, [this](std::string_view line, uint64_t offset) {
    FileRecord record;
    if (offset > INT32_MAX || !ParseFileRecord(line, &record) || record.Folder.empty()) return;
    const std::string_view folder = record.Folder;
    records_.push_back({PathHash(folder.substr(0, folder.size() - 1)),
                        PathHash(folder, record.Name), static_cast<uint32_t>(offset),
                        LineHash(line)});
  });
  if (!read) return false;
  std::sort(records_.begin(), records_.end(), [](const Record& a, const Record& b) {
    return a.Parent != b.Parent ? a.Parent < b.Parent : a.Path < b.Path;
  });
  by_path_.resize(records_.size());
  for (size_t i = 0; i < records_.size(); ++i) by_path_[i] = static_cast<uint32_t>(i);
  std::sort(by_path_.begin(), by_path_.end(),
            [this](uint32_t a, uint32_t b) { return records_[a].Path < records_[b].Path; });
  return true;
}

IndexedEntries::Record* IndexedEntries::Find(uint64_t path) {
  auto it = std::lower_bound(by_path_.begin(), by_path_.end(), path,
                             [this](uint32_t i, uint64_t p) { return records_[i].Path < p; });
  // The same entry may stand twice (folders listed twice); the live one counts.
  for (; it != by_path_.end() && records_[*it].Path == path; ++it) {
    if (!(records_[*it].Offset & kWithdrawn)) return &records_[*it];
  }
  return nullptr;
}

void IndexedEntries::EndSeen() {
  for (uint32_t word : marked_) seen_[word] = 0;
  std::vector<uint32_t>().swap(marked_);
}

void IndexedEntries::MarkSeen(uint64_t path) {
  auto it = std::lower_bound(by_path_.begin(), by_path_.end(), path,
                             [this](uint32_t i, uint64_t p) { return records_[i].Path < p; });
  if (it == by_path_.end() || records_[*it].Path != path) return;
  if (seen_.empty()) seen_.assign((records_.size() + 63) / 64, 0);
  for (; it != by_path_.end() && records_[*it].Path == path; ++it) {
    if (seen_[*it / 64] == 0) marked_.push_back(*it / 64);
    seen_[*it / 64] |= uint64_t{1} << (*it % 64);
  }
}

bool IndexedEntries::Seen(const Record& record) const {
  const size_t i = static_cast<size_t>(&record - records_.data());
  return i / 64 < seen_.size() && ((seen_[i / 64] >> (i % 64)) & 1) != 0;
}

std::vector<IndexedEntries::Record>::iterator IndexedEntries::LowerBound(uint64_t parent) {
  return std::lower_bound(records_.begin(), records_.end(), parent,
                          [](const Record& r, uint64_t p) { return r.Parent < p; });
}

}  // namespace jollix
