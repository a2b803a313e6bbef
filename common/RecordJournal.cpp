#include "common/RecordJournal.h"

#include <fcntl.h>
#include <unistd.h>

#include <cinttypes>
#include <cstdio>

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

JournalView::~JournalView() {
  if (fd_ >= 0) close(fd_);
}

void JournalView::Clear() {
  if (fd_ >= 0) close(fd_);
  fd_ = -1;
  held_ = {};
  matched_ = false;
  offset_ = 0;
  text_.clear();
  entries_.clear();
  latest_.clear();
}

const JournalView::Entry* JournalView::Find(uint64_t path) const {
  auto it = latest_.find(path);
  return it == latest_.end() ? nullptr : &entries_[it->second];
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

bool JournalView::ReadAppended() {
  struct stat st;
  if (fd_ < 0 || !matched_ || stat(kJournalFile, &st) != 0 || st.st_ino != held_.st_ino ||
      st.st_dev != held_.st_dev) {
    return false;
  }
  const size_t before = entries_.size();
  ReadOn();
  return entries_.size() != before;
}

bool JournalView::ReadOn() {
  struct stat st;
  if (fstat(fd_, &st) != 0 || static_cast<uint64_t>(st.st_size) <= offset_) return false;
  if (offset_ > 0 && !matched_) return false;  // a journal of another generation
  std::string bytes(static_cast<size_t>(st.st_size) - offset_, '\0');
  const ssize_t got = ReadAt(fd_, bytes.data(), bytes.size(), offset_);
  if (got <= 0) return false;
  bytes.resize(static_cast<size_t>(got));
  // Whole lines only: a last line without its LF is still being written, or was cut short.
  const size_t end = bytes.rfind('\n');
  if (end == std::string::npos) return false;
  const uint64_t base = offset_;
  size_t at = 0;
  if (base == 0) {
    const size_t lf = bytes.find('\n');
    GenerationStamp named;
    matched_ =
        ParseJournalHeader(std::string_view(bytes).substr(0, lf + 1), &named) && named == stamp_;
    at = lf + 1;
    offset_ = at;
    if (!matched_) return false;
  }
  text_.reserve(text_.size() + (end + 1 - at));
  while (at <= end) {
    const size_t lf = bytes.find('\n', at);
    Take(std::string_view(bytes).substr(at, lf + 1 - at));
    at = lf + 1;
  }
  offset_ = base + end + 1;
  return true;
}

void JournalView::Take(std::string_view line) {
  const char kind = line[0];
  if (kind != kFolderRecord && kind != kFileRecord && kind != kWithdrawnRecord) return;
  const size_t tab1 = line.find('\t', 1);
  if (tab1 == std::string_view::npos) return;
  const size_t tab2 = line.find('\t', tab1 + 1);
  if (tab2 == std::string_view::npos) return;
  const std::string_view name = line.substr(1, tab1 - 1);
  const std::string_view folder = line.substr(tab1 + 1, tab2 - tab1 - 1);
  if (folder.empty() || folder.back() != kPathSeparator) return;
  Entry e;
  e.Path = PathHash(folder, name);
  e.Parent = PathHash(folder.substr(0, folder.size() - 1));
  e.At = static_cast<uint32_t>(text_.size());
  e.Length = static_cast<uint32_t>(line.size());
  e.Kind = kind;
  text_.append(line);
  auto [it, fresh] = latest_.try_emplace(e.Path, static_cast<uint32_t>(entries_.size()));
  if (!fresh) {
    entries_[it->second].Latest = false;
    it->second = static_cast<uint32_t>(entries_.size());
  }
  entries_.push_back(e);
}

}  // namespace jollix
