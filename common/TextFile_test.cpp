#include "common/TextFile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "testing/FileSizeLimit.h"
#include "testing/TempDir.h"

namespace jollix {
namespace {

using testing::TempDir;

size_t FileCount(const std::string& folder) {
  size_t n = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) n += !entry.is_directory();
  return n;
}

TEST(WriteFileAtomically, CreatesAndReplacesAFileWhole) {
  TempDir dir;
  ASSERT_TRUE(WriteFileAtomically((dir / "a.txt").c_str(), "first"));
  EXPECT_EQ(dir.Read("a.txt"), "first");
  ASSERT_TRUE(WriteFileAtomically((dir / "a.txt").c_str(), std::string("se\0cond", 7)));
  EXPECT_EQ(dir.Read("a.txt"), std::string("se\0cond", 7));
  EXPECT_EQ(FileCount(dir.path()), 1u);
}

TEST(WriteFileAtomically, KeepsThePermissionsOfTheOldFile) {
  TempDir dir;
  dir.Write("a.txt", "old");
  chmod((dir / "a.txt").c_str(), 0640);
  ASSERT_TRUE(WriteFileAtomically((dir / "a.txt").c_str(), "new"));
  struct stat st;
  ASSERT_EQ(stat((dir / "a.txt").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
}

TEST(WriteFileAtomically, FailureKeepsTheOldFileAndLeavesNothingBehind) {
  TempDir dir;
  dir.Write("a.txt", "old contents");
  dir.MakeDir("folder");
  EXPECT_FALSE(WriteFileAtomically((dir / "folder").c_str(), "x"));  // not a file
  EXPECT_FALSE(WriteFileAtomically((dir / "missing/a.txt").c_str(), "x"));
  {
    testing::FileSizeLimit full(4);
    EXPECT_FALSE(WriteFileAtomically((dir / "a.txt").c_str(), "much longer new contents"));
  }
  EXPECT_EQ(dir.Read("a.txt"), "old contents");
  EXPECT_EQ(FileCount(dir.path()), 1u);
}

TEST(FileReplacement, NothingChangesBeforeCommitAndAnUncommittedFileIsRemoved) {
  TempDir dir;
  dir.Write("a.txt", "old");
  {
    FileReplacement replacement;
    ASSERT_TRUE(replacement.Write((dir / "a.txt").c_str(), "new"));
    EXPECT_EQ(dir.Read("a.txt"), "old");
    EXPECT_EQ(FileCount(dir.path()), 2u);
  }
  EXPECT_EQ(dir.Read("a.txt"), "old");
  EXPECT_EQ(FileCount(dir.path()), 1u);
  FileReplacement replacement;
  EXPECT_FALSE(replacement.Commit());
  ASSERT_TRUE(replacement.Write((dir / "a.txt").c_str(), "new"));
  EXPECT_TRUE(replacement.Commit());
  EXPECT_EQ(dir.Read("a.txt"), "new");
}

}  // namespace
}  // namespace jollix
