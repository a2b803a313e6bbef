#include "common/FileTypeFile.h"

#include <cstdio>
#include <cstring>
#include <memory>

#include "common/FormattedInput.h"
#include "common/TextFile.h"

namespace jollix {

const char* const kTypeClassNames[6] = {"",           "文本文件",   "图片文件",
                                        "音视频文件", "二进制文件", "其它文件"};

size_t FileTypeLineBuffer(FileTypeReader reader) {
  switch (reader) {
    case FileTypeReader::kIndexBuilder:
      return 3000;
    case FileTypeReader::kSearchEngine:
      return 300;
    case FileTypeReader::kTabHandler:
      return 500;
    case FileTypeReader::kSettingsDialog:
      return 200;
  }
  return 200;
}

namespace {

// A field filled to its last byte may end with the lead byte of a double-byte character whose
// second byte did not fit: that lone byte is dropped, so that the field holds whole characters.
template <size_t N>
void EndOnWholeCharacter(char (&field)[N]) {
  const size_t n = std::strlen(field);
  if (n < N - 1) return;
  size_t i = 0;
  while (i < n) i += static_cast<unsigned char>(field[i]) >= 0x80 ? 2 : 1;
  if (i > n) field[n - 1] = '\0';
}

}  // namespace

int ParseFileTypeLine(const char* text, FileTypeLine* line) {
  const int fields =
      ScanFormat(text, "%s\t%d\t%d\t%s",
                 {line->Extension, &line->TypeNumber, &line->TypeClass, line->Description});
  if (fields >= 1) EndOnWholeCharacter(line->Extension);
  if (fields >= 4) EndOnWholeCharacter(line->Description);
  return fields;
}

int ParseFileTypeEntry(std::string_view text, FileTypeEntry* entry) {
  text = text.substr(0, text.find('\0'));
  // Buffers as long as the line hold any field whole.
  std::string extension(text.size() + 1, '\0'), description(text.size() + 1, '\0');
  const int fields =
      ScanFormat(text, "%s\t%d\t%d\t%s",
                 {ScanTarget(extension.data(), extension.size()), &entry->TypeNumber,
                  &entry->TypeClass, ScanTarget(description.data(), description.size())});
  if (fields >= 1) entry->Extension = extension.c_str();
  if (fields >= 4) entry->Description = description.c_str();
  return fields;
}

bool ReadFileTypes(const char* path, FileTypeReader reader,
                   const std::function<void(const FileTypeLine&, int fields)>& accept) {
  FILE* f = std::fopen(path, "rb");
  if (!f) return false;
  const size_t size = FileTypeLineBuffer(reader);
  std::unique_ptr<char[]> buffer(new char[size]);
  const bool needs_all_fields =
      reader == FileTypeReader::kTabHandler || reader == FileTypeReader::kSettingsDialog;
  FileTypeLine line;
  while (ReadLine(f, buffer.get(), size) > 0) {
    if (buffer[0] == '#') continue;
    int fields = ParseFileTypeLine(buffer.get(), &line);
    if (needs_all_fields) {
      if (fields == 4) accept(line, fields);
      continue;
    }
    if (fields < 1) break;
    accept(line, fields);
  }
  std::fclose(f);
  return true;
}

std::string FormatFileTypes(const std::vector<FileTypeEntry>& rows) {
  std::string text;
  int number = 1;
  for (const FileTypeEntry& row : rows) {
    text += row.Extension + '\t' + std::to_string(number++) + '\t' + std::to_string(row.TypeClass) +
            '\t' + row.Description + "\r\n";
  }
  return text;
}

bool WriteFileTypes(const char* path, const std::vector<FileTypeEntry>& rows) {
  return WriteFileAtomically(path, FormatFileTypes(rows));
}

}  // namespace jollix
