#include "desktop/ContentSearch.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

#include "common/Fatal.h"
#include "common/Gbk.h"
#include "common/TextFile.h"
#include "desktop/FormScan.h"

namespace jollix {
namespace {

constexpr char kUnit[] = "ContentSearch";
constexpr size_t kTableBytes = 2 * kTranslationEntries;

// The GBK characters that the second pattern's entries stand for: an entry whose first byte is
// 0x80 or above is one double-byte character, any other entry its bytes other than NUL (the
// default table writes a single-byte character as NUL and the byte).
std::string EntryCharacters(std::string_view second) {
  std::string text;
  for (size_t i = 0; i + 1 < second.size(); i += 2) {
    if (static_cast<unsigned char>(second[i]) >= 0x80) {
      text.append(second.substr(i, 2));
      continue;
    }
    for (size_t j = i; j < i + 2; ++j) {
      if (second[j] != '\0') text += second[j];
    }
  }
  return text;
}

}  // namespace

uint32_t ContentHash(std::string_view bytes) {
  uint32_t hash = 0;
  for (char c : bytes) {
    hash = hash * 17u + static_cast<uint32_t>(static_cast<int32_t>(static_cast<signed char>(c)));
  }
  return hash;
}

int OpenRegularFile(const char* disk_path, int64_t* size) {
  return OpenRegularFileAt(AT_FDCWD, disk_path, size);
}

int OpenRegularFileAt(int dirfd, const char* name, int64_t* size) {
  const int fd = openat(dirfd, name, kRegularFileOpen);
  if (fd < 0) return -1;
  struct stat st;
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    close(fd);
    return -1;
  }
  if (size) *size = st.st_size;
  return fd;
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

void ContentSearch::AddForm(std::string form) {
  if (form.size() < pattern_.size()) return;  // cannot happen for valid conversions
  if (std::find(forms_.begin(), forms_.end(), form) != forms_.end()) return;
  longest_ = std::max(longest_, form.size());
  forms_.push_back(std::move(form));
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

  forms_.clear();
  longest_ = 0;
  AddForm(pattern_);
  AddForm(second_);
  std::string utf8;
  if (GbkToUtf8(pattern_, &utf8)) AddForm(utf8);
  if (GbkToUtf8(EntryCharacters(second_), &utf8)) AddForm(utf8);

  return 0;
}

int64_t ContentSearch::ScanBuffer(const unsigned char* buf, size_t k) const {
  const int64_t start = FirstFormStart(buf, k, forms_);
  return start < 0 ? -1 : start + static_cast<int64_t>(pattern_.size()) - 1;
}

int64_t ContentSearch::SearchFile(const char* disk_path) {
  if (pattern_.empty()) return kContentNotFound;
  int fd = OpenRegularFile(disk_path);
  if (fd < 0) return kContentNotFound;
  int64_t found = SearchOpenFile(fd);
  close(fd);
  return found;
}

int64_t ContentSearch::SearchText(std::string_view text) const {
  if (pattern_.empty() || text.size() < pattern_.size()) return kContentNotFound;
  const int64_t p = ScanBuffer(reinterpret_cast<const unsigned char*>(text.data()), text.size());
  return p >= 0 ? p : kContentNotFound;
}

int64_t ContentSearch::SearchOpenFile(int fd) { return SearchOpenFile(fd, buffer_.get(), nullptr); }

int64_t ContentSearch::SearchOpenFile(int fd, unsigned char* buffer,
                                      const std::atomic<bool>* cancel, int64_t size) const {
  const size_t n = pattern_.size();
  if (n == 0) return kContentNotFound;
  // A chunk after the first starts this many bytes before the end of the one before, so that
  // every window the chunk before could not decide (a form longer than n must fit in the chunk
  // in full) is looked at again.
  const size_t step_back = longest_;
  off_t offset = 0;
  for (;;) {
    if (cancel && cancel->load(std::memory_order_relaxed)) return kContentCancelled;
    size_t want = kContentChunk;
    if (size >= 0 && size - offset < static_cast<int64_t>(want)) {
      want = size > offset ? static_cast<size_t>(size - offset) : 0;
    }
    if (want < n) return kContentNotFound;
    ssize_t k = ReadAt(fd, buffer, want, offset);
    if (k < 0) return kContentNotFound;
    int64_t p = ScanBuffer(buffer, static_cast<size_t>(k));
    if (p >= 0) return offset + p;
    if (static_cast<size_t>(k) < kContentChunk) return kContentNotFound;
    offset += static_cast<off_t>(kContentChunk - step_back);
  }
}

}  // namespace jollix
