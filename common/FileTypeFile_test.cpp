#include "common/FileTypeFile.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "testing/TempDir.h"

namespace jollix {
namespace {

using testing::TempDir;

struct Row {
  std::string ext;
  int type, cls;
  std::string desc;
  int fields;
};

std::vector<Row> ReadAll(const std::string& path, FileTypeReader reader) {
  std::vector<Row> rows;
  EXPECT_TRUE(ReadFileTypes(path.c_str(), reader, [&](const FileTypeLine& l, int fields) {
    rows.push_back({l.Extension, l.TypeNumber, l.TypeClass, l.Description, fields});
  }));
  return rows;
}

TEST(FileTypeFile, ParsesTheFourFieldsOfACrLfLine) {
  FileTypeLine l;
  EXPECT_EQ(ParseFileTypeLine("txt\t1\t1\t文本文件\r\n", &l), 4);
  EXPECT_STREQ(l.Extension, "txt");
  EXPECT_EQ(l.TypeNumber, 1);
  EXPECT_EQ(l.TypeClass, 1);
  EXPECT_STREQ(l.Description, "文本文件");
}

TEST(FileTypeFile, DescriptionWithABlankIsCutAtTheBlank) {
  FileTypeLine l;
  EXPECT_EQ(ParseFileTypeLine("doc\t2\t1\tWord 文档\n", &l), 4);
  EXPECT_STREQ(l.Description, "Word");
}

TEST(FileTypeFile, OverlongFieldsStayInsideTheirBuffers) {
  FileTypeLine l;
  std::string line = std::string(400, 'e') + "\t3\t1\t" + std::string(300, 'd') + "\n";
  EXPECT_EQ(ParseFileTypeLine(line.c_str(), &l), 1);
  EXPECT_EQ(std::string(l.Extension), std::string(255, 'e'));
  line = "ext\t3\t1\t" + std::string(300, 'd');
  EXPECT_EQ(ParseFileTypeLine(line.c_str(), &l), 4);
  EXPECT_EQ(std::string(l.Description), std::string(99, 'd'));
}

const char kWithEmptyLine[] =
    "# comment line\r\n"
    "txt\t1\t1\t文本文件\r\n"
    "jpg\t2\t2\t图片\r\n"
    "\r\n"
    "mp3\t3\t3\t音乐\r\n"
    "exe\t4\n"
    "zip\t5\t5\t压缩包\r\n";

TEST(FileTypeFile, EmptyLineEndsTheListForBuilderAndEngine) {
  TempDir dir;
  dir.Write("FileType.txt", kWithEmptyLine);
  for (FileTypeReader r : {FileTypeReader::kIndexBuilder, FileTypeReader::kSearchEngine}) {
    auto rows = ReadAll(dir / "FileType.txt", r);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].ext, "txt");
    EXPECT_EQ(rows[1].ext, "jpg");
  }
}

TEST(FileTypeFile, TabHandlerAndSettingsReadOnAndSkipShortLines) {
  TempDir dir;
  dir.Write("FileType.txt", kWithEmptyLine);
  for (FileTypeReader r : {FileTypeReader::kTabHandler, FileTypeReader::kSettingsDialog}) {
    auto rows = ReadAll(dir / "FileType.txt", r);
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[2].ext, "mp3");
    EXPECT_EQ(rows[3].ext, "zip");
  }
}

TEST(FileTypeFile, BuilderTakesAShortLineWithFieldsKeptFromTheLineBefore) {
  TempDir dir;
  dir.Write("FileType.txt", "txt\t1\t1\t文本\nexe\n");
  auto rows = ReadAll(dir / "FileType.txt", FileTypeReader::kIndexBuilder);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[1].ext, "exe");
  EXPECT_EQ(rows[1].fields, 1);
  EXPECT_EQ(rows[1].type, 1);
}

TEST(FileTypeFile, LongLineIsSplitByTheReadersBuffer) {
  // A 340-byte line: the settings dialog (200 bytes) and the search engine (300 bytes) read it
  // in two pieces, the builder (3000 bytes) in one.
  TempDir dir;
  std::string desc(330, 'd');
  dir.Write("FileType.txt", "abc\t1\t1\t" + desc + "\r\nxyz\t2\t2\tx\r\n");
  auto settings = ReadAll(dir / "FileType.txt", FileTypeReader::kSettingsDialog);
  ASSERT_EQ(settings.size(), 2u);  // the tail yields one field only and is skipped
  EXPECT_EQ(settings[0].desc.size(), 99u);
  EXPECT_EQ(settings[1].ext, "xyz");
  auto engine = ReadAll(dir / "FileType.txt", FileTypeReader::kSearchEngine);
  ASSERT_EQ(engine.size(), 3u);  // the tail yields a field, which is enough for the engine
  EXPECT_EQ(engine[1].fields, 1);
  EXPECT_EQ(engine[2].ext, "xyz");
  auto builder = ReadAll(dir / "FileType.txt", FileTypeReader::kIndexBuilder);
  ASSERT_EQ(builder.size(), 2u);
}

TEST(FileTypeFile, MissingFileIsReported) {
  EXPECT_FALSE(ReadFileTypes("/nonexistent/FileType.txt", FileTypeReader::kSearchEngine,
                             [](const FileTypeLine&, int) {}));
}

TEST(FileTypeFile, WriterNumbersRowsAndUsesCrLf) {
  TempDir dir;
  std::vector<FileTypeEntry> rows = {{"txt", 9, 1, "文本"}, {"png", 0, 2, "图片"}};
  ASSERT_TRUE(WriteFileTypes((dir / "t.txt").c_str(), rows));
  EXPECT_EQ(dir.Read("t.txt"), "txt\t1\t1\t文本\r\npng\t2\t2\t图片\r\n");
}

std::string Repeated(const std::string& text, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += text;
  return out;
}

TEST(FileTypeFile, ReadersCutALongDescriptionOnAWholeCharacter) {
  // 60 double-byte characters, 120 bytes: 99 bytes would end inside the 50th.
  TempDir dir;
  dir.Write("FileType.txt", "txt\t1\t1\t" + Repeated("文", 60) + "\r\n");
  for (FileTypeReader r : {FileTypeReader::kIndexBuilder, FileTypeReader::kSearchEngine,
                           FileTypeReader::kTabHandler, FileTypeReader::kSettingsDialog}) {
    auto rows = ReadAll(dir / "FileType.txt", r);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].desc, Repeated("文", 49));
  }
}

TEST(FileTypeFile, AnEntryKeepsEveryTextWhole) {
  const std::string extension = Repeated("x", 300), description = Repeated("文", 60);
  FileTypeEntry entry;
  ASSERT_EQ(ParseFileTypeEntry(extension + "\t7\t2\t" + description + "\r\n", &entry), 4);
  EXPECT_EQ(entry.Extension, extension);
  EXPECT_EQ(entry.TypeNumber, 7);
  EXPECT_EQ(entry.TypeClass, 2);
  EXPECT_EQ(entry.Description, description);
  // As a C string holds the line: up to its first NUL byte.
  EXPECT_EQ(ParseFileTypeEntry(std::string("doc\t1\t1\tWord") + '\0' + "x", &entry), 4);
  EXPECT_EQ(entry.Description, "Word");
}

}  // namespace
}  // namespace jollix
