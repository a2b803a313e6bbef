#include "desktop/SearchServer.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>

#include "common/IndexLayout.h"
#include "desktop/QueryRules.h"
#include "testing/FakePorts.h"
#include "testing/IndexedInstall.h"
#include "testing/TempDir.h"
#include "testing/TimeZone.h"

namespace jollix {
namespace {

using testing::FakeIconList;
using testing::FakePrompter;
using testing::FakeResultPage;
using testing::IndexedInstall;
using testing::ScopedCurrentDir;
using testing::TempDir;

const char kFileTypes[] =
    "txt\t1\t1\t文本文件\r\n"
    "doc\t2\t1\tWord文档\r\n"
    "jpg\t3\t2\tJPEG图片\r\n"
    "mp3\t4\t3\tMP3音乐\r\n"
    "exe\t5\t4\t可执行程序\r\n"
    "zip\t6\t5\t压缩文件\r\n";

// ---- The posting-list side, on plain data ----

TEST(QueryListNumbers, SelectPairsOverlappingAndCharactersAtWordEnds) {
  const int re = PairListNumber('r', 'e'), ea = PairListNumber('e', 'a'),
            ad = PairListNumber('a', 'd');
  EXPECT_EQ(QueryListNumbers("read"), (std::vector<int>{re, ea, ad}));
  // Blank selects nothing; a letter before it that no pair holds selects its character list.
  EXPECT_EQ(QueryListNumbers("re ad"), (std::vector<int>{re, ad}));
  EXPECT_EQ(QueryListNumbers("a b"), (std::vector<int>{'a', 'b'}));
  EXPECT_EQ(QueryListNumbers("报告"), (std::vector<int>{0xB1A8, 0xB8E6}));
  // A single byte before a double-byte character takes its character list; a list is named once.
  EXPECT_EQ(QueryListNumbers("a报a报"), (std::vector<int>{'a', 0xB1A8}));
  EXPECT_EQ(QueryListNumbers("x报"), (std::vector<int>{'x', 0xB1A8}));
  EXPECT_EQ(QueryListNumbers(".txt"),
            (std::vector<int>{PairListNumber('.', 't'), PairListNumber('t', 'x'),
                              PairListNumber('x', 't')}));
  EXPECT_TRUE(QueryListNumbers("  \x01").empty());
  // A lead byte at the very end pairs with 0.
  EXPECT_EQ(QueryListNumbers("\xB1"), (std::vector<int>{0xB100}));
}

TEST(QueryListNumbers, AByteThatSharesItsCodeStillSelectsItsCharacterList) {
  // '[' and '{' have one code, so the pair list of b[ also holds the names with b{.
  struct Case {
    const char* words;
    std::vector<int> lists;
  };
  const Case cases[] = {
      {"b[", {PairListNumber('b', '['), '['}}, {"b{", {PairListNumber('b', '{'), '{'}},
      {"a_", {PairListNumber('a', '_'), '_'}}, {"x@", {PairListNumber('x', '@'), '@'}},
      {"x`", {PairListNumber('x', '`'), '`'}}, {"x~", {PairListNumber('x', '~'), '~'}},
      {"ab", {PairListNumber('a', 'b')}},  // b's code is its own: the pair list says it all
      {"a9", {PairListNumber('a', '9')}},
  };
  for (const Case& c : cases) EXPECT_EQ(QueryListNumbers(c.words), c.lists) << c.words;
}

std::vector<uint32_t> Closed(std::vector<uint32_t> list) {
  list.push_back(kEndOfList);
  return list;
}

TEST(IntersectPostings, KeepsCommonPostingsInOrder) {
  EXPECT_EQ(IntersectPostings({Closed({0, 5, 9, 12}), Closed({5, 12, 40}), Closed({1, 5, 12})}),
            (std::vector<uint32_t>{5, 12}));
  EXPECT_EQ(IntersectPostings({Closed({0, 7})}), (std::vector<uint32_t>{0, 7}));
  EXPECT_TRUE(IntersectPostings({Closed({1, 2}), Closed({})}).empty());
  EXPECT_TRUE(IntersectPostings({}).empty());
}

TEST(IntersectPostings, AgreesWithAPlainReference) {
  std::mt19937 random(7);
  for (int round = 0; round < 200; ++round) {
    const int list_count = 1 + round % 5;
    std::vector<std::vector<uint32_t>> lists;
    std::set<uint32_t> expected;
    for (int l = 0; l < list_count; ++l) {
      std::set<uint32_t> values;
      const int size = random() % 60;
      for (int i = 0; i < size; ++i) values.insert(random() % 80);
      if (l == 0) {
        expected = values;
      } else {
        std::set<uint32_t> both;
        std::set_intersection(expected.begin(), expected.end(), values.begin(), values.end(),
                              std::inserter(both, both.begin()));
        expected = both;
      }
      lists.push_back(Closed({values.begin(), values.end()}));
    }
    EXPECT_EQ(IntersectPostings(lists), std::vector<uint32_t>(expected.begin(), expected.end()));
  }
}

// ---- Loading ----

class LoadingTest : public ::testing::Test {
 protected:
  LoadingTest() {
    dir_.Write("index/MetaIndex.ind", std::string(8 * kListCount, '\0'));
    dir_.Write("index/IndexData.ind", "");
    dir_.Write("index/FileType.txt", kFileTypes);
    // One run's stamp on both, as the indexer gives them.
    const struct timespec times[2] = {{1170000000, 0}, {1170000000, 0}};
    for (const char* name : {"index/MetaIndex.ind", "index/IndexData.ind"}) {
      EXPECT_EQ(utimensat(AT_FDCWD, (dir_ / name).c_str(), times, 0), 0);
    }
  }
  // Loads in the folder; returns what loading wrote on standard output.
  std::string Load(bool* unavailable) {
    ScopedCurrentDir cd(dir_.path());
    ::testing::internal::CaptureStdout();
    SearchServer engine(prompter_, icons_);
    *unavailable = engine.IndexUnavailable();
    return ::testing::internal::GetCapturedStdout();
  }

