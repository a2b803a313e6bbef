// The query engine's content searches on this platform (UTF-8 files, files that must not be
// read, cancels inside a long file) and its index generations.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <future>
#include <thread>

#include "common/IndexGeneration.h"
#include "common/IndexLayout.h"
#include "common/TextFile.h"
#include "desktop/ContentSearch.h"
#include "desktop/QueryRules.h"
#include "desktop/SearchServer.h"
#include "testing/FakePorts.h"
#include "testing/IndexedInstall.h"
#include "testing/TestInstallation.h"

namespace jollix {
namespace {

using testing::FakeIconList;
using testing::FakePrompter;
using testing::FakeResultPage;
using testing::IndexedInstall;
using testing::ScopedCurrentDir;
using namespace std::chrono_literals;

const char* const kFileTypes = testing::kThreeFileTypes;

std::string U8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

std::vector<std::string> Sorted(std::vector<std::string> v) {
  std::sort(v.begin(), v.end());
  return v;
}

// Bytes read by this process so far (page cache included).
int64_t BytesRead() {
  std::ifstream io("/proc/self/io");
  std::string key;
  int64_t value = 0;
  while (io >> key >> value) {
    if (key == "rchar:") return value;
  }
  return 0;
}

class EngineContentTest : public ::testing::Test {
 protected:
  EngineContentTest() : install_(kFileTypes) {
    std::string table;
    EXPECT_TRUE(ReadWholeFile((testing::BuildHome() + "/index/Translation.dat").c_str(), &table));
    install_.WriteInstallFile("index/Translation.dat", table);
  }
  SearchServer& Engine() {
    if (!engine_) {
      ScopedCurrentDir cd(install_.Install());
      engine_ = std::make_unique<SearchServer>(prompter_, icons_);
      EXPECT_FALSE(engine_->IndexUnavailable());
    }
    return *engine_;
  }
  int Run(const QueryRecord& query) {
    Engine().Query = query;
    ScopedCurrentDir cd(install_.Install());
    return Engine().Search(page_);
  }
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const auto& row : page_.rows) names.push_back(row.cells[0]);
    return names;
  }
  static QueryRecord Content(const std::string& words) {
    QueryRecord q;
    q.ContentWords = words;
    return q;
  }

  IndexedInstall install_;
  FakePrompter prompter_;
  FakeIconList icons_;
  FakeResultPage page_;
  std::unique_ptr<SearchServer> engine_;
};

TEST_F(EngineContentTest, FindsTheWordsInUtf8FilesInBothForms) {
  install_.WriteFile("utf8.txt", U8(u8"今年的报告已经写完"));
  install_.WriteFile("utf8-translated.txt", U8(u8"今年的報告"));
  install_.WriteFile("gbk.txt", "今年的报告");
  install_.WriteFile("gbk-translated.txt", "今年的報告");
  install_.WriteFile("neither.txt", U8(u8"报表和告示") + "报表");
  install_.WriteFile("full-width.txt", U8(u8"见ａｂｃ"));
  install_.WriteFile("ascii.txt", "xabcx");
  install_.WriteFile("spaced.txt", "ab c");
  install_.Index();
  ASSERT_EQ(Run(Content("报告")), 0);
  EXPECT_EQ(Sorted(Names()),
            Sorted({"utf8.txt", "utf8-translated.txt", "gbk.txt", "gbk-translated.txt"}));
  ASSERT_EQ(Run(Content("abc")), 0);
  EXPECT_EQ(Sorted(Names()), Sorted({"full-width.txt", "ascii.txt"}));
}

TEST_F(EngineContentTest, RowsFollowTheCandidateOrderWhateverOrderTheFilesFinishIn) {
  // The first candidate (type txt) is the slowest to read: its words lie after 4 chunks.
  install_.WriteFile("slow.txt", std::string(4 * kContentChunk, '-') + "合同");
  for (int i = 0; i < 40; ++i) install_.WriteFile("f" + std::to_string(i) + ".doc", "合同");
  install_.Index();
  Engine().Query = Content("合同");
  std::vector<uint32_t> candidates = Engine().FindCandidates();
  ASSERT_EQ(Run(Content("合同")), 0);
  ASSERT_EQ(page_.rows.size(), 41u);
  EXPECT_EQ(page_.rows[0].cells[0], "slow.txt");
  for (size_t i = 0; i < candidates.size(); ++i) EXPECT_EQ(page_.rows[i].data, candidates[i]);
  EXPECT_EQ(Engine().Count(), 41);
}

