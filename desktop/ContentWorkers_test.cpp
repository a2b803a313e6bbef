#include "desktop/ContentWorkers.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "common/Gbk.h"
#include "common/IoBatch.h"
#include "documents/TextCache.h"
#include "testing/DocumentFiles.h"
#include "testing/ScopedEnv.h"
#include "testing/TempDir.h"

namespace jollix {
namespace {

using testing::ScopedEnv;
using testing::TempDir;

std::string IdentityTable() {
  std::string t(2 * kTranslationEntries, '\0');
  for (int e = 0; e < kTranslationEntries; ++e) {
    t[2 * e] = static_cast<char>(e >> 8);
    t[2 * e + 1] = static_cast<char>(e & 0xFF);
  }
  return t;
}

// Each case runs with the system calls batched (where the kernel offers io_uring) and without.
class ContentWorkersTest : public ::testing::TestWithParam<bool> {
 protected:
  ContentWorkersTest() : batches_("JOLLIX_IO_URING", GetParam() ? "1" : "0") {
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

  // Whether the workers' files went through batches exactly when this case batches.
  static void ExpectBatched(const ContentWorkers& workers) {
    if (GetParam() && !IoBatch::Create(4)) return;  // this kernel offers none
    EXPECT_EQ(workers.BatchedFiles() > 0, GetParam());
  }

  ScopedEnv batches_;
  TempDir dir_;
  ContentSearch matcher_;
  std::atomic<bool> cancel_{false};
};

TEST_P(ContentWorkersTest, AnswersComeInTheOrderOfTheFiles) {
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

TEST_P(ContentWorkersTest, PipesDevicesAndFoldersAreNeverRead) {
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

TEST_P(ContentWorkersTest, NoFileIsTestedAfterACancel) {
  dir_.Write("yes.txt", "needle");
  cancel_ = true;
  std::vector<std::string> paths(100, FileNameToGbk(dir_ / "yes.txt"));
  ContentWorkers workers(&matcher_, cancel_, paths, 2);
  EXPECT_EQ(Answers(workers), std::vector<int>(100, -1));
}

TEST_P(ContentWorkersTest, WithoutWordsTheAnswerIsWhetherTheEntryExists) {
  dir_.Write("file.txt", "");
  dir_.MakeDir("folder");
  ASSERT_EQ(symlink("nowhere", (dir_ / "dangling").c_str()), 0);
  ContentWorkers workers(nullptr, cancel_, Paths({"file.txt", "missing.txt", "folder", "dangling"}),
                         2);
  EXPECT_EQ(Answers(workers), (std::vector<int>{1, 0, 1, 1}));
}

// Runs of files as a search meets them: many small files of one folder, read in batches; files
// larger than a batch's buffer, read in chunks; the word at a file's very end; files too short
// for it; files that vanished; and the existence test of entries alone, a few to a folder, and
// many to a folder. Each answer is the one a plain test of the file gives.
TEST_P(ContentWorkersTest, RunsOfSmallAndLargeFilesAreAnsweredFileByFile) {
  struct Case {
    std::string Name, Content;
    int Found;  // with the word; without it, every file written exists
  };
  std::vector<Case> cases;
  for (int i = 0; i < 40; ++i) {
    cases.push_back({"many/" + std::to_string(i) + ".txt",
                     i % 3 == 0 ? std::string(i * 100, 'x') + "needle" : std::string(i, 'y'),
                     i % 3 == 0 ? 1 : 0});
  }
  for (size_t size : {65535u, 65536u, 65537u, 200000u}) {
    cases.push_back({"sizes/end" + std::to_string(size), std::string(size - 6, '-') + "needle", 1});
    cases.push_back({"sizes/none" + std::to_string(size), std::string(size, '-'), 0});
  }
  cases.push_back({"sizes/short", "needl", 0});
  cases.push_back({"sizes/empty", "", 0});
  for (int i = 0; i < 6; ++i) {
    cases.push_back({"deep/" + std::string(i + 1, 'd') + "/alone.txt", "a needle", 1});
    cases.push_back({"few/" + std::to_string(i / 3) + "/" + std::to_string(i), "needle", 1});
  }
  std::vector<std::string> paths;
  std::vector<int> with_word, exists;
  for (size_t i = 0; i < cases.size(); ++i) {
    dir_.Write(cases[i].Name, cases[i].Content);
    paths.push_back(FileNameToGbk(dir_ / cases[i].Name));
    with_word.push_back(cases[i].Found);
    exists.push_back(1);
    if (i % 7 == 3) {  // a file missing beside each seventh
      paths.push_back(FileNameToGbk(dir_ / (cases[i].Name + ".gone")));
      with_word.push_back(0);
      exists.push_back(0);
    }
  }
  for (int threads : {1, 2}) {
    ContentWorkers workers(&matcher_, cancel_, paths, threads);
    EXPECT_EQ(Answers(workers), with_word) << threads;
    ExpectBatched(workers);
    ContentWorkers existence(nullptr, cancel_, paths, threads);
    EXPECT_EQ(Answers(existence), exists) << threads;
    ExpectBatched(existence);
  }
}

INSTANTIATE_TEST_SUITE_P(BatchedOrNot, ContentWorkersTest, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& info) {
                           return info.param ? "Batched" : "OneByOne";
                         });

TEST(ContentWorkersDocumentTest, DocumentsAreSearchedInTheirText) {
  using testing::U8;
  TempDir dir;
  ScopedEnv cache_home("XDG_CACHE_HOME", dir / "cache");
  const std::string word =
      R"(<w:document xmlns:w="http://schemas.openxmlformats.org/wordprocessingml/2006/main">)";
  dir.Write("docs/split.docx",
            testing::ZipBytes({{"word/document.xml",
                                word + U8(u8"<w:p><w:r><w:t>签订合</w:t></w:r><w:r><w:t>同书</w:t>"
                                          u8"</w:r></w:p></w:document>")}}));
  dir.Write("docs/other.docx",
            testing::ZipBytes({{"word/document.xml", word + U8(u8"<w:p><w:r><w:t>合约</w:t></w:r>"
                                                               u8"</w:p></w:document>")}}));
  dir.Write("docs/cid.PDF", testing::CidFontPdf("5408540C"));
  dir.Write("docs/gbk.rtf", "{\\rtf1\\ansi\\ansicpg936 \\'ba\\'cf\\'cd\\'ac}");
  dir.Write("docs/plain.txt", U8(u8"合同"));
  dir.Write("docs/broken.pdf", "%PDF-1.4 broken");
  // A text file with a document's name is searched in its bytes; a damaged package is not.
  dir.Write("docs/notes.docx", U8(u8"合同"));
  dir.Write("docs/broken.docx", std::string("PK\x03\x04", 4) + U8(u8"合同"));
  ContentSearch matcher;
  matcher.SetPattern("合同");  // as typed: GBK
  ASSERT_EQ(matcher.PrepareWith(IdentityTable()), 0);
  std::vector<std::string> paths;
  for (const char* name : {"split.docx", "other.docx", "cid.PDF", "gbk.rtf", "plain.txt",
                           "broken.pdf", "notes.docx", "broken.docx"}) {
    paths.push_back(FileNameToGbk(dir / "docs/" + name));
  }
  const std::vector<int> expected = {1, 0, 1, 1, 1, 0, 1, 0};
  std::atomic<bool> cancel{false};
  {
    ContentWorkers workers(&matcher, cancel, paths, 2);
    std::vector<int> answers;
    for (size_t i = 0; i < workers.size(); ++i) answers.push_back(workers.Answer(i).value_or(-1));
    EXPECT_EQ(answers, expected);
  }
  // The texts were kept in the user's cache, and the next search finds the same from there.
  const TextCache cache(TextCache::UserFolder());
  DocumentError error;
  std::string text;
  struct stat st;
  ASSERT_EQ(stat((dir / "docs/split.docx").c_str(), &st), 0);
  EXPECT_TRUE(cache.Find(
      {paths[0], st.st_size, st.st_mtim.tv_sec * 1000000000 + st.st_mtim.tv_nsec}, &error, &text));
  EXPECT_NE(text.find(U8(u8"合同")), std::string::npos);
  ContentWorkers again(&matcher, cancel, paths, 1);
  std::vector<int> answers;
  for (size_t i = 0; i < again.size(); ++i) answers.push_back(again.Answer(i).value_or(-1));
  EXPECT_EQ(answers, expected);
}

TEST(ContentWorkerCountTest, IsTheCoreCount) {
  EXPECT_EQ(ContentWorkerCount(),
            static_cast<int>(std::max(1u, std::thread::hardware_concurrency())));
}

}  // namespace
}  // namespace jollix
