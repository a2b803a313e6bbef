#include "common/TextFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>

namespace jollix {

bool ReadWholeFile(const char* path, std::string* content) {
  FILE* f = std::fopen(path, "rb");
  if (!f) return false;
  content->clear();
  // Read a regular file straight into its final place: one allocation and one read, which
  // matters for the large record files of an index run.
  struct stat st;
  if (fstat(fileno(f), &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0) {
    content->resize(static_cast<size_t>(st.st_size));
    content->resize(std::fread(content->data(), 1, content->size(), f));
  }
  char chunk[65536];
  size_t n;
  while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0) content->append(chunk, n);
  bool ok = !std::ferror(f);
  std::fclose(f);
  return ok;
}

bool WriteWholeFile(const char* path, const std::string& content) {
  FILE* f = std::fopen(path, "wb");
  if (!f) return false;
  std::fwrite(content.data(), 1, content.size(), f);
  return CloseWritten(f);
}

namespace {

// Writes all bytes to a descriptor, retrying short and interrupted writes.
bool WriteAll(int fd, const char* data, size_t size) {
  while (size > 0) {
    ssize_t n = write(fd, data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

// A name beside path that no other writer uses: the process id and a counter of this process.
std::string TempNameBeside(const std::string& path) {
  static std::atomic<unsigned> counter{0};
  return path + ".new-" + std::to_string(getpid()) + "-" + std::to_string(++counter);
}

}  // namespace

FileReplacement::~FileReplacement() { Discard(); }

void FileReplacement::Discard() {
  if (!temp_.empty()) unlink(temp_.c_str());
  temp_.clear();
}

bool FileReplacement::Write(const char* path, const std::string& content) {
  Discard();
  path_ = path;
  struct stat old;
  const bool exists = stat(path, &old) == 0;
  if (exists && (!S_ISREG(old.st_mode) || access(path, W_OK) != 0)) return false;
  std::string temp;
  int fd = -1;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    temp = TempNameBeside(path_);
    fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) return false;
  }
  if (fd < 0) return false;
  temp_ = temp;
  bool ok = WriteAll(fd, content.data(), content.size());
  if (ok && exists) ok = fchmod(fd, old.st_mode & 07777) == 0;
  if (ok) ok = fsync(fd) == 0;
  ok = close(fd) == 0 && ok;
  if (!ok) Discard();
  return ok;
}

bool FileReplacement::Commit() {
  if (temp_.empty()) return false;
  if (rename(temp_.c_str(), path_.c_str()) != 0) {
    Discard();
    return false;
  }
  temp_.clear();
  return true;
}

bool WriteFileAtomically(const char* path, const std::string& content) {
  FileReplacement replacement;
  return replacement.Write(path, content) && replacement.Commit();
}

bool CloseWritten(FILE* f) {
  bool ok = std::fflush(f) == 0 && !std::ferror(f);
  return std::fclose(f) == 0 && ok;
}

size_t ReadLine(FILE* f, char* buffer, size_t size) {
  if (size == 0) return 0;
  size_t n = 0;
  while (n + 1 < size) {
    int c = getc_unlocked(f);
    if (c == EOF) break;
    buffer[n++] = static_cast<char>(c);
    if (c == '\n') break;
  }
  buffer[n] = '\0';
  return n;
}

ssize_t ReadAt(int fd, void* buffer, size_t size, uint64_t offset) {
  size_t got = 0;
  while (got < size) {
    ssize_t r =
        pread(fd, static_cast<char*>(buffer) + got, size - got, static_cast<off_t>(offset + got));
    if (r < 0 && errno == EINTR) continue;
    if (r < 0) return got > 0 ? static_cast<ssize_t>(got) : -1;
    if (r == 0) break;
    got += static_cast<size_t>(r);
  }
  return static_cast<ssize_t>(got);
}

bool WriteAll(int fd, const void* bytes, size_t size) {
  const char* at = static_cast<const char*>(bytes);
  while (size > 0) {
    const ssize_t n = write(fd, at, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    at += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

}  // namespace jollix