TEST_F(EngineContentTest, PipesAndDevicesAmongTheCandidatesAreNeverRead) {
  install_.WriteFile("a.txt", "合同");
  ASSERT_EQ(mkfifo(install_.TreeDisk("pipe.txt").c_str(), 0600), 0);
  ASSERT_EQ(symlink("/dev/zero", install_.TreeDisk("zero.txt").c_str()), 0);
  install_.WriteFile("b.doc", "合同");
  install_.Index();
  Engine();
  auto result = std::make_shared<std::promise<int>>();
  std::future<int> done = result->get_future();
  std::thread([this, result] { result->set_value(Run(Content("合同"))); }).detach();
  if (done.wait_for(20s) != std::future_status::ready) {
    ADD_FAILURE() << "the search hangs";
    std::_Exit(1);
  }
  EXPECT_EQ(done.get(), 0);
  EXPECT_EQ(Sorted(Names()), Sorted({"a.txt", "b.doc"}));
}

// Cancels the search when the first row is added.
class CancelOnFirstRow : public IconList {
 public:
  std::atomic<bool>* Cancel = nullptr;
  int AddIconOf(const char*) override {
    *Cancel = true;
    return 0;
  }
};

TEST_F(EngineContentTest, ACancelStopsInsideALongFileWithinOneChunk) {
  install_.WriteFile("a.txt", "合同");          // txt: the first candidate
  install_.SizedFile("big.doc", 200ull << 20);  // sparse, 200 MiB of zeros
  install_.WriteFile("c.doc", "合同");
  install_.Index();
  ScopedCurrentDir cd(install_.Install());
  CancelOnFirstRow icons;
  SearchServer engine(prompter_, icons);
  icons.Cancel = &engine.Cancel;
  engine.Query = Content("合同");
  const int64_t before = BytesRead();
  EXPECT_EQ(engine.Search(page_), -1);
  // The big file was left after the chunk it was reading (at most a couple were read).
  EXPECT_LT(BytesRead() - before, int64_t{40} << 20);
  EXPECT_EQ(Names(), (std::vector<std::string>{"a.txt"}));
  EXPECT_EQ(engine.Count(), 1);  // the candidates before the one still being read
}

// ---- Generations ----

class EngineGenerationTest : public EngineContentTest {
 protected:
  void Link(const char* name, const std::string& to) {
    std::filesystem::remove(install_.Install() + "/" + to);
    ASSERT_EQ(
        link((install_.Install() + "/" + name).c_str(), (install_.Install() + "/" + to).c_str()),
        0);
  }
  void Rename(const std::string& from, const char* to) {
    ASSERT_EQ(std::rename((install_.Install() + "/" + from).c_str(),
                          (install_.Install() + "/" + to).c_str()),
              0);
  }
  // Whether every row's name is that of the record line at its offset in the record lines.
  static bool RowsMatch(const FakeResultPage& page, const std::string& records) {
    for (const auto& row : page.rows) {
      if (row.data < 0 || static_cast<size_t>(row.data) >= records.size()) return false;
      if (records.compare(static_cast<size_t>(row.data) + 1, row.cells[0].size() + 1,
                          row.cells[0] + "\t") != 0) {
        return false;
      }
    }
    return true;
  }
  void WriteNewFiles() {
    // Names that come before the old ones move every old record's offset.
    for (int i = 0; i < 30; ++i) install_.WriteFile("sub/new" + std::to_string(i) + "x.txt", "x");
  }
  static QueryRecord Words(const std::string& words) {
    QueryRecord q;
    q.NameWords = words;
    return q;
  }
};

TEST_F(EngineGenerationTest, ASearchAfterAnIndexRunReadsTheNewGenerationWhole) {
  for (int i = 0; i < 20; ++i) install_.WriteFile("old" + std::to_string(i) + "x.txt", "x");
  install_.Index();
  ASSERT_EQ(Run(Words("x.txt")), 0);
  EXPECT_EQ(page_.rows.size(), 20u);
  WriteNewFiles();
  install_.Index();
  ASSERT_EQ(Run(Words("x.txt")), 0);
  EXPECT_TRUE(RowsMatch(page_, install_.AllFile()));
  EXPECT_EQ(page_.rows.size(), 50u);
}