  TempDir dir_;
  FakePrompter prompter_;
  FakeIconList icons_;
};

TEST_F(LoadingTest, AnEmptyIndexLoadsWithTheTypeSettings) {
  ScopedCurrentDir cd(dir_.path());
  dir_.Write("index/FileType.txt",
             std::string("# comment\r\n") + kFileTypes +
                 "big\t2500\t1\t太大\r\npng\t7\t2\tPNG图片\r\n\r\nlate\t8\t1\t读不到\r\n");
  SearchServer engine(prompter_, icons_);
  ASSERT_FALSE(engine.IndexUnavailable());
  EXPECT_EQ(engine.TypeNumber("doc"), 2);
  EXPECT_EQ(engine.TypeNumber("big"), 2500);
  EXPECT_EQ(engine.TypeNumber("png"), 7);
  EXPECT_FALSE(engine.TypeNumber("late"));  // the empty line ended the list
  EXPECT_FALSE(engine.TypeNumber("DOC"));
  EXPECT_EQ(engine.Description(2), "Word文档");
  EXPECT_EQ(engine.Description(9), "");
  for (int column = 0; column < 5; ++column) {
    EXPECT_EQ(engine.ClassFlag(1, column), column == 0 || column == 1) << column;
    EXPECT_EQ(engine.ClassFlag(7, column), column == 0 || column == 2) << column;
    EXPECT_EQ(engine.ClassFlag(6, column), column == 0) << column;  // class 5 has no tab
  }
  EXPECT_TRUE(engine.ClassFlag(1999, 0));
  EXPECT_FALSE(engine.ClassFlag(2000, 0));
}

TEST_F(LoadingTest, MissingPostingsFileSaysSoAndLeavesTheIndexUnavailable) {
  std::filesystem::remove(dir_ / "index/IndexData.ind");
  bool unavailable = false;
  EXPECT_EQ(Load(&unavailable), "打开索引文件失败，请确保已经建立索引！\n");
  EXPECT_TRUE(unavailable);
}

TEST_F(LoadingTest, MissingOrShortDirectoryWritesTwoLines) {
  for (const std::string& meta : {std::string("-"), std::string(8 * kListCount - 1, '\0')}) {
    if (meta == "-") {
      std::filesystem::remove(dir_ / "index/MetaIndex.ind");
    } else {
      dir_.Write("index/MetaIndex.ind", meta);
    }
    bool unavailable = false;
    std::string out = Load(&unavailable);
    EXPECT_TRUE(unavailable);
    EXPECT_EQ(out.rfind("系统文件丢失，请与开发商联系! 异常点为文件 SearchServer 的第 ", 0), 0u)
        << out;
    EXPECT_NE(out.find(" 行\n导入索引信息失败，请与开发商联系！\n"), std::string::npos) << out;
  }
}

TEST_F(LoadingTest, MissingTypeSettingsLeaveTheIndexUnavailable) {
  std::filesystem::remove(dir_ / "index/FileType.txt");
  bool unavailable = false;
  EXPECT_EQ(Load(&unavailable), "");
  EXPECT_TRUE(unavailable);
}

TEST_F(LoadingTest, AnUnavailableIndexNeverSearches) {
  std::filesystem::remove(dir_ / "index/IndexData.ind");
  ScopedCurrentDir cd(dir_.path());
  ::testing::internal::CaptureStdout();
  SearchServer engine(prompter_, icons_);
  ::testing::internal::GetCapturedStdout();
  FakeResultPage page;
  page.InsertRow(0, "old", 0);
  engine.Query.NameWords = "a";
  EXPECT_EQ(engine.Search(page), -1);
  EXPECT_EQ(page.RowCount(), 1);
}

// ---- Searching an index built from a tree ----

// Sets Cancel when the given row is added.
class CancellingIcons : public IconList {
 public:
  CancellingIcons(std::atomic<bool>& cancel, int after) : cancel_(cancel), after_(after) {}
  int AddIconOf(const char*) override {
    if (++added_ == after_) cancel_ = true;
    return added_;
  }

