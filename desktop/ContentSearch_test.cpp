#include "desktop/ContentSearch.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <memory>

#include "testing/TempDir.h"

namespace jollix {
namespace {

using testing::ScopedCurrentDir;
using testing::TempDir;

int CodeOf(const std::string& ch) {
  unsigned char b = static_cast<unsigned char>(ch[0]);
  return b >= 0x80 ? b * 256 + static_cast<unsigned char>(ch[1]) : b;
}

// A table as the default data builds it in spirit: printable ASCII to its full-width form,
// every double-byte character to itself, and 合 同 to 和 仝 (a stand-in for another script).
std::string Table() {
  std::string t(2 * kTranslationEntries, '\0');
  for (int e = 0; e < kTranslationEntries; ++e) {
    t[2 * e] = static_cast<char>(e >> 8);
    t[2 * e + 1] = static_cast<char>(e & 0xFF);
    if (e >= 0x21 && e <= 0x7E) {
      t[2 * e] = static_cast<char>(0xA3);
      t[2 * e + 1] = static_cast<char>(e + 0x80);
    }
  }
  t.replace(2 * CodeOf("合"), 2, "和");
  t.replace(2 * CodeOf("同"), 2, "仝");
  return t;
}

std::string FullWidth(const std::string& ascii) {
  std::string out;
  for (char c : ascii) {
    out += static_cast<char>(0xA3);
    out += static_cast<char>(c + 0x80);
  }
  return out;
}

class ContentSearchTest : public ::testing::Test {
 protected:
  void Prepare(const std::string& words) {
    matcher_.SetPattern(words);
    ASSERT_EQ(matcher_.PrepareWith(Table()), 0);
  }
  int64_t Search(const std::string& content) {
    dir_.Write("f.txt", content);
    return matcher_.SearchFile((dir_ / "f.txt").c_str());
  }

