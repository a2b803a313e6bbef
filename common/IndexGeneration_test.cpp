#include "common/IndexGeneration.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "common/IndexLayout.h"
#include "testing/TempDir.h"

namespace jollix {
namespace {

using testing::ScopedCurrentDir;
using testing::TempDir;

struct stat StatOf(const char* path) {
  struct stat st {};
  EXPECT_EQ(stat(path, &st), 0) << path;
  return st;
}

struct timespec At(time_t sec, long nsec) {
  return {sec, nsec};
}

void SetTime(const char* path, struct timespec t) {
  const struct timespec times[2] = {t, t};
  ASSERT_EQ(utimensat(AT_FDCWD, path, times, 0), 0) << path;
}

class GenerationTest : public ::testing::Test {
 protected:
  GenerationTest() : cd_(dir_.path()) {
    dir_.Write(kAllFileFile, "old records");
    dir_.Write(kMetaIndexFile, "old directory");
    dir_.Write(kIndexDataFile, "old postings");
    dir_.Write(kAllFileTempFile, "new records");
    dir_.Write(kMetaIndexTempFile, "new directory");
    dir_.Write(kIndexDataTempFile, "new postings");
  }
  bool Whole() {
    return IsWholeGeneration(StatOf(kAllFileFile), StatOf(kMetaIndexFile), StatOf(kIndexDataFile));
  }

  TempDir dir_;
  ScopedCurrentDir cd_;
};

TEST_F(GenerationTest, PublishingRenamesAllThreeWithOneStamp) {
  ASSERT_EQ(PublishGeneration(kAllFileTempFile, kMetaIndexTempFile, kIndexDataTempFile), 0);
  EXPECT_EQ(dir_.Read(kAllFileFile), "new records");
  EXPECT_EQ(dir_.Read(kMetaIndexFile), "new directory");
  EXPECT_EQ(dir_.Read(kIndexDataFile), "new postings");
  EXPECT_FALSE(dir_.Exists(kAllFileTempFile));
  EXPECT_FALSE(dir_.Exists(kIndexDataTempFile));
  EXPECT_TRUE(Whole());
}

TEST_F(GenerationTest, RecordsAlreadyInPlaceAreStampedButNotRenamed) {
  ASSERT_EQ(PublishGeneration(kAllFileFile, kMetaIndexTempFile, kIndexDataTempFile), 0);
  EXPECT_EQ(dir_.Read(kAllFileFile), "old records");
  EXPECT_EQ(dir_.Read(kIndexDataFile), "new postings");
  EXPECT_TRUE(Whole());
}

TEST_F(GenerationTest, PinyinListsJoinTheGenerationOrAnEarlierRunsAreRemoved) {
  dir_.Write(kPinyinIndexFile, "old pinyin");
  dir_.Write(kPinyinIndexTempFile, "new pinyin");
  ASSERT_EQ(PublishGeneration(kAllFileTempFile, kMetaIndexTempFile, kIndexDataTempFile,
                              kPinyinIndexTempFile),
            0);
  EXPECT_EQ(dir_.Read(kPinyinIndexFile), "new pinyin");
  EXPECT_FALSE(dir_.Exists(kPinyinIndexTempFile));
  EXPECT_TRUE(IsSameGeneration(StatOf(kPinyinIndexFile), StatOf(kIndexDataFile)));

  // The next run has none: the file of this one must not pass for the next one's.
  dir_.Write(kMetaIndexTempFile, "newer directory");
  dir_.Write(kIndexDataTempFile, "newer postings");
  ASSERT_EQ(PublishGeneration(kAllFileFile, kMetaIndexTempFile, kIndexDataTempFile), 0);
  EXPECT_FALSE(dir_.Exists(kPinyinIndexFile));
}

TEST_F(GenerationTest, PinyinListsOfAnotherStampAreNotOfTheGeneration) {
  dir_.Write(kPinyinIndexFile, "pinyin");
  SetTime(kIndexDataFile, At(100, 5));
  SetTime(kPinyinIndexFile, At(100, 5));
  EXPECT_TRUE(IsSameGeneration(StatOf(kPinyinIndexFile), StatOf(kIndexDataFile)));
  SetTime(kPinyinIndexFile, At(100, 6));
  EXPECT_FALSE(IsSameGeneration(StatOf(kPinyinIndexFile), StatOf(kIndexDataFile)));
}

TEST_F(GenerationTest, AMissingFileFailsBeforeAnythingIsRenamed) {
  std::remove(kMetaIndexTempFile);
  EXPECT_EQ(PublishGeneration(kAllFileTempFile, kMetaIndexTempFile, kIndexDataTempFile), -2);
  EXPECT_EQ(dir_.Read(kIndexDataFile), "old postings");
  EXPECT_EQ(dir_.Read(kAllFileFile), "old records");
}

TEST_F(GenerationTest, WholeWhenTheStampsAgreeOrTheRecordsWereMarkedLater) {
  struct Case {
    struct timespec records, meta, data;
    bool whole;
  };
  const Case cases[] = {
      {At(100, 5), At(100, 5), At(100, 5), true},
      {At(100, 6), At(100, 5), At(100, 5), true},  // a record withdrawn after the run
      {At(101, 0), At(100, 5), At(100, 5), true},
      {At(100, 4), At(100, 5), At(100, 5), false},  // records of an earlier run
      {At(100, 5), At(100, 5), At(100, 6), false},  // postings of a later run
      {At(200, 0), At(100, 5), At(99, 5), false},
  };
  for (const Case& c : cases) {
    SetTime(kAllFileFile, c.records);
    SetTime(kMetaIndexFile, c.meta);
    SetTime(kIndexDataFile, c.data);
    EXPECT_EQ(Whole(), c.whole) << c.records.tv_sec << "." << c.records.tv_nsec;
  }
}

TEST(FileIdentityTest, TellsFilesApart) {
  TempDir dir;
  dir.Write("a", "1");
  dir.Write("b", "1");
  EXPECT_EQ(IdentityOf(StatOf((dir / "a").c_str())), IdentityOf(StatOf((dir / "a").c_str())));
  EXPECT_FALSE(IdentityOf(StatOf((dir / "a").c_str())) == IdentityOf(StatOf((dir / "b").c_str())));
}

}  // namespace
}  // namespace jollix