 private:
  std::atomic<bool>& cancel_;
  int after_;
  int added_ = 0;
};

class SearchTest : public ::testing::Test {
 protected:
  SearchTest() : install_(kFileTypes) {}

  SearchServer& Engine() {
    if (!engine_) {
      ScopedCurrentDir cd(install_.Install());
      engine_ = std::make_unique<SearchServer>(prompter_, icons_);
      EXPECT_FALSE(engine_->IndexUnavailable());
    }
    return *engine_;
  }
  // Runs a query in the installation folder; returns the names of the rows.
  std::vector<std::string> Names(const QueryRecord& query, int* result = nullptr) {
    Engine().Query = query;
    ScopedCurrentDir cd(install_.Install());
    int r = Engine().Search(page_);
    if (result) *result = r;
    std::vector<std::string> names;
    for (const auto& row : page_.rows) names.push_back(row.cells[0]);
    return names;
  }
  static QueryRecord Words(const std::string& words) {
    QueryRecord q;
    q.NameWords = words;
    return q;
  }
  static std::vector<std::string> Sorted(std::vector<std::string> v) {
    std::sort(v.begin(), v.end());
    return v;
  }
  // The engine's candidates for the query, as record names.
  std::vector<std::string> CandidateNames(const QueryRecord& query) {
    Engine().Query = query;
    const std::string all = install_.AllFile();
    std::vector<std::string> names;
    for (uint32_t at : Engine().FindCandidates()) {
      names.push_back(all.substr(at + 1, all.find('\t', at) - at - 1));
    }
    return names;
  }

