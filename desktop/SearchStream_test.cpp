// The engine's streamed search (batches of rows, files tested relative to their folder) against a
// plain reference that tests every candidate's record line first and each full path with lstat,
// as the engine did before it streamed: the same rows, in the same order, with the same counts,
// for every batch size and for a cancel at every row.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>

#include "common/FileRecord.h"
#include "common/FileTypeFile.h"
#include "common/Gbk.h"
#include "common/IndexLayout.h"
#include "common/LocalTime.h"
#include "desktop/SearchServer.h"
#include "testing/FakePorts.h"
#include "testing/IndexedInstall.h"
#include "testing/ScopedEnv.h"

namespace jollix {
namespace {

using testing::FakePrompter;
using testing::FakeResultPage;
using testing::IndexedInstall;
using testing::ScopedCurrentDir;

const char* const kFileTypes = testing::kThreeFileTypes;

// Sets the engine's cancel flag when row number Row (0-based) is added; -1 never.
class CancelAtRow : public IconList {
 public:
  std::atomic<bool>* Cancel = nullptr;
  int Row = -1;
  int AddIconOf(const char*) override {
    if (added_++ == Row) *Cancel = true;
    return 0;
  }

 private:
  int added_ = 0;
};

struct Expected {
  std::vector<std::vector<std::string>> Rows;
  int Status = 0;
  int Count = 0;
};

std::string Lowered(std::string text) {
  for (char& c : text) c = static_cast<char>(LowerByte(static_cast<unsigned char>(c)));
  return text;
}

bool Exists(const std::string& gbk_path) {
  struct stat st;
  const std::string converted = FileNameFromGbk(gbk_path);
  return lstat(converted.c_str(), &st) == 0 || lstat(gbk_path.c_str(), &st) == 0;
}

// The plain search: every candidate's record tests (one name word, all types), then each full
// path's existence; a cancel at row cancel_row is answered as the engine defines it.
Expected Reference(const SearchServer& engine, const std::string& all_file, const std::string& word,
                   int cancel_row) {
  struct Passed {
    size_t Candidate;
    uint32_t Offset;
    std::vector<std::string> Cells;
    std::string Path;
  };
  std::vector<Passed> passed;
  const std::vector<uint32_t> candidates = engine.FindCandidates();
  for (size_t i = 0; i < candidates.size(); ++i) {
    const std::string line =
        all_file.substr(candidates[i], all_file.find('\n', candidates[i]) - candidates[i]);
    if (line[0] != kFileRecord && line[0] != kFolderRecord) continue;
    const size_t tab1 = line.find('\t'), tab2 = line.find('\t', tab1 + 1);
    const std::string name = line.substr(1, tab1 - 1),
                      folder = line.substr(tab1 + 1, tab2 - tab1 - 1);
    if (Lowered(name).find(Lowered(word)) == std::string::npos) continue;
    unsigned size = 0;
    int time = 0;
    EXPECT_EQ(std::sscanf(line.c_str() + tab2 + 1, "%u\t%d", &size, &time), 2);
    const size_t dot = name.rfind('.');
    std::optional<int> type;
    if (dot != std::string::npos && dot >= 1) type = engine.TypeNumber(name.substr(dot + 1));
    char size_text[32], type_text[16];
    std::snprintf(size_text, sizeof size_text, "%12u", size);
    std::snprintf(type_text, sizeof type_text, "%d", type.value_or(kUnknownType));
    const std::string description = line[0] == kFolderRecord ? "文件夹"
                                    : type                   ? engine.Description(*type)
                                                             : "未知文件类型";
    passed.push_back({i,
                      candidates[i],
                      {name, folder, size_text, description, FormatLocalTime(time), type_text},
                      folder + name});
  }
  Expected e;
  for (const Passed& p : passed) {
    if (static_cast<int>(e.Rows.size()) > cancel_row && cancel_row >= 0) {
      e.Status = -1;
      e.Count = static_cast<int>(p.Candidate);
      return e;
    }
    if (!Exists(p.Path)) continue;
    e.Rows.push_back(p.Cells);
    e.Rows.back().push_back(std::to_string(p.Offset));
  }
  e.Count = static_cast<int>(e.Rows.size());
  if (e.Rows.empty()) e.Rows.push_back({"搜索完毕，没有结果可显示", "", "", "", "", "", "-1"});
  return e;
}

class SearchStreamTest : public ::testing::Test {
 protected:
  SearchStreamTest() : install_(kFileTypes) {}

