#include "common/Gbk.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <filesystem>
#include <optional>

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

// iconv's own conversion of one byte sequence, the reference the table must give; nullopt when
// iconv refuses it.
std::optional<std::string> IconvGbkToUtf8(const std::string& gbk) {
  iconv_t cd = iconv_open("UTF-8", "GB18030");
  char out[64];
  char* src = const_cast<char*>(gbk.data());
  char* dst = out;
  size_t src_left = gbk.size(), dst_left = sizeof out;
  const size_t rc = iconv(cd, &src, &src_left, &dst, &dst_left);
  iconv_close(cd);
  if (rc == static_cast<size_t>(-1) || src_left != 0) return std::nullopt;
  return std::string(out, sizeof out - dst_left);
}

// Every two-byte sequence with a lead byte of 0x80..0xFF, each alone and between ASCII bytes,
// and every lone high byte: the table gives iconv's bytes for every GBK character, and declines
// (leaving it to iconv) whatever iconv would not convert as one two-byte character; the public
// conversions equal iconv's everywhere.
TEST(Gbk, TheTableGivesIconvsBytesForEveryGbkCharacter) {
  int converted = 0;
  for (int lead = 0x80; lead <= 0xFF; ++lead) {
    for (int trail = 0x00; trail <= 0xFF; ++trail) {
      const std::string pair{static_cast<char>(lead), static_cast<char>(trail)};
      for (const std::string& gbk : {pair, "a" + pair + "b"}) {
        const std::optional<std::string> want = IconvGbkToUtf8(gbk);
        std::string got = "x";
        const bool gbk_pair =
            lead >= 0x81 && lead <= 0xFE && trail >= 0x40 && trail <= 0xFE && trail != 0x7F;
        if (AppendGbkToUtf8ByTable(gbk, &got)) {
          ASSERT_TRUE(want) << std::hex << lead << " " << trail;
          ASSERT_EQ(got, "x" + *want) << std::hex << lead << " " << trail;
          converted += gbk == pair;
        } else {
          EXPECT_FALSE(gbk_pair && want) << std::hex << lead << " " << trail;
        }
        std::string strict;
        EXPECT_EQ(GbkToUtf8(gbk, &strict), want.has_value());
        if (want) EXPECT_EQ(strict, *want);
      }
    }
    const std::string lone(1, static_cast<char>(lead));
    std::string got;
    EXPECT_FALSE(AppendGbkToUtf8ByTable(lone, &got));
    EXPECT_EQ(GbkToUtf8Lossy(lone), "?");
  }
  EXPECT_EQ(converted, 126 * 190);  // every GBK character through the table
  std::string got;
  EXPECT_FALSE(AppendGbkToUtf8ByTable("\x81\x30\x81\x30", &got));  // four bytes: iconv's
}

}  // namespace
}  // namespace jollix
