// index/FileType.txt: the known extensions, one "extension TAB type TAB class TAB description"
// line each. Each reader has its own line buffer and its own rule for lines it cannot use.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace jollix {

inline constexpr char kFileTypeFile[] = "index/FileType.txt";

// Type classes.
inline constexpr int kTextClass = 1;
inline constexpr int kPictureClass = 2;
inline constexpr int kMediaClass = 3;
inline constexpr int kBinaryClass = 4;
inline constexpr int kOtherClass = 5;
inline constexpr int kMaxTypeNumber = 1999;
inline constexpr int kUnknownType = 2000;

// The class names as the settings dialog shows them ("文本文件" ...); index 0 is unused.
extern const char* const kTypeClassNames[6];

struct FileTypeLine {
  char Extension[256] = {};
  int TypeNumber = 0;
  int TypeClass = 0;
  char Description[100] = {};
};

// Who reads the file decides the line buffer and what happens at a line it cannot use: the
// index builder and the search engine stop at the first line that yields no field (so an empty
// line ends the list for them); the tab handler and the settings dialog skip every line that
// does not yield all four fields.
enum class FileTypeReader { kIndexBuilder, kSearchEngine, kTabHandler, kSettingsDialog };

size_t FileTypeLineBuffer(FileTypeReader reader);

// Parses one line into *line. Fields after the first that does not read keep their content. A
// text longer than its field is cut to fit, before a double-byte character that would not fit
// whole. Returns the count of fields read, -1 for a line without any.
int ParseFileTypeLine(const char* text, FileTypeLine* line);

// A line's fields as whole texts, however long: what the settings dialog shows and writes back,
// so that opening and saving it never shortens a line. The readers of the index cut the texts
// to their fields when they read them.
struct FileTypeEntry {
  std::string Extension;
  int TypeNumber = 0;
  int TypeClass = 0;
  std::string Description;
};

// Parses text up to its first NUL byte as ParseFileTypeLine does, without cutting a field.
int ParseFileTypeEntry(std::string_view text, FileTypeEntry* entry);

// Reads the file and calls accept(line, fields) for every line the reader takes; '#' lines are
// comments. The same FileTypeLine is reused from line to line, as a reader's variables are.
// Returns false when the file cannot be opened.
bool ReadFileTypes(const char* path, FileTypeReader reader,
                   const std::function<void(const FileTypeLine&, int fields)>& accept);

// The file's text: CR LF line ends, the rows numbered 1, 2, 3 ... in the given order (their
// TypeNumber is not used), every text whole.
std::string FormatFileTypes(const std::vector<FileTypeEntry>& rows);

// Rewrites the file with FormatFileTypes, never leaving it half-written (WriteFileAtomically).
// Returns false when it cannot be written whole; the old file then stays.
bool WriteFileTypes(const char* path, const std::vector<FileTypeEntry>& rows);

}  // namespace jollix
