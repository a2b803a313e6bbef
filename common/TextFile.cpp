#include "common/TextFile.h"

#include <sys/stat.h>
#include <unistd.h>

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

}  // namespace jollix
