// One line of a record file and of index/AllFile.dat: kind, name, folder, size and time.
//
//   kind name TAB folder/ TAB size TAB time LF
//
// kind is 'D' for a folder, '_' for a file and 'X' for a record withdrawn in place. The folder
// field always ends with the path separator; folder + name is the entry's full path. Size and
// time are 32-bit and written as signed decimals (a size of 4 GiB or more is stored as
// 4294967295, which reads back as -1).
//
// The live index's journal, index/Journal.dat, holds lines of this format too
// (common/RecordJournal.h).
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace jollix {

inline constexpr char kFolderRecord = 'D';
inline constexpr char kFileRecord = '_';
inline constexpr char kWithdrawnRecord = 'X';
inline constexpr char kPathSeparator = '/';
// Longest record line that the readers take.
inline constexpr size_t kRecordLineBuffer = 3000;

struct FileRecord {
  char Kind = 0;
  std::string_view Name;
  std::string_view Folder;  // with its final separator
  int32_t Size = 0;
  int32_t Time = 0;

  uint32_t UnsignedSize() const { return static_cast<uint32_t>(Size); }
};

// Writes one record. folder is the holding folder without its final separator.
void WriteFileRecord(FILE* f, char kind, const char* name, const char* folder, uint32_t size,
                     int32_t time);
// The same bytes appended to a text.
void AppendFileRecord(std::string* out, char kind, std::string_view name, std::string_view folder,
                      uint32_t size, int32_t time);

// Parses a line (with or without its line end). True when its kind is 'D' or '_' and the
// size after the two TABs reads as a number; the time is 0 when it does not read.
bool ParseFileRecord(std::string_view line, FileRecord* record);

// A record line to withdraw in place: where it starts in its record file, and its name and folder
// field (with the final separator) as it must still name them.
struct RecordPlace {
  int64_t Offset = -1;
  std::string_view Name;
  std::string_view Folder;
};

// Marks record lines withdrawn in the record file open for reading and writing at fd: for each
// place whose line still reads kind 'D' or '_', the name, a TAB, the folder and a TAB, the kind
// byte becomes 'X'; nothing else is written, and a line that no longer matches (or a place with
// a negative offset) is left alone. The byte is written with one call, so a reader sees the line
// whole before or after. Returns the number of lines marked, or -1 when a write failed.
int WithdrawRecordLines(int fd, const std::vector<RecordPlace>& places);

// A file size as the records hold it.
inline uint32_t RecordedSize(uint64_t size) {
  return size >= 0xFFFFFFFFull ? 0xFFFFFFFFu : static_cast<uint32_t>(size);
}

}  // namespace jollix
