#include "common/FileTypeFile.h"

#include <cstdio>
#include <memory>

#include "common/FormattedInput.h"
#include "common/TextFile.h"

namespace jollix {

const char* const kTypeClassNames[6] = {"",         "文本文件",   "图片文件",
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

int ParseFileTypeLine(const char* text, FileTypeLine* line) {
  return ScanFormat(text, "%s\t%d\t%d\t%s",
                    {line->Extension, &line->TypeNumber, &line->TypeClass, line->Description});
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

std::string FormatFileTypes(const std::vector<FileTypeLine>& rows) {
  std::string text;
  int number = 1;
  for (const FileTypeLine& row : rows) {
    text += std::string(row.Extension) + '\t' + std::to_string(number++) + '\t' +
            std::to_string(row.TypeClass) + '\t' + row.Description + "\r\n";
  }
  return text;
}

bool WriteFileTypes(const char* path, const std::vector<FileTypeLine>& rows) {
  return WriteFileAtomically(path, FormatFileTypes(rows));
}

}  // namespace jollix
