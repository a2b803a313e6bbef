#include "common/FileRecord.h"

#include "common/FormattedInput.h"

namespace jollix {

void WriteFileRecord(FILE* f, char kind, const char* name, const char* folder, uint32_t size,
                     int32_t time) {
  std::fprintf(f, kind == kFolderRecord ? "D%s\t%s/\t" : "_%s\t%s/\t", name, folder);
  std::fprintf(f, "%d\t%d\n", static_cast<int32_t>(size), time);
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

}  // namespace jollix