  IndexedInstall install_;
  FakePrompter prompter_;
  FakeIconList icons_;
  FakeResultPage page_;
  std::unique_ptr<SearchServer> engine_;
};

TEST_F(SearchTest, LetterCaseOfTheWordsDoesNotMatter) {
  for (const char* name : {"Read Me.txt", "bread.doc", "THREAD.jpg", "other.txt", "rea.d"}) {
    install_.WriteFile(name, "x");
  }
  install_.Index();
  std::vector<std::string> upper = Names(Words("Read"));
  std::vector<std::string> lower = Names(Words("read"));
  EXPECT_EQ(upper, lower);
  EXPECT_EQ(Sorted(lower), (std::vector<std::string>{"Read Me.txt", "THREAD.jpg", "bread.doc"}));
}

TEST_F(SearchTest, SeveralWordsMustAllOccurInAnyOrder) {
  for (const char* name : {"adore.txt", "reader.txt", "red.txt", "bad.txt", "ad re.txt"}) {
    install_.WriteFile(name, "x");
  }
  install_.Index();
  EXPECT_EQ(Sorted(Names(Words("re ad"))),
            (std::vector<std::string>{"ad re.txt", "adore.txt", "reader.txt"}));
  EXPECT_EQ(Sorted(Names(Words("ad  re"))),  // two blanks: an empty word, which every name holds
            (std::vector<std::string>{"ad re.txt", "adore.txt", "reader.txt"}));
}

TEST_F(SearchTest, AWordMustOccurWholeNotJustItsCharacters) {
  install_.WriteFile("报表告示.doc", "x");
  install_.WriteFile("年度报告.doc", "x");
  install_.WriteFile("告别.doc", "x");
  install_.Index();
  EXPECT_EQ(Sorted(CandidateNames(Words("报告"))), Sorted({"年度报告.doc", "报表告示.doc"}));
  EXPECT_EQ(Names(Words("报告")), (std::vector<std::string>{"年度报告.doc"}));
  EXPECT_EQ(Engine().Count(), 1);
}

TEST_F(SearchTest, RowsCarrySixColumns) {
  install_.WriteFile("Plan.doc", std::string(1234, 'p'), 1170000000);
  install_.SizedFile("huge.zip", 3000000000ull, 1170003661);
  install_.WriteFile("plain", "x");
  install_.WriteFile("plan.xyz", "x");
  install_.MakeFolder("planning");
  install_.Index();
  std::vector<std::string> names = Names(Words("pla"));
  ASSERT_EQ(names.size(), 4u);
  auto row = [&](const std::string& name) {
    for (const auto& r : page_.rows) {
      if (r.cells[0] == name) return r;
    }
    ADD_FAILURE() << name;
    return FakeResultPage::Row{};
  };
  const std::string folder = install_.TreeGbk() + "/";
  EXPECT_EQ(row("Plan.doc").cells,
            (std::vector<std::string>{"Plan.doc", folder, "        1234", "Word文档",
                                      "2007-01-28 16:00:00", "2"}));
  EXPECT_EQ(row("plain").cells[3], "未知文件类型");
  EXPECT_EQ(row("plain").cells[5], "2000");
  EXPECT_EQ(row("plan.xyz").cells[3], "未知文件类型");
  EXPECT_EQ(row("planning").cells[3], "文件夹");
  EXPECT_EQ(row("planning").cells[5], "2000");
  // The row's image is the icon asked for the full path.
  const auto& plan = row("Plan.doc");
  ASSERT_GE(plan.image, 0);
  EXPECT_EQ(icons_.paths[plan.image], folder + "Plan.doc");
  // Each row carries the offset of its record line; the no-result row carries none.
  EXPECT_EQ(plan.data, install_.RecordOffset('_', "Plan.doc"));
  EXPECT_EQ(row("planning").data, install_.RecordOffset('D', "planning"));

  Names(Words("huge"));
  ASSERT_EQ(page_.RowCount(), 1);
  EXPECT_EQ(page_.Cell(0, 2), "  3000000000");
  EXPECT_EQ(page_.Cell(0, 4), "2007-01-28 17:01:01");
  Names(Words("nothing-has-this-name"));
  ASSERT_EQ(page_.RowCount(), 1);
  EXPECT_EQ(page_.RowData(0), -1);
}

TEST_F(SearchTest, AContentOnlySearchExaminesTextTypesOnlyAndNeverFolders) {
  install_.WriteInstallFile("index/Translation.dat", std::string(131072, '\0'));
  install_.WriteFile("a合同.txt", "本合同一式两份");
  install_.WriteFile("b.doc", "双方合同");
  install_.WriteFile("c.doc", "无关");
  install_.WriteFile("d.jpg", "合同");
  install_.WriteFile("e.mp3", "合同");
  install_.WriteFile("noext", "合同");
  install_.WriteFile("f.xyz", "合同");
  install_.MakeFolder("合同");
  install_.Index();
  for (int tab : {0, 1}) {
    SCOPED_TRACE(tab);
    FileSearchFields fields;
    fields.ContentWords = "合同";
    fields.Class = tab;
    fields.TimeTo = 0x7FFFFFFF;
    ScopedCurrentDir cd(install_.Install());
    for (const FileTypeLine& line : TabFileTypes(tab, prompter_)) {
      fields.CheckedExtensions.push_back(line.Extension);
    }
    ASSERT_EQ(HandOverQuery(fields, Engine(), prompter_), QueryVerdict::kAccepted);
    // Candidates: the type lists of txt and doc, in type-number order.
    std::vector<std::string> candidates = CandidateNames(Engine().Query);
    ASSERT_EQ(candidates.size(), 3u);
    EXPECT_EQ(candidates[0], "a合同.txt");
    EXPECT_EQ(Sorted(candidates), (std::vector<std::string>{"a合同.txt", "b.doc", "c.doc"}));
    EXPECT_EQ(Names(Engine().Query), (std::vector<std::string>{"a合同.txt", "b.doc"}));
  }
}

TEST_F(SearchTest, NamesKeptRawOnDiskAreFoundByNameAndByContent) {
  install_.WriteInstallFile("index/Translation.dat", std::string(131072, '\0'));
  // A name spelled in GBK on disk is not UTF-8: the records keep its bytes as they are.
  std::ofstream(install_.TreeGbk() + "/你.txt", std::ios::binary) << "本合同";
  install_.WriteFile("你好.txt", "无关");
  install_.Index();
  EXPECT_EQ(Sorted(Names(Words("你"))), (std::vector<std::string>{"你.txt", "你好.txt"}));
  QueryRecord q;
  q.ContentWords = "合同";
  EXPECT_EQ(Names(q), (std::vector<std::string>{"你.txt"}));
}

TEST_F(SearchTest, TypeListsAreTakenInTypeNumberOrder) {
  install_.WriteFile("z.doc", "x");
  install_.WriteFile("y.txt", "x");
  install_.WriteFile("x.doc", "x");
  install_.WriteFile("w.jpg", "x");
  install_.Index();
  QueryRecord q;
  q.Class = 1;
  for (const std::string& name : Names(q)) EXPECT_NE(name, "w.jpg");
  std::vector<std::string> names = Names(q);
  ASSERT_EQ(names.size(), 3u);
  EXPECT_EQ(names[0], "y.txt");  // txt is type 1, doc type 2
}

TEST_F(SearchTest, AnExtensionInCapitalsIsAnUnknownTypeOfClassZeroOnly) {
  install_.WriteFile("REPORT.DOC", "x");
  install_.WriteFile("report.doc", "x");
  install_.Index();
  std::vector<std::string> all = Names(Words("report"));
  ASSERT_EQ(Sorted(all), (std::vector<std::string>{"REPORT.DOC", "report.doc"}));
  for (const auto& row : page_.rows) {
    if (row.cells[0] == "REPORT.DOC") {
      EXPECT_EQ(row.cells[3], "未知文件类型");
      EXPECT_EQ(row.cells[5], "2000");
    }
  }
  QueryRecord q = Words("report");
  for (int column = 1; column <= 4; ++column) {
    q.Class = column;
    std::vector<std::string> names = Names(q);
    EXPECT_EQ(std::count(names.begin(), names.end(), "REPORT.DOC"), 0) << column;
  }
  q.Class = 1;
  EXPECT_EQ(Names(q), (std::vector<std::string>{"report.doc"}));
}

TEST_F(SearchTest, TheFolderTestIsAPlainPrefixIgnoringCase) {
  install_.WriteFile("Work/note.txt", "x");
  install_.WriteFile("Workshop/note.txt", "x");
  install_.WriteFile("Other/note.txt", "x");
  install_.Index();
  QueryRecord q = Words("note");
  q.Folder = install_.TreeGbk("WORK");
  std::vector<std::string> folders;
  Names(q);
  for (const auto& row : page_.rows) folders.push_back(row.cells[1]);
  EXPECT_EQ(Sorted(folders), (std::vector<std::string>{install_.TreeGbk("Work") + "/",
                                                       install_.TreeGbk("Workshop") + "/"}));
}

TEST_F(SearchTest, DeletedAndWithdrawnFilesAreNotShown) {
  install_.WriteFile("gone.txt", "x");
  install_.WriteFile("kept.txt", "x");
  install_.WriteFile("withdrawn.txt", "x");
  install_.Index();
  std::filesystem::remove(install_.TreeDisk("gone.txt"));
  // The result list's file actions withdraw a record by overwriting its kind byte in place.
  std::string all = install_.AllFile();
  all[install_.RecordOffset('_', "withdrawn.txt")] = 'X';
  install_.WriteInstallFile("index/AllFile.dat", all);
  EXPECT_EQ(Names(Words(".txt")), (std::vector<std::string>{"kept.txt"}));
}

TEST_F(SearchTest, NoHitGivesTheSingleNoResultRow) {
  install_.WriteFile("a.txt", "x");
  install_.Index();
  int result = -1;
  EXPECT_EQ(Names(Words("zzz"), &result), (std::vector<std::string>{"搜索完毕，没有结果可显示"}));
  EXPECT_EQ(result, 0);
  EXPECT_EQ(page_.rows[0].image, -1);
  EXPECT_EQ(Engine().Count(), 0);
  // Candidates that all fail also end with the row.
  EXPECT_EQ(Names(Words("a.txt b")), (std::vector<std::string>{"搜索完毕，没有结果可显示"}));
}

TEST_F(SearchTest, CancellingKeepsTheRowsAndCountsTheCandidatesExamined) {
  for (int i = 0; i < 10; ++i) install_.WriteFile("item" + std::to_string(i) + ".txt", "x");
  install_.Index();
  ScopedCurrentDir cd(install_.Install());
  std::atomic<bool>* cancel = nullptr;
  class Late : public IconList {
   public:
    explicit Late(std::atomic<bool>** flag) : flag_(flag) {}
    int AddIconOf(const char*) override {
      if (++n_ == 4) **flag_ = true;
      return n_;
    }

   private:
    std::atomic<bool>** flag_;
    int n_ = 0;
  } icons(&cancel);
  SearchServer engine(prompter_, icons);
  cancel = &engine.Cancel;
  engine.Query = Words("item");
  EXPECT_EQ(engine.Search(page_), -1);
  EXPECT_EQ(page_.RowCount(), 4);
  EXPECT_EQ(engine.Count(), 4);
}

TEST_F(SearchTest, BracketsNarrowTheCandidatesDespiteTheirSharedCode) {
  install_.WriteFile("xb[.txt", "x");
  install_.WriteFile("xb{.txt", "x");
  install_.Index();
  EXPECT_EQ(CandidateNames(Words("b[")), (std::vector<std::string>{"xb[.txt"}));
  EXPECT_EQ(CandidateNames(Words("b{")), (std::vector<std::string>{"xb{.txt"}));
}

TEST_F(SearchTest, TheCountAfterACancelIsTheCandidatesExaminedNotTheRows) {
  // The tree's own entries are recorded before those of its folders: five candidates that fail
  // the time test come first, then five that pass.
  for (int i = 0; i < 5; ++i) {
    install_.WriteFile("item" + std::to_string(i) + ".txt", "x", 1000);
    install_.WriteFile("sub/item" + std::to_string(i) + ".txt", "x");
  }
  install_.Index();
  ScopedCurrentDir cd(install_.Install());
  struct CancelAtSecondRow : IconList {
    std::atomic<bool>* cancel = nullptr;
    int rows = 0;
    int AddIconOf(const char*) override {
      if (++rows == 2) *cancel = true;
      return rows;
    }
  } cancelling;
  SearchServer engine(prompter_, cancelling);
  cancelling.cancel = &engine.Cancel;
  engine.Query = Words("item");
  engine.Query.TimeFrom = 1100000000;
  ASSERT_EQ(engine.FindCandidates().size(), 10u);
  EXPECT_EQ(engine.Search(page_), -1);
  EXPECT_EQ(page_.RowCount(), 2);
  EXPECT_EQ(engine.Count(), 7);  // five passed over, two shown
}

TEST_F(SearchTest, FoldersAreLeftOutOnTheTypeTabs) {
  install_.MakeFolder("plan");
  install_.MakeFolder("plan.txt");  // a folder whose name looks like a text file
  install_.WriteFile("plan.doc", "x");
  install_.Index();
  QueryRecord q = Words("plan");
  EXPECT_EQ(Sorted(Names(q)), (std::vector<std::string>{"plan", "plan.doc", "plan.txt"}));
  for (int tab = 1; tab <= 4; ++tab) {
    q.Class = tab;
    std::vector<std::string> names = Names(q);
    EXPECT_EQ(std::count(names.begin(), names.end(), "plan"), 0) << tab;
    EXPECT_EQ(std::count(names.begin(), names.end(), "plan.txt"), 0) << tab;
  }
}

TEST(SearchTypeNumbers, NumbersOfTwoThousandAndAboveAreDroppedAtSearchTime) {
  IndexedInstall install(std::string(kFileTypes) +
                         "last\t1999\t1\t最后\r\nedge\t2000\t1\t边界\r\nbig\t2500\t1\t太大\r\n");
  for (const char* name : {"a.last", "a.edge", "a.big", "a.txt"}) install.WriteFile(name, "x");
  install.Index();
  ScopedCurrentDir cd(install.Install());
  FakePrompter prompter;
  FakeIconList icons;
  SearchServer engine(prompter, icons);
  engine.Query.NameWords = "a.";
  FakeResultPage page;
  ASSERT_EQ(engine.Search(page), 0);
  std::vector<std::string> names;
  for (const auto& row : page.rows) names.push_back(row.cells[0]);
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"a.last", "a.txt"}));
}

