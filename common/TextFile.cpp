#include "common/TextFile.h"

#include <sys/stat.h>

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

}  // namespace jollix
