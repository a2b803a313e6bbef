#include "common/ScanFolderFile.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace jollix
