#include "common/Gbk.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "testing/TempDir.h"

namespace jollix {
namespace {

TEST(Gbk, LiteralsAreCompiledToGbkBytes) { EXPECT_EQ(std::string("文档"), "\xCE\xC4\xB5\xB5"); }

TEST(Gbk, Utf8AndGbkRoundTrip) {
  std::string gbk, utf8;
  ASSERT_TRUE(Utf8ToGbk("\xE6\x96\x87\xE6\xA1\xA3.doc", &gbk));  // 文档.doc in UTF-8
  EXPECT_EQ(gbk, "\xCE\xC4\xB5\xB5.doc");
  ASSERT_TRUE(GbkToUtf8(gbk, &utf8));
  EXPECT_EQ(utf8, "\xE6\x96\x87\xE6\xA1\xA3.doc");
}

TEST(Gbk, InvalidInputFails) {
  std::string out = "x";
  EXPECT_FALSE(Utf8ToGbk("caf\xE9", &out));
  EXPECT_TRUE(out.empty());
  EXPECT_FALSE(GbkToUtf8("\xCE", &out));
}

TEST(Gbk, LossyReplacesBadBytes) {
  EXPECT_EQ(GbkToUtf8Lossy("a\xFF"
                           "b"),
            "a?b");
  EXPECT_EQ(Utf8ToGbkLossy("x\xE9y"), "x?y");
}

TEST(Gbk, FileNameKeepsRawBytesWhenNotUtf8) {
  EXPECT_EQ(FileNameToGbk("caf\xE9"), "caf\xE9");
  EXPECT_EQ(FileNameFromGbk("caf\xE9"), "caf\xE9");
  EXPECT_EQ(FileNameToGbk("plain.txt"), "plain.txt");
}

TEST(Gbk, CharactersOutsideGbkStillRoundTrip) {
  std::string emoji = "\xF0\x9F\x98\x80.png";
  std::string gbk = FileNameToGbk(emoji);
  EXPECT_NE(gbk, emoji);
  EXPECT_EQ(FileNameFromGbk(gbk), emoji);
}

TEST(Gbk, DiskPathFindsRawNamesToo) {
  testing::TempDir dir;
  dir.Write("\xC4\xE3", "raw gbk name on disk");  // not valid UTF-8
  std::string gbk = FileNameToGbk(dir / "\xC4\xE3");
  EXPECT_EQ(DiskPathFromGbk(gbk), dir / "\xC4\xE3");
  dir.Write("\xE4\xBD\xA0", "utf-8 name");  // 你
  EXPECT_EQ(DiskPathFromGbk(FileNameToGbk(dir / "\xE4\xBD\xA0")), dir / "\xE4\xBD\xA0");
}

TEST(Gbk, ExistingDiskPathTriesBothSpellings) {
  testing::TempDir dir;
  dir.Write("\xC4\xE3", "raw gbk name on disk");  // 你 in GBK, not valid UTF-8
  dir.Write("\xE5\xA5\xBD", "utf-8 name");        // 好
  std::string disk;
  EXPECT_TRUE(ExistingDiskPath(FileNameToGbk(dir / "\xC4\xE3"), &disk));
  EXPECT_EQ(disk, dir / "\xC4\xE3");
  EXPECT_TRUE(ExistingDiskPath(FileNameToGbk(dir / "\xE5\xA5\xBD"), &disk));
  EXPECT_EQ(disk, dir / "\xE5\xA5\xBD");
  EXPECT_FALSE(ExistingDiskPath(FileNameToGbk(dir / "\xE4\xBB\xAC"), &disk));  // 们
  EXPECT_FALSE(ExistingDiskPath(dir / "gone", &disk));
  std::filesystem::create_symlink(dir / "nowhere", dir / "link");
  EXPECT_TRUE(ExistingDiskPath(dir / "link", &disk));  // a dangling link is still an entry
}

}  // namespace
}  // namespace jollix