  TempDir dir_;
  ContentSearch matcher_;
};

TEST(ContentHashTest, TakesBytesAsSigned) {
  EXPECT_EQ(ContentHash(""), 0u);
  EXPECT_EQ(ContentHash("\xff"), 0xFFFFFFFFu);
  EXPECT_EQ(ContentHash("\x80\x01"), static_cast<uint32_t>(-128 * 17 + 1));
  EXPECT_EQ(ContentHash("ab"), 97u * 17 + 98);
}

TEST_F(ContentSearchTest, SecondPatternTakesTwoBytesPerCharacter) {
  Prepare("合A同");
  EXPECT_EQ(matcher_.SecondPattern(), "和\xA3\xC1仝");
}

TEST_F(ContentSearchTest, FindsWordsAsTypedAndReportsTheLastBytePosition) {
  Prepare("合同");
  EXPECT_EQ(Search("本合同一式两份"), 5);  // 本 = 2 bytes, the window 合同 ends at byte 5
  EXPECT_EQ(Search("合同"), 3);
  EXPECT_EQ(Search("合约同意"), -1);
}

TEST_F(ContentSearchTest, FindsWordsThroughTheirTableEntries) {
  Prepare("合同");
  EXPECT_GE(Search("此和仝有效"), 0);
  EXPECT_EQ(Search("仝和"), -1);  // the entries in the wrong order
}

TEST_F(ContentSearchTest, IsCaseSensitiveAndMatchesTheLongerConvertedForm) {
  Prepare("Contract");
  EXPECT_EQ(Search("the contract is void"), -1);
  EXPECT_GE(Search("the Contract is void"), 0);
  EXPECT_GE(Search("见" + FullWidth("Contract") + "。"), 0);
  EXPECT_EQ(Search(FullWidth("Contrac")), -1);  // the converted form cut short at the end
}

TEST_F(ContentSearchTest, AHashCollisionIsNoMatch) {
  ASSERT_EQ(ContentHash("aq"), ContentHash("b`"));
  Prepare("aq");
  EXPECT_EQ(Search("xb`x"), -1);
  EXPECT_EQ(Search("xaqx"), 2);
}

TEST_F(ContentSearchTest, ShortEmptyMissingAndUnreadableFilesNeverMatch) {
  Prepare("合同");
  EXPECT_EQ(Search("合"), -1);
  EXPECT_EQ(Search(""), -1);
  EXPECT_EQ(matcher_.SearchFile((dir_ / "missing.txt").c_str()), -1);
  dir_.MakeDir("folder.txt");
  EXPECT_EQ(matcher_.SearchFile((dir_ / "folder.txt").c_str()), -1);
}

TEST_F(ContentSearchTest, FindsMatchesThatStraddleTheChunkBoundary) {
  const size_t chunk = kContentChunk;
  {
    Prepare("合同");
    std::string big(chunk + 100, '-');
    big.replace(chunk - 1, 4, "合同");  // 合's lead byte is the chunk's last byte
    EXPECT_EQ(Search(big), static_cast<int64_t>(chunk + 2));
  }
  {
    // The converted form is 16 bytes for n = 8: its first 8 bytes lie in the first chunk, its
    // tail crosses into the second.
    Prepare("Contract");
    std::string big(chunk + 100, '-');
    big.replace(chunk - 12, 16, FullWidth("Contract"));
    EXPECT_EQ(Search(big), static_cast<int64_t>(chunk - 5));
  }
  {
    Prepare("合同");
    std::string big(3 * chunk, '-');
    big.replace(3 * chunk - 4, 4, "合同");  // the very end of a file of whole chunks
    EXPECT_EQ(Search(big), static_cast<int64_t>(3 * chunk - 1));
    EXPECT_EQ(Search(std::string(chunk, '-')), -1);
  }
}

TEST_F(ContentSearchTest, SearchesTheUtf8SpellingsOfBothFormsAndEachFormOnce) {
  Prepare("合A");
  // As typed, through the table, and the UTF-8 spellings of both.
  EXPECT_EQ(matcher_.Forms(),
            (std::vector<std::string>{"合A", "和\xA3\xC1", reinterpret_cast<const char*>(u8"合A"),
                                      reinterpret_cast<const char*>(u8"和Ａ")}));
  EXPECT_GE(Search(reinterpret_cast<const char*>(u8"说和Ａ")), 0);
  EXPECT_GE(Search(reinterpret_cast<const char*>(u8"合A")), 0);
  EXPECT_EQ(Search(reinterpret_cast<const char*>(u8"合Ａ")), -1);  // the forms are not mixed
  // An ASCII word is one form in both encodings.
  Prepare("ab");
  EXPECT_EQ(matcher_.Forms().size(), 3u);
  EXPECT_GE(Search(reinterpret_cast<const char*>(u8"－ａｂ－")), 0);
}

TEST_F(ContentSearchTest, OnlyRegularFilesAreOpened) {
  dir_.Write("plain.txt", "合同");
  ASSERT_EQ(symlink((dir_ / "plain.txt").c_str(), (dir_ / "link.txt").c_str()), 0);
  ASSERT_EQ(mkfifo((dir_ / "pipe.txt").c_str(), 0600), 0);
  ASSERT_EQ(symlink("/dev/zero", (dir_ / "zero.txt").c_str()), 0);
  dir_.MakeDir("folder.txt");
  for (const char* name : {"plain.txt", "link.txt"}) {
    int fd = OpenRegularFile((dir_ / name).c_str());
    EXPECT_GE(fd, 0) << name;
    close(fd);
  }
  for (const char* name : {"pipe.txt", "zero.txt", "folder.txt", "missing.txt"}) {
    EXPECT_EQ(OpenRegularFile((dir_ / name).c_str()), -1) << name;
  }
  Prepare("合同");
  EXPECT_EQ(matcher_.SearchFile((dir_ / "pipe.txt").c_str()), -1);
}

TEST_F(ContentSearchTest, ACancelFlagIsReadBeforeEveryChunk) {
  Prepare("合同");
  std::string big(2 * kContentChunk, '-');
  dir_.Write("big.txt", big + "合同");
  int fd = open((dir_ / "big.txt").c_str(), O_RDONLY);
  ASSERT_GE(fd, 0);
  std::unique_ptr<unsigned char[]> buffer(new unsigned char[kContentChunk]);
  std::atomic<bool> cancel{false};
  EXPECT_EQ(matcher_.SearchOpenFile(fd, buffer.get(), &cancel), int64_t(2 * kContentChunk + 3));
  cancel = true;
  EXPECT_EQ(matcher_.SearchOpenFile(fd, buffer.get(), &cancel), kContentCancelled);
  close(fd);
}

// Runs Prepare in the folder and leaves what it wrote on standard output in out.txt.
void PrepareWithStdoutTo(const TempDir& dir) {
  ScopedCurrentDir cd(dir.path());
  if (!std::freopen("out.txt", "w", stdout)) std::_Exit(99);
  ContentSearch matcher;
  matcher.SetPattern("合同");
  matcher.Prepare();
  std::_Exit(0);
}

TEST(ContentSearchDeathTest, MissingTableEndsTheProcessWithMinusTwo) {
  TempDir dir;
  dir.MakeDir("index");
  EXPECT_EXIT(PrepareWithStdoutTo(dir), ::testing::ExitedWithCode(254), "");
  std::string out = dir.Read("out.txt");
  EXPECT_EQ(out.rfind("打开系统文件失败，请与开发商联系，异常点为文件 ContentSearch 的第 ", 0), 0u)
      << out;
  EXPECT_EQ(out.substr(out.size() - 6), " 行！\n");
}

TEST(ContentSearchDeathTest, ShortTableEndsTheProcessWithTwo) {
  TempDir dir;
  dir.Write(kTranslationFile, Table().substr(0, 2 * kTranslationEntries - 1));
  EXPECT_EXIT(PrepareWithStdoutTo(dir), ::testing::ExitedWithCode(2), "");
  std::string out = dir.Read("out.txt");
  EXPECT_EQ(out.rfind("读取系统文件失败，请与开发商联系，异常点为文件 ContentSearch 的第 ", 0), 0u)
      << out;
}

TEST(ContentSearchTableTest, LoadsTheTableFromTheIndexFolderAndIgnoresExtraBytes) {
  TempDir dir;
  dir.Write(kTranslationFile, Table() + "trailing bytes");
  dir.Write("doc.txt", "甲和仝乙");
  ScopedCurrentDir cd(dir.path());
  ContentSearch matcher;
  matcher.SetPattern("合同");
  EXPECT_EQ(matcher.Prepare(), 0);
  EXPECT_EQ(matcher.SearchFile("doc.txt"), 5);
}

}  // namespace
}  // namespace jollix
