#include "results/FileMoves.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <filesystem>

#include "testing/TempDir.h"

namespace jollix {
namespace {

using testing::TempDir;
namespace fs = std::filesystem;

class FileMovesTest : public ::testing::Test {
 protected:
  std::string At(const std::string& relative) const { return dir_ / relative; }
  TempDir dir_;
};

TEST_F(FileMovesTest, MoveRenamesAndNeverReplaces) {
  dir_.Write("a/f.txt", "one");
  dir_.MakeDir("b");
  EXPECT_TRUE(MoveEntry(At("a/f.txt"), At("b/f.txt")));
  EXPECT_FALSE(dir_.Exists("a/f.txt"));
  EXPECT_EQ(dir_.Read("b/f.txt"), "one");

  dir_.Write("a/f.txt", "two");
  EXPECT_FALSE(MoveEntry(At("a/f.txt"), At("b/f.txt")));
  EXPECT_EQ(dir_.Read("b/f.txt"), "one");
  EXPECT_EQ(dir_.Read("a/f.txt"), "two");
  EXPECT_FALSE(MoveEntry(At("a/missing"), At("b/missing")));
}

TEST_F(FileMovesTest, MoveTakesAFolderWithItsContents) {
  dir_.Write("a/sub/x.txt", "x");
  dir_.MakeDir("b");
  EXPECT_TRUE(MoveEntry(At("a/sub"), At("b/sub")));
  EXPECT_EQ(dir_.Read("b/sub/x.txt"), "x");
}

// A folder on another file system than the temp folder, or empty when there is none at hand.
std::string OtherFileSystemFolder(const std::string& than) {
  char pattern[] = "/dev/shm/jollix-move-XXXXXX";
  if (!mkdtemp(pattern)) return "";
  struct stat a, b;
  if (stat(pattern, &a) != 0 || stat(than.c_str(), &b) != 0 || a.st_dev == b.st_dev) {
    fs::remove_all(pattern);
    return "";
  }
  return pattern;
}

TEST_F(FileMovesTest, AMoveAcrossFileSystemsCopiesThenRemoves) {
  const std::string other = OtherFileSystemFolder(dir_.path());
  if (other.empty()) GTEST_SKIP() << "no second file system";
  dir_.Write("a/sub/x.txt", "x");
  dir_.Write("a/f.txt", "f");
  const bool file_moved = MoveEntry(At("a/f.txt"), other + "/f.txt");
  const bool folder_moved = MoveEntry(At("a/sub"), other + "/sub");
  const bool file_there = fs::exists(other + "/f.txt");
  const bool folder_there = fs::exists(other + "/sub/x.txt");
  fs::remove_all(other);
  EXPECT_TRUE(file_moved);
  EXPECT_TRUE(folder_moved);
  EXPECT_TRUE(file_there);
  EXPECT_TRUE(folder_there);
  EXPECT_FALSE(dir_.Exists("a/f.txt"));
  EXPECT_FALSE(dir_.Exists("a/sub"));
}

TEST_F(FileMovesTest, NothingMovesOrCopiesOntoOrIntoItself) {
  dir_.Write("a/sub/x.txt", "x");
  EXPECT_TRUE(SameOrInside(At("a/sub"), At("a/sub")));
  EXPECT_TRUE(SameOrInside(At("a/sub"), At("a/sub/deeper/sub")));
  EXPECT_TRUE(SameOrInside(At("a/sub"), At("a/./sub/x")));
  EXPECT_FALSE(SameOrInside(At("a/sub"), At("a/subway")));
  EXPECT_FALSE(SameOrInside(At("a/sub"), At("a")));
  EXPECT_FALSE(MoveEntry(At("a/sub"), At("a/sub/sub")));
  EXPECT_FALSE(CopyEntry(At("a/sub"), At("a/sub/sub"), false));
  EXPECT_FALSE(CopyEntry(At("a/sub/x.txt"), At("a/sub/x.txt"), true));
  EXPECT_EQ(dir_.Read("a/sub/x.txt"), "x");
  EXPECT_FALSE(dir_.Exists("a/sub/sub"));
}

TEST_F(FileMovesTest, CopyOverwritesOnlyWhenAskedTo) {
  dir_.Write("a/f.txt", "new");
  dir_.Write("b/f.txt", "old");
  EXPECT_FALSE(CopyEntry(At("a/f.txt"), At("b/f.txt"), false));
  EXPECT_EQ(dir_.Read("b/f.txt"), "old");
  EXPECT_TRUE(CopyEntry(At("a/f.txt"), At("b/f.txt"), true));
  EXPECT_EQ(dir_.Read("b/f.txt"), "new");
  EXPECT_EQ(dir_.Read("a/f.txt"), "new");
  EXPECT_TRUE(CopyEntry(At("a/f.txt"), At("b/g.txt"), false));
  EXPECT_EQ(dir_.Read("b/g.txt"), "new");
}

TEST_F(FileMovesTest, CopyTakesFoldersWholeAndLinksAsLinks) {
  dir_.Write("a/sub/x.txt", "x");
  fs::create_symlink("x.txt", At("a/sub/link"));
  dir_.MakeDir("b");
  EXPECT_TRUE(CopyEntry(At("a/sub"), At("b/sub"), false));
  EXPECT_EQ(dir_.Read("b/sub/x.txt"), "x");
  EXPECT_TRUE(fs::is_symlink(At("b/sub/link")));
  // A file never lands inside a folder that stands at its destination.
  dir_.Write("a/f", "f");
  dir_.MakeDir("b/f");
  EXPECT_FALSE(CopyEntry(At("a/f"), At("b/f"), true));
  EXPECT_FALSE(dir_.Exists("b/f/f"));
}

TEST_F(FileMovesTest, RemoveTakesFilesAndEmptyFoldersOnly) {
  dir_.Write("a/f.txt", "f");
  dir_.Write("full/x", "x");
  dir_.MakeDir("empty");
  EXPECT_TRUE(RemoveEntry(At("a/f.txt")));
  EXPECT_TRUE(RemoveEntry(At("empty")));
  EXPECT_FALSE(RemoveEntry(At("full")));
  EXPECT_EQ(dir_.Read("full/x"), "x");
  EXPECT_TRUE(RemoveEntry(At("nothing")));
}

}  // namespace
}  // namespace jollix
