#include "common/ScanFolderFile.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "common/Gbk.h"
#include "common/TextFile.h"

namespace jollix {
namespace {

// Consumes the rest of an overlong line.
void SkipRestOfLine(FILE* f) {
  int c;
  while ((c = getc_unlocked(f)) != EOF && c != '\n') {
  }
}

std::string HomeFolder() {
  const char* home = std::getenv("HOME");
  if (home && *home) return home;
  const passwd* user = getpwuid(getuid());
  return user && user->pw_dir ? user->pw_dir : "/";
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

std::string FormatScanFolders(const std::vector<ScanFolderEntry>& entries) {
  std::string text;
  for (const ScanFolderEntry& e : entries) text += e.Marker + e.Path + "\r\n";
  return text;
}

bool WriteScanFolders(const char* path, const std::vector<ScanFolderEntry>& entries) {
  return WriteFileAtomically(path, FormatScanFolders(entries));
}

bool EnsureScanFolders(const char* path) {
  struct stat st;
  if (stat(path, &st) == 0) return true;
  return WriteScanFolders(path, {{kRescanMarker, FileNameToGbk(HomeFolder())}});
}

}  // namespace jollix
