#include "common/ScanFolderFile.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "testing/TempDir.h"

namespace jollix {
namespace {

using testing::TempDir;

TEST(ScanFolderFile, ReadsMarkersAndPathsCutAtTheLineEnd) {
  TempDir dir;
  dir.Write("s.txt", "_/home/u\r\n#/data/music\n /ignored\n_/last");
  std::vector<ScanFolderEntry> e;
  ASSERT_TRUE(ReadScanFolders((dir / "s.txt").c_str(), &e));
  ASSERT_EQ(e.size(), 4u);
  EXPECT_EQ(e[0].Marker, '_');
  EXPECT_EQ(e[0].Path, "/home/u");
  EXPECT_EQ(e[1].Marker, '#');
  EXPECT_EQ(e[1].Path, "/data/music");
  EXPECT_EQ(e[2].Marker, ' ');
  EXPECT_EQ(e[3].Path, "/last");
}

TEST(ScanFolderFile, TheHundredFirstLineIsNeverRead) {
  TempDir dir;
  std::string text;
  for (int i = 0; i < 101; ++i) text += "_/f" + std::to_string(i) + "\n";
  dir.Write("s.txt", text);
  std::vector<ScanFolderEntry> e;
  ASSERT_TRUE(ReadScanFolders((dir / "s.txt").c_str(), &e));
  ASSERT_EQ(e.size(), 100u);
  EXPECT_EQ(e[99].Path, "/f99");
}

TEST(ScanFolderFile, OverlongLineTakesOneSlotAndIsIgnoredWhole) {
  TempDir dir;
  std::string longpath = "/" + std::string(296, 'a') + "_/tail";  // 303 bytes with the marker
  dir.Write("s.txt", "_" + longpath + "\n_/next\n");
  std::vector<ScanFolderEntry> e;
  ASSERT_TRUE(ReadScanFolders((dir / "s.txt").c_str(), &e));
  ASSERT_EQ(e.size(), 2u);
  EXPECT_EQ(e[0].Marker, 0);
  EXPECT_EQ(e[1].Path, "/next");
}

TEST(ScanFolderFile, LongestLineThatFitsIsKept) {
  TempDir dir;
  std::string path(296, 'p');  // marker + 296 + CR LF = 299 bytes
  dir.Write("s.txt", "_" + path + "\r\n");
  std::vector<ScanFolderEntry> e;
  ASSERT_TRUE(ReadScanFolders((dir / "s.txt").c_str(), &e));
  ASSERT_EQ(e.size(), 1u);
  EXPECT_EQ(e[0].Path, path);
}

TEST(ScanFolderFile, WriterUsesCrLf) {
  TempDir dir;
  ASSERT_TRUE(WriteScanFolders((dir / "s.txt").c_str(), {{'_', "/a"}, {'#', "/b c"}}));
  EXPECT_EQ(dir.Read("s.txt"), "_/a\r\n#/b c\r\n");
}

TEST(ScanFolderFile, MissingFileIsReported) {
  std::vector<ScanFolderEntry> e;
  EXPECT_FALSE(ReadScanFolders("/nonexistent/s.txt", &e));
}

TEST(ScanFolderFile, FirstSetUpMarksTheHomeFolderAndKeepsAnExistingFile) {
  TempDir dir;
  const char* saved = std::getenv("HOME");
  std::string previous = saved ? saved : "";
  setenv("HOME", reinterpret_cast<const char*>(u8"/home/张三"), 1);  // UTF-8 on disk
  bool written = EnsureScanFolders((dir / "s.txt").c_str());
  if (saved)
    setenv("HOME", previous.c_str(), 1);
  else
    unsetenv("HOME");
  ASSERT_TRUE(written);
  EXPECT_EQ(dir.Read("s.txt"), "_/home/张三\r\n");

  dir.Write("s.txt", "#/kept\r\n");
  EXPECT_TRUE(EnsureScanFolders((dir / "s.txt").c_str()));
  EXPECT_EQ(dir.Read("s.txt"), "#/kept\r\n");
  EXPECT_FALSE(EnsureScanFolders((dir / "missing/s.txt").c_str()));
}

}  // namespace
}  // namespace jollix
