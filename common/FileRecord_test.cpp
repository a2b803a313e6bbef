#include "common/FileRecord.h"

#include <gtest/gtest.h>

#include "testing/TempDir.h"

namespace jollix {
namespace {

std::string Written(char kind, const char* name, const char* folder, uint32_t size, int32_t t) {
  char* buf = nullptr;
  size_t len = 0;
  FILE* f = open_memstream(&buf, &len);
  WriteFileRecord(f, kind, name, folder, size, t);
  std::fclose(f);
  std::string s(buf, len);
  free(buf);
  return s;
}

TEST(FileRecord, WritesFilesAndFoldersWithTheFinalSeparator) {
  EXPECT_EQ(Written('_', "a.txt", "/docs", 120, 1170000000), "_a.txt\t/docs/\t120\t1170000000\n");
  EXPECT_EQ(Written('D', "Sub", "/docs", 0, 5), "DSub\t/docs/\t0\t5\n");
}

TEST(FileRecord, HugeSizeIsWrittenAsMinusOneAndReadBackUnsigned) {
  EXPECT_EQ(RecordedSize(5ull << 30), 0xFFFFFFFFu);
  EXPECT_EQ(RecordedSize(0xFFFFFFFEull), 0xFFFFFFFEu);
  std::string line = Written('_', "big.iso", "/v", RecordedSize(5ull << 30), 1);
  EXPECT_EQ(line, "_big.iso\t/v/\t-1\t1\n");
  FileRecord r;
  ASSERT_TRUE(ParseFileRecord(line, &r));
  EXPECT_EQ(r.UnsignedSize(), 4294967295u);
  r.Size = static_cast<int32_t>(3000000000u);
  EXPECT_EQ(r.UnsignedSize(), 3000000000u);
}

TEST(FileRecord, ParsesFields) {
  FileRecord r;
  ASSERT_TRUE(ParseFileRecord("_文档.doc\t/home/u/\t42\t99\n", &r));
  EXPECT_EQ(r.Kind, '_');
  EXPECT_EQ(r.Name, "文档.doc");
  EXPECT_EQ(r.Folder, "/home/u/");
  EXPECT_EQ(r.Size, 42);
  EXPECT_EQ(r.Time, 99);
}

TEST(FileRecord, RejectsWithdrawnAndMalformedLines) {
  FileRecord r;
  EXPECT_FALSE(ParseFileRecord("Xa\t/b/\t1\t2\n", &r));
  EXPECT_FALSE(ParseFileRecord("", &r));
  EXPECT_FALSE(ParseFileRecord("_a\t/b/\n", &r));
  EXPECT_FALSE(ParseFileRecord("_a /b/ 1 2\n", &r));
  EXPECT_FALSE(ParseFileRecord("_a\t/b/\tbig\t2\n", &r));
  EXPECT_TRUE(ParseFileRecord("_a\t/b/\t7", &r));  // a missing time still parses
  EXPECT_EQ(r.Time, 0);
}

}  // namespace
}  // namespace jollix
