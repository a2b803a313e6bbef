#include "desktop/ContentSearch.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstring>

#include "common/Fatal.h"
#include "common/TextFile.h"

namespace jollix {
namespace {

constexpr char kUnit[] = "ContentSearch";
constexpr size_t kTableBytes = 2 * kTranslationEntries;

}  // namespace

uint32_t ContentHash(std::string_view bytes) {
  uint32_t hash = 0;
  for (char c : bytes) {
    hash = hash * 17u + static_cast<uint32_t>(static_cast<int32_t>(static_cast<signed char>(c)));
  }
  return hash;
}

ContentSearch::ContentSearch() : buffer_(new unsigned char[kContentChunk]) {}

int ContentSearch::Prepare() {
  FILE* f = std::fopen(kTranslationFile, "rb");
  if (!f) {
    FatalLine("打开系统文件失败，请与开发商联系，异常点为文件 %s 的第 %d 行！\n", kUnit, __LINE__,
              -2);
  }
  std::string table(kTableBytes, '\0');
  size_t got = std::fread(table.data(), 1, kTableBytes, f);
  std::fclose(f);
  if (got < kTableBytes) {
    FatalLine("读取系统文件失败，请与开发商联系，异常点为文件 %s 的第 %d 行!\n", kUnit, __LINE__,
              2);
  }
  return PrepareWith(table);
}

int ContentSearch::PrepareWith(std::string_view table) {
  if (table.size() < kTableBytes) return -1;
  const size_t n = pattern_.size();

  // The second pattern: each character's two-byte entry, a double-byte character being its lead
  // byte and the byte after it (NUL when the words end there).
  second_.clear();
  for (size_t i = 0; i < n; ++i) {
    unsigned char b = static_cast<unsigned char>(pattern_[i]);
    size_t code = b;
    if (b >= 0x80) {
      unsigned char t = i + 1 < n ? static_cast<unsigned char>(pattern_[i + 1]) : 0;
      code = b * 256u + t;
      ++i;
    }
    second_.append(table.substr(2 * code, 2));
  }

  for (size_t& s : skip_) s = n;
  for (const std::string* p : {&pattern_, &second_}) {
    for (size_t j = 0; j < n && j < p->size(); ++j) {
      unsigned char c = static_cast<unsigned char>((*p)[j]);
      if (n - 1 - j < skip_[c]) skip_[c] = n - 1 - j;
    }
  }
  first_hash_ = ContentHash(pattern_);
  second_hash_ = ContentHash(std::string_view(second_).substr(0, n));
  return 0;
}

bool ContentSearch::MatchesAt(const unsigned char* buf, size_t k, size_t p) const {
  const size_t n = pattern_.size();
  const unsigned char* window = buf + p + 1 - n;
  uint32_t hash = ContentHash(std::string_view(reinterpret_cast<const char*>(window), n));
  if (hash == first_hash_ && std::memcmp(window, pattern_.data(), n) == 0) return true;
  if (hash != second_hash_ || std::memcmp(window, second_.data(), n) != 0) return false;
  const size_t rest = second_.size() - n;
  return p + 1 + rest <= k && std::memcmp(buf + p + 1, second_.data() + n, rest) == 0;
}

int64_t ContentSearch::ScanBuffer(const unsigned char* buf, size_t k) const {
  const size_t n = pattern_.size();
  size_t p = n - 1;
  while (p < k) {
    size_t s = skip_[buf[p]];
    if (s > 0) {
      p += s;
      continue;
    }
    if (MatchesAt(buf, k, p)) return static_cast<int64_t>(p);
    ++p;
  }
  return -1;
}

int64_t ContentSearch::SearchFile(const char* disk_path) {
  if (pattern_.empty()) return -1;
  int fd = open(disk_path, O_RDONLY | O_CLOEXEC);
  if (fd < 0) return -1;
  int64_t found = SearchOpenFile(fd);
  close(fd);
  return found;
}

int64_t ContentSearch::SearchOpenFile(int fd) {
  const size_t n = pattern_.size();
  if (n == 0) return -1;
  // A chunk after the first starts this many bytes before the end of the one before, so that
  // every window the chunk before could not decide (the converted pattern is m >= n bytes long
  // and its tail must fit in the chunk) is looked at again.
  const size_t step_back = second_.size() > n ? second_.size() : n;
  off_t offset = 0;
  for (;;) {
    ssize_t k = ReadAt(fd, buffer_.get(), kContentChunk, offset);
    if (k < 0) return -1;
    int64_t p = ScanBuffer(buffer_.get(), static_cast<size_t>(k));
    if (p >= 0) return offset + p;
    if (static_cast<size_t>(k) < kContentChunk) return -1;
    offset += static_cast<off_t>(kContentChunk - step_back);
  }
}

}  // namespace jollix