// The record keeps UTC seconds; the row shows the wall clock of the user's zone, as the file
// manager does (`TZ=<zone> date -d @1772299800`).
TEST_F(SearchTest, TheTimeColumnShowsTheLocalWallClock) {
  install_.WriteFile("late.txt", "x", 1772299800);  // 2026-02-28 17:30:00 UTC
  {
    testing::ScopedTimeZone zone("Asia/Shanghai");  // the index keeps the seconds in any zone
    install_.Index();
  }
  const std::string stored = "\t1772299800\n";
  EXPECT_NE(install_.AllFile().find(stored), std::string::npos);
  struct Case {
    const char* Zone;
    const char* Shown;
  } cases[] = {{"Asia/Shanghai", "2026-03-01 01:30:00"},
               {"America/New_York", "2026-02-28 12:30:00"},
               {"UTC", "2026-02-28 17:30:00"}};
  for (const Case& c : cases) {
    testing::ScopedTimeZone zone(c.Zone);
    ASSERT_EQ(Names(Words("late")), std::vector<std::string>{"late.txt"});
    EXPECT_EQ(page_.Cell(0, 4), c.Shown) << c.Zone;
  }
}

TEST_F(SearchTest, TheStartOfTheTimeRangeIsInclusive) {
  install_.WriteFile("new.txt", "x", 1170000000);
  install_.Index();
  QueryRecord q = Words("new");
  q.TimeFrom = 1170000000;
  EXPECT_EQ(Names(q), (std::vector<std::string>{"new.txt"}));
  q.TimeFrom = 1170000001;
  EXPECT_EQ(Names(q), (std::vector<std::string>{"搜索完毕，没有结果可显示"}));
}

