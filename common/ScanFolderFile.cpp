#include "common/ScanFolderFile.h"

#include <cstdio>
#include <cstring>

#include "common/TextFile.h"

namespace jollix {
namespace {

// Consumes the rest of an overlong line.
void SkipRestOfLine(FILE* f) {
  int c;
  while ((c = getc_unlocked(f)) != EOF && c != '\n') {
  }
}

}  // namespace

bool ReadScanFolders(const char* path, std::vector<ScanFolderEntry>* entries) {
  FILE* f = std::fopen(path, "rb");
  if (!f) return false;
  entries->clear();
  char buffer[kScanFolderLineBuffer];
  for (int slot = 0; slot < kMaxScanFolders; ++slot) {
    std::memset(buffer, 0, sizeof buffer);
    size_t n = ReadLine(f, buffer, sizeof buffer);
    if (n == 0) break;
    ScanFolderEntry entry;
    bool complete = buffer[n - 1] == '\n' || std::feof(f);
    if (!complete) {
      SkipRestOfLine(f);
    } else {
      entry.Marker = buffer[0];
      entry.Path.assign(buffer + 1, std::strcspn(buffer + 1, "\r\n"));
    }
    entries->push_back(std::move(entry));
  }
  std::fclose(f);
  return true;
}

bool WriteScanFolders(const char* path, const std::vector<ScanFolderEntry>& entries) {
  FILE* f = std::fopen(path, "wb");
  if (!f) return false;
  for (const ScanFolderEntry& e : entries) std::fprintf(f, "%c%s\r\n", e.Marker, e.Path.c_str());
  return CloseWritten(f);
}

}  // namespace jollix
