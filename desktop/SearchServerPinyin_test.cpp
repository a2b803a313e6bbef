// Pinyin name search through the engine, over an index built from a tree in a temp folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "common/TextFile.h"
#include "desktop/SearchServer.h"
#include "testing/FakePorts.h"
#include "testing/IndexedInstall.h"
#include "testing/Process.h"
#include "testing/TempDir.h"

namespace jollix {
namespace {

using testing::IndexedInstall;
using testing::ScopedCurrentDir;

const char* const kFileTypes = testing::kThreeFileTypes;

class PinyinSearch : public ::testing::Test {
 protected:
  PinyinSearch() : install_(kFileTypes) {
    std::string table;
    EXPECT_TRUE(ReadWholeFile((testing::BuildHome() + "/index/Pinyin.dat").c_str(), &table));
    install_.WriteInstallFile("index/Pinyin.dat", table);
    for (const char* name : {"年度报告.doc", "报表告示.doc", "bg.txt", "重庆.jpg", "音乐.txt",
                             "2024年度report报告.doc", "other.txt"}) {
      install_.WriteFile(name, "x");
    }
    install_.MakeFolder("银行");
    install_.Index();
    ScopedCurrentDir cd(install_.Install());
    engine_ = std::make_unique<SearchServer>(prompter_, icons_);
  }
  // The names of the rows a search finds, sorted; empty for the no-result row.
  std::vector<std::string> Names(const std::string& words, bool pinyin) {
    engine_->Query = QueryRecord();
    engine_->Query.NameWords = words;
    engine_->Query.Pinyin = pinyin;
    ScopedCurrentDir cd(install_.Install());
    EXPECT_EQ(engine_->Search(page_), 0);
    std::vector<std::string> names;
    for (const auto& row : page_.rows) {
      if (row.cells[0] != "搜索完毕，没有结果可显示") names.push_back(row.cells[0]);
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  IndexedInstall install_;
  testing::FakePrompter prompter_;
  testing::FakeIconList icons_;
  testing::FakeResultPage page_;
  std::unique_ptr<SearchServer> engine_;
};

using NameList = std::vector<std::string>;

TEST_F(PinyinSearch, WordsMatchAsTypedOrAsPinyinOnlyWhenPinyinIsOn) {
  struct Case {
    const char* words;
    NameList on, off;
  } cases[] = {
      {"ndbg", {"年度报告.doc"}, {}},
      {"bg", {"2024年度report报告.doc", "bg.txt", "报表告示.doc", "年度报告.doc"}, {"bg.txt"}},
      {"BaoGao", {"2024年度report报告.doc", "年度报告.doc"}, {}},
      {"doc ndbg", {"年度报告.doc"}, {}},           // a literal word narrows, pinyin tests
      {"2024 nd", {"2024年度report报告.doc"}, {}},  // digits are no pinyin word
      {"report bg", {"2024年度report报告.doc"}, {}},
      {"chongqing", {"重庆.jpg"}, {}},
      {"yinyue", {"音乐.txt"}, {}},
      {"yinhang", {"银行"}, {}},  // folder records too
      {"年度",
       {"2024年度report报告.doc", "年度报告.doc"},  // Chinese words as before
       {"2024年度report报告.doc", "年度报告.doc"}},
      {"other", {"other.txt"}, {"other.txt"}},
      {"xyz", {}, {}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Names(c.words, true), c.on) << c.words << " on";
    EXPECT_EQ(Names(c.words, false), c.off) << c.words << " off";
  }
}

}  // namespace
}  // namespace jollix