TEST_F(SearchTest, SizeClassesAtTheOneMebibyteEdge) {
  install_.SizedFile("s1048575.bin", 1048575);
  install_.SizedFile("s1048576.bin", 1048576);
  install_.Index();
  auto names_for = [&](int size_class) {
    QueryRecord q = Words("s104857");
    q.SizeFrom = kSizeClasses[size_class].From;
    q.SizeTo = kSizeClasses[size_class].To;
    return Sorted(Names(q));
  };
  EXPECT_EQ(names_for(0), (std::vector<std::string>{"s1048575.bin", "s1048576.bin"}));
  EXPECT_EQ(names_for(1), (std::vector<std::string>{"s1048575.bin"}));
  EXPECT_EQ(names_for(2), (std::vector<std::string>{"s1048575.bin", "s1048576.bin"}));
  EXPECT_EQ(names_for(3), (std::vector<std::string>{"搜索完毕，没有结果可显示"}));
}

TEST_F(SearchTest, ADateRangeExcludesFilesOutsideIt) {
  install_.WriteFile("old.txt", "x", 1000000000);  // 2001-09-09
  install_.WriteFile("new.txt", "x", 1170000000);  // 2007-01-28
  install_.Index();
  QueryRecord q = Words(".txt");
  q.TimeFrom = 1167609600;  // 2007-01-01
  q.TimeTo = 1199145599;    // 2007-12-31 23:59:59
  EXPECT_EQ(Names(q), (std::vector<std::string>{"new.txt"}));
  q.TimeTo = 1170000000 - 1;
  EXPECT_EQ(Names(q), (std::vector<std::string>{"搜索完毕，没有结果可显示"}));
  q.TimeTo = 1170000000;  // inclusive
  EXPECT_EQ(Names(q), (std::vector<std::string>{"new.txt"}));
}

TEST_F(SearchTest, ARecordWhoseSizeOrTimeDoesNotReadIsReportedAndPassedOver) {
  install_.WriteFile("good.txt", "x");
  install_.WriteFile("bad.txt", "x");
  install_.Index();
  install_.SpoilRecordTime("bad.txt");
  EXPECT_EQ(Names(Words(".txt")), (std::vector<std::string>{"good.txt"}));
  ASSERT_EQ(prompter_.messages().size(), 1u);
  EXPECT_EQ(prompter_.messages()[0].text, "读取文件大小和时间异常");
  EXPECT_EQ(prompter_.messages()[0].caption, "");
}

TEST_F(SearchTest, AMissingRecordFileEndsTheProgram) {
  install_.WriteFile("a.txt", "x");
  install_.Index();
  Engine();
  std::filesystem::remove(install_.Install() + "/index/AllFile.dat");
  EXPECT_EXIT(Names(Words("a")), ::testing::ExitedWithCode(255), "");
}

}  // namespace
}  // namespace jollix
