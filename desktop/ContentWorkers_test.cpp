#include "desktop/ContentWorkers.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "common/Gbk.h"
#include "testing/TempDir.h"

namespace jollix {
namespace {

using testing::TempDir;

std::string IdentityTable() {
  std::string t(2 * kTranslationEntries, '\0');
  for (int e = 0; e < kTranslationEntries; ++e) {
    t[2 * e] = static_cast<char>(e >> 8);
    t[2 * e + 1] = static_cast<char>(e & 0xFF);
  }
  return t;
}

class ContentWorkersTest : public ::testing::Test {
 protected:
  ContentWorkersTest() {
    matcher_.SetPattern("needle");
    EXPECT_EQ(matcher_.PrepareWith(IdentityTable()), 0);
  }
  std::vector<std::string> Paths(std::initializer_list<const char*> names) const {
    std::vector<std::string> paths;
    for (const char* name : names) paths.push_back(FileNameToGbk(dir_ / name));
    return paths;
  }
  // Every answer in order; -1 for a cancelled test.
  static std::vector<int> Answers(ContentWorkers& workers) {
    std::vector<int> answers;
    for (size_t i = 0; i < workers.size(); ++i) {
      std::optional<bool> answer = workers.Answer(i);
      answers.push_back(answer ? *answer : -1);
    }
    return answers;
  }

  TempDir dir_;
  ContentSearch matcher_;
  std::atomic<bool> cancel_{false};
};

TEST_F(ContentWorkersTest, AnswersComeInTheOrderOfTheFiles) {
  // The first file takes longest: a needle after three chunks.
  dir_.Write("big.txt", std::string(3 * kContentChunk, '-') + "needle");
  dir_.Write("yes.txt", "a needle");
  dir_.Write("no.txt", "a pin");
  for (int threads : {1, 2, 4}) {
    ContentWorkers workers(&matcher_, cancel_,
                           Paths({"big.txt", "no.txt", "yes.txt", "missing.txt", "yes.txt"}),
                           threads);
    EXPECT_EQ(Answers(workers), (std::vector<int>{1, 0, 1, 0, 1})) << threads;
  }
}

TEST_F(ContentWorkersTest, PipesDevicesAndFoldersAreNeverRead) {
  ASSERT_EQ(mkfifo((dir_ / "pipe.txt").c_str(), 0600), 0);
  ASSERT_EQ(symlink("/dev/zero", (dir_ / "zero.txt").c_str()), 0);
  dir_.Write("target.txt", "needle");
  ASSERT_EQ(symlink((dir_ / "target.txt").c_str(), (dir_ / "link.txt").c_str()), 0);
  dir_.MakeDir("folder.txt");
  ContentWorkers workers(&matcher_, cancel_,
                         Paths({"pipe.txt", "zero.txt", "folder.txt", "link.txt"}), 2);
  // A link is followed to a regular file only.
  EXPECT_EQ(Answers(workers), (std::vector<int>{0, 0, 0, 1}));
}

TEST_F(ContentWorkersTest, NoFileIsTestedAfterACancel) {
  dir_.Write("yes.txt", "needle");
  cancel_ = true;
  std::vector<std::string> paths(100, FileNameToGbk(dir_ / "yes.txt"));
  ContentWorkers workers(&matcher_, cancel_, paths, 2);
  EXPECT_EQ(Answers(workers), std::vector<int>(100, -1));
}

TEST_F(ContentWorkersTest, WithoutWordsTheAnswerIsWhetherTheEntryExists) {
  dir_.Write("file.txt", "");
  dir_.MakeDir("folder");
  ASSERT_EQ(symlink("nowhere", (dir_ / "dangling").c_str()), 0);
  ContentWorkers workers(nullptr, cancel_, Paths({"file.txt", "missing.txt", "folder", "dangling"}),
                         2);
  EXPECT_EQ(Answers(workers), (std::vector<int>{1, 0, 1, 1}));
}

TEST(ContentWorkerCountTest, IsTheCoreCount) {
  EXPECT_EQ(ContentWorkerCount(),
            static_cast<int>(std::max(1u, std::thread::hardware_concurrency())));
}

}  // namespace
}  // namespace jollix