TEST_F(EngineGenerationTest, AGenerationHalfInPlaceIsNotLoadedUntilItIsWhole) {
  for (int i = 0; i < 20; ++i) install_.WriteFile("old" + std::to_string(i) + "x.txt", "x");
  install_.Index();
  Engine();
  Link(kAllFileFile, "old-records");
  const std::string old_records = install_.AllFile();
  WriteNewFiles();
  install_.Index();
  Link(kAllFileFile, "new-records");
  // As while a run renames its files: the new lists are in place, the old record lines still.
  Rename("old-records", kAllFileFile);
  ASSERT_EQ(Run(Words("x.txt")), 0);
  EXPECT_EQ(page_.rows.size(), 20u);
  EXPECT_TRUE(RowsMatch(page_, old_records));
  // The run's last rename: the next search takes the new generation.
  Rename("new-records", kAllFileFile);
  ASSERT_EQ(Run(Words("x.txt")), 0);
  EXPECT_EQ(page_.rows.size(), 50u);
  EXPECT_TRUE(RowsMatch(page_, install_.AllFile()));
}

// An engine that starts while a run renames its files (the process that renames them held up
// between two renames) waits for the last one rather than finding the index damaged.
TEST_F(EngineGenerationTest, AnEngineStartedAmidTheRenamesLoadsTheGenerationOnceWhole) {
  for (int i = 0; i < 20; ++i) install_.WriteFile("old" + std::to_string(i) + "x.txt", "x");
  install_.Index();
  Link(kAllFileFile, "old-records");
  WriteNewFiles();
  install_.Index();
  Link(kAllFileFile, "new-records");
  Rename("old-records", kAllFileFile);
  std::thread last_rename([this] {
    std::this_thread::sleep_for(std::chrono::milliseconds(60));
    Rename("new-records", kAllFileFile);
  });
  ASSERT_EQ(Run(Words("x.txt")), 0);
  last_rename.join();
  EXPECT_EQ(page_.rows.size(), 50u);
  EXPECT_TRUE(RowsMatch(page_, install_.AllFile()));
}

TEST_F(EngineGenerationTest, RecordsWithdrawnInPlaceKeepTheGenerationWhole) {
  install_.WriteFile("keep.txt", "x");
  install_.WriteFile("drop.txt", "x");
  install_.Index();
  Engine();
  WriteNewFiles();
  install_.Index();
  // The result list's file action marks a line of the new generation before any search.
  std::string all = install_.AllFile();
  all[install_.RecordOffset('_', "drop.txt")] = 'X';
  {
    std::FILE* f = std::fopen((install_.Install() + "/" + kAllFileFile).c_str(), "rb+");
    ASSERT_NE(f, nullptr);
    std::fwrite(all.data(), 1, all.size(), f);
    std::fclose(f);
  }
  ASSERT_EQ(Run(Words(".txt")), 0);
  EXPECT_EQ(page_.rows.size(), 31u);
  EXPECT_TRUE(RowsMatch(page_, all));
}

TEST_F(EngineGenerationTest, ATabSearchAfterTheTypesWereRenumberedUsesTheNewRunsNumbers) {
  for (const char* name : {"a.txt", "b.doc", "c.jpg", "d.md"}) install_.WriteFile(name, "x");
  install_.Index();
  Engine();
  // The settings dialog put jpg first, added md and saved, numbering the rows anew; then an
  // index run numbered the type lists by it.
  install_.WriteInstallFile("index/FileType.txt",
                            "jpg\t1\t2\tJPEG图片\r\nmd\t2\t1\tMarkdown文档\r\n"
                            "txt\t3\t1\t文本文件\r\ndoc\t4\t1\tWord文档\r\n");
  install_.Index();
  // The text tab as the form hands it over, with doc unchecked.
  ScopedCurrentDir cd(install_.Install());
  FileSearchFields fields;
  fields.Class = kTextClass;
  fields.TimeTo = INT32_MAX;
  for (const FileTypeLine& row : TabFileTypes(kTextClass, prompter_)) {
    if (std::string(row.Extension) != "doc") fields.CheckedExtensions.push_back(row.Extension);
  }
  ASSERT_EQ(HandOverQuery(fields, Engine(), prompter_), QueryVerdict::kAccepted);
  ASSERT_EQ(Engine().Search(page_), 0);
  EXPECT_EQ(Sorted(Names()), Sorted({"a.txt", "d.md"}));
  for (const auto& row : page_.rows) {
    EXPECT_EQ(row.cells[3], row.cells[0] == "d.md" ? "Markdown文档" : "文本文件");
  }
}

}  // namespace
}  // namespace jollix