  // Folders whose names share prefixes, names in GBK that are raw bytes on disk and names that
  // are not GBK at all, files among folders; then, after the index run, files and a folder
  // that vanish before the search.
  void MakeTree() {
    for (const char* folder : {"ab", "ab c", "abc", "ab/c", "ab/ca", "文档", "文档a"}) {
      for (const char* name : {"a1.txt", "A2.doc", "b3.jpg", "a4", "照片a.txt", "gone a.txt"}) {
        install_.WriteFile(std::string(folder) + "/" + name, "x");
      }
    }
    install_.WriteFile("a\xFF.txt", "not GBK");  // kept raw in the records
    namespace fs = std::filesystem;
    const std::string raw_folder = install_.TreeDisk("") +
                                   "/\xC4\xE3"
                                   "a";  // GBK bytes on disk
    fs::create_directories(raw_folder);
    for (const char* name : {"/\xC4\xE3"
                             "a.txt",
                             "/a5.txt",
                             "/\xFF"
                             "a.doc"}) {
      std::ofstream(raw_folder + name) << "raw";
    }
    // Files alone in their folders among the candidates: a raw GBK name, a name that is not
    // GBK, a name in a folder whose name is raw GBK bytes, and one that vanishes.
    for (const std::string_view lone : {"lone1/\xC4\xE3"
                                        "a.txt",
                                        "lone2/a\xFF.txt",
                                        "\xC4\xE3"
                                        "b/b a.txt",
                                        "lone3/gone a.txt"}) {
      fs::create_directories(install_.TreeDisk("") + "/" +
                             std::string(lone.substr(0, lone.find('/'))));
      std::ofstream(install_.TreeDisk("") + "/" + std::string(lone)) << "lone";
    }
    install_.Index();
    fs::remove(install_.TreeDisk("") + "/lone3/gone a.txt");
    for (const char* folder : {"ab", "abc", "文档a"}) {
      fs::remove(install_.TreeDisk(std::string(folder) + "/gone a.txt"));
    }
    fs::remove(raw_folder + "/a5.txt");
    fs::remove_all(install_.TreeDisk("ab/ca"));
  }

  IndexedInstall install_;
  FakePrompter prompter_;
};

TEST_F(SearchStreamTest, StreamedRowsAndCountsEqualThoseOfTestingEveryRecordFirst) {
  MakeTree();
  const std::string all_file = install_.AllFile();
  ScopedCurrentDir cd(install_.Install());
  CancelAtRow icons;
  SearchServer engine(prompter_, icons);
  ASSERT_FALSE(engine.IndexUnavailable());
  icons.Cancel = &engine.Cancel;
  // The files tested in batches of system calls, and one by one (once through, and with one
  // cancel: how rows are batched and cancels answered does not depend on how files are tested).
  for (const std::string batches : {"1", "0"}) {
    testing::ScopedEnv env("JOLLIX_IO_URING", batches);
    for (const char* word : {"A", "照片"}) {
      engine.Query.NameWords = word;
      const int rows = static_cast<int>(Reference(engine, all_file, word, -1).Rows.size());
      for (size_t batch : {2, 8192}) {
        if (batches == "0" && batch == 2) continue;
        // No cancel, then a cancel at the first rows (at batch ends), and at the last rows.
        for (int cancel_row : {-1, 0, 1, 2, rows / 2, rows - 1}) {
          if (batches == "0" && cancel_row != -1 && cancel_row != rows / 2) continue;
          icons = CancelAtRow();
          icons.Cancel = &engine.Cancel;
          icons.Row = cancel_row;
          engine.Cancel = false;
          engine.BatchRows = batch;
          const Expected want = Reference(engine, all_file, word, cancel_row);
          FakeResultPage page;
          const int status = engine.Search(page);
          SCOPED_TRACE(std::string(word) + " batch " + std::to_string(batch) + " cancel at " +
                       std::to_string(cancel_row) + " batches " + batches);
          ASSERT_EQ(status, want.Status);
          ASSERT_EQ(engine.Count(), want.Count);
          std::vector<std::vector<std::string>> got;
          for (const FakeResultPage::Row& row : page.rows) {
            got.push_back(row.cells);
            got.back().resize(6);
            got.back().push_back(std::to_string(row.data));
          }
          ASSERT_EQ(got, want.Rows);
        }
      }
    }
  }
}

}  // namespace
}  // namespace jollix
