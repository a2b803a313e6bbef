#include "common/FileRecord.h"

#include <unistd.h>

#include "common/FormattedInput.h"
#include "common/TextFile.h"

namespace jollix {

namespace {

// Appends the decimal form of a signed 32-bit value, as "%d" writes it.
char* FormatInt(char* out, int32_t value) {
  uint32_t magnitude = static_cast<uint32_t>(value);
  if (value < 0) {
    *out++ = '-';
    magnitude = 0u - magnitude;
  }
  char digits[10];
  int n = 0;
  do {
    digits[n++] = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  while (n > 0) *out++ = digits[--n];
  return out;
}

}  // namespace

// The bytes of "D%s\t%s/\t" or "_%s\t%s/\t" followed by "%d\t%d\n"; written without the
// printf machinery, as the scanner writes one line per file of a disk.
void WriteFileRecord(FILE* f, char kind, const char* name, const char* folder, uint32_t size,
                     int32_t time) {
  fputc_unlocked(kind == kFolderRecord ? kFolderRecord : kFileRecord, f);
  fputs_unlocked(name, f);
  fputc_unlocked('\t', f);
  fputs_unlocked(folder, f);
  char tail[32];
  char* p = tail;
  *p++ = kPathSeparator;
  *p++ = '\t';
  p = FormatInt(p, static_cast<int32_t>(size));
  *p++ = '\t';
  p = FormatInt(p, time);
  *p++ = '\n';
  fwrite_unlocked(tail, 1, static_cast<size_t>(p - tail), f);
}

void AppendFileRecord(std::string* out, char kind, std::string_view name, std::string_view folder,
                      uint32_t size, int32_t time) {
  out->push_back(kind == kFolderRecord ? kFolderRecord : kFileRecord);
  out->append(name);
  out->push_back('\t');
  out->append(folder);
  char tail[32];
  char* p = tail;
  *p++ = kPathSeparator;
  *p++ = '\t';
  p = FormatInt(p, static_cast<int32_t>(size));
  *p++ = '\t';
  p = FormatInt(p, time);
  *p++ = '\n';
  out->append(tail, static_cast<size_t>(p - tail));
}

bool ParseFileRecord(std::string_view line, FileRecord* record) {
  if (line.empty() || (line[0] != kFolderRecord && line[0] != kFileRecord)) return false;
  size_t tab1 = line.find('\t', 1);
  if (tab1 == std::string_view::npos) return false;
  size_t tab2 = line.find('\t', tab1 + 1);
  if (tab2 == std::string_view::npos) return false;
  int size = 0, time = 0;
  if (ScanFormat(line.substr(tab2 + 1), "%d\t%d", {&size, &time}) < 1) return false;
  record->Kind = line[0];
  record->Name = line.substr(1, tab1 - 1);
  record->Folder = line.substr(tab1 + 1, tab2 - tab1 - 1);
  record->Size = size;
  record->Time = time;
  return true;
}

int WithdrawRecordLines(int fd, const std::vector<RecordPlace>& places) {
  int marked = 0;
  bool failed = false;
  std::string line(kRecordLineBuffer, '\0');
  for (const RecordPlace& place : places) {
    if (place.Offset < 0) continue;
    const size_t head = 1 + place.Name.size() + 1 + place.Folder.size() + 1;
    if (head > line.size()) continue;
    const ssize_t got = ReadAt(fd, line.data(), head, static_cast<uint64_t>(place.Offset));
    if (got != static_cast<ssize_t>(head)) continue;
    const std::string_view read(line.data(), head);
    if ((read[0] != kFolderRecord && read[0] != kFileRecord) ||
        read.substr(1, place.Name.size()) != place.Name || read[1 + place.Name.size()] != '\t' ||
        read.substr(2 + place.Name.size(), place.Folder.size()) != place.Folder ||
        read.back() != '\t') {
      continue;
    }
    if (pwrite(fd, &kWithdrawnRecord, 1, place.Offset) != 1) {
      failed = true;
      continue;
    }
    ++marked;
  }
  return failed ? -1 : marked;
}

}  // namespace jollix
