#include "live/LiveIndex.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <functional>
#include <set>
#include <thread>

#include "common/Gbk.h"
#include "common/IndexGeneration.h"
#include "common/IndexLayout.h"
#include "common/RecordJournal.h"
#include "common/TextFile.h"
#include "desktop/SearchServer.h"
#include "testing/FakePorts.h"
#include "testing/IndexedInstall.h"
#include "testing/Process.h"
#include "testing/TempDir.h"

namespace fs = std::filesystem;

namespace jollix {
namespace {

using testing::FakeIconList;
using testing::FakePrompter;
using testing::FakeResultPage;
using testing::IndexedInstall;
using testing::ScopedCurrentDir;

// Every cell of every row a search shows (name, folder, size, type, time, type number), one text
// a row, in row order; the single no-result row gives none.
std::vector<std::string> Rows(const std::string& words, const std::string& content = "") {
  FakePrompter prompter;
  FakeIconList icons;
  SearchServer engine(prompter, icons);
  engine.Query.NameWords = words;
  engine.Query.ContentWords = content;
  FakeResultPage page;
  engine.Search(page);
  std::vector<std::string> rows;
  for (const FakeResultPage::Row& row : page.rows) {
    if (row.cells.size() < 6) continue;
    std::string text;
    for (const std::string& cell : row.cells) text += cell + "|";
    rows.push_back(text);
  }
  return rows;
}

std::vector<std::string> Sorted(std::vector<std::string> v) {
  std::sort(v.begin(), v.end());
  return v;
}

// The names of the rows, sorted.
std::vector<std::string> Names(const std::vector<std::string>& rows) {
  std::vector<std::string> names;
  for (const std::string& row : rows) names.push_back(row.substr(0, row.find('|')));
  return Sorted(names);
}

// The record lines of index/AllFile.dat, sorted.
std::vector<std::string> RecordLines(const IndexedInstall& install) {
  std::vector<std::string> lines;
  const std::string all = install.AllFile();
  for (size_t at = 0; at < all.size();) {
    const size_t lf = all.find('\n', at);
    lines.push_back(all.substr(at, lf + 1 - at));
    at = lf + 1;
  }
  return Sorted(lines);
}

std::unique_ptr<LiveIndex> OpenLive() {
  static FakePrompter prompter;
  std::string error;
  std::unique_ptr<LiveIndex> live = LiveIndex::Open(prompter, &error);
  EXPECT_TRUE(live) << error;
  return live;
}

void Rename(const IndexedInstall& tree, const std::string& from, const std::string& to) {
  fs::rename(tree.TreeDisk(from), tree.TreeDisk(to));
}

// The tree every case starts from, indexed by a full run.
void WriteStartTree(const IndexedInstall& tree) {
  tree.WriteFile("a.txt", "alpha");
  tree.WriteFile("文档.doc", "doc");
  tree.WriteFile("sub/b.txt", "bravo");
  tree.WriteFile("sub/deep/c.txt", "charlie");
  tree.MakeFolder("../outside");
  std::string table;
  EXPECT_TRUE(ReadWholeFile((testing::BuildHome() + "/index/Translation.dat").c_str(), &table));
  tree.WriteInstallFile("index/Translation.dat", table);
}

struct ChangeCase {
  const char* what;
  // The change on the disk and the notices a watcher gives for it.
  std::function<void(const IndexedInstall&, ChangeSink&)> change;
  const char* words;               // the name search that shows it
  const char* content;             // and its content words
  std::vector<std::string> names;  // the names that search must show, each once
};

const std::vector<ChangeCase>& ChangeCases() {
  static const std::vector<ChangeCase> cases = {
      {"create",
       [](const IndexedInstall& t, ChangeSink& s) {
         t.WriteFile("sub/新建 live.txt", "new", IndexedInstall::kDefaultTime + 5);
         s.EntryChanged(t.TreeDisk("sub/新建 live.txt"));
       },
       "live",
       "",
       {"新建 live.txt"}},
      {"rename",
       [](const IndexedInstall& t, ChangeSink& s) {
         Rename(t, "a.txt", "sub/deep/renamed.txt");
         s.EntryChanged(t.TreeDisk("a.txt"));
         s.EntryChanged(t.TreeDisk("sub/deep/renamed.txt"));
       },
       "txt",
       "",
       {"b.txt", "c.txt", "renamed.txt"}},
      {"delete",
       [](const IndexedInstall& t, ChangeSink& s) {
         fs::remove(t.TreeDisk("sub/b.txt"));
         s.EntryChanged(t.TreeDisk("sub/b.txt"));
       },
       "txt",
       "",
       {"a.txt", "c.txt"}},
      {"new folder with files (made before any notice)",
       [](const IndexedInstall& t, ChangeSink& s) {
         t.WriteFile("新目录/k1.txt", "1");
         t.WriteFile("新目录/y/k2.txt", "2");
         s.EntryChanged(t.TreeDisk("新目录"));
       },
       "k",
       "",
       {"k1.txt", "k2.txt"}},
      {"folder moved in",
       [](const IndexedInstall& t, ChangeSink& s) {
         t.WriteFile("../outside/m/m1.txt", "1");
         t.WriteFile("../outside/m/mm/m2.txt", "2");
         Rename(t, "../outside/m", "moved");
         s.SubtreeChanged(t.TreeDisk("moved"));
       },
       "m",
       "",
       {"m1.txt", "m2.txt", "mm", "moved"}},
      {"folder moved out",
       [](const IndexedInstall& t, ChangeSink& s) {
         Rename(t, "sub", "../outside/sub");
         s.EntryChanged(t.TreeDisk("sub"));
       },
       "txt",
       "",
       {"a.txt"}},
      {"grown file",
       [](const IndexedInstall& t, ChangeSink& s) {
         t.WriteFile("a.txt", "alpha and more", IndexedInstall::kDefaultTime + 60);
         s.EntryChanged(t.TreeDisk("a.txt"));
       },
       "a.txt",
       "",
       {"a.txt"}},
      {"new contents",
       [](const IndexedInstall& t, ChangeSink& s) {
         t.WriteFile("sub/deep/c.txt", "见合同第三条", IndexedInstall::kDefaultTime + 60);
         s.EntryChanged(t.TreeDisk("sub/deep/c.txt"));
       },
       "",
       "合同",
       {"c.txt"}},
      {"dot names and what is inside them stay out",
       [](const IndexedInstall& t, ChangeSink& s) {
         t.WriteFile(".hidden/z.txt", "z");
         t.WriteFile("sub/.z.txt", "z");
         s.EntryChanged(t.TreeDisk(".hidden"));
         s.SubtreeChanged(t.TreeDisk(".hidden"));
         s.EntryChanged(t.TreeDisk(".hidden/z.txt"));
         s.EntryChanged(t.TreeDisk("sub/.z.txt"));
       },
       "z",
       "",
       {}},
      {"a link is recorded, never followed",
       [](const IndexedInstall& t, ChangeSink& s) {
         fs::create_directory_symlink(t.TreeDisk("sub"), t.TreeDisk("link"));
         s.EntryChanged(t.TreeDisk("link"));
         s.SubtreeChanged(t.TreeDisk("link"));
       },
       "b.txt",
       "",
       {"b.txt"}},
  };
  return cases;
}

// For each change: a search right after the notices shows what a full scan of the changed disk
// shows, row for row; the fold then writes exactly the records of that full scan.
TEST(LiveIndex, AChangeIsSearchableAndFoldsIntoWhatAFullScanWrites) {
  for (const ChangeCase& c : ChangeCases()) {
    SCOPED_TRACE(c.what);
    IndexedInstall tree(testing::kThreeFileTypes);
    WriteStartTree(tree);
    tree.Index();
    ScopedCurrentDir cd(tree.Install());
    std::unique_ptr<LiveIndex> live = OpenLive();
    ASSERT_TRUE(live);
    c.change(tree, *live);
    live->Flush();
    const std::vector<std::string> live_rows = Rows(c.words, c.content);

    ASSERT_EQ(live->Fold(), 0);
    EXPECT_EQ(live->JournalLines(), 0u);
    const std::vector<std::string> folded_rows = Rows(c.words, c.content);
    const std::vector<std::string> folded_records = RecordLines(tree);

    tree.Index();
    const std::vector<std::string> scanned_rows = Rows(c.words, c.content);
    EXPECT_EQ(Names(scanned_rows), Sorted(c.names));
    EXPECT_EQ(Sorted(live_rows), Sorted(scanned_rows));
    EXPECT_EQ(Sorted(folded_rows), Sorted(scanned_rows));
    EXPECT_EQ(folded_records, RecordLines(tree));
  }
}

// The records a pinyin search examines: few when the pinyin lists serve it, every record when it
// falls back to reading them all.
size_t PinyinCandidates(const std::string& words) {
  FakePrompter prompter;
  FakeIconList icons;
  SearchServer engine(prompter, icons);
  engine.Query.NameWords = words;
  engine.Query.Pinyin = true;
  FakeResultPage page;
  engine.Search(page);
  return engine.FindCandidates().size();
}

// A fold publishes the pinyin lists with its generation, so that pinyin words keep being served
// by them after a fold as after a full index run.
TEST(LiveIndex, AFoldKeepsThePinyinLists) {
  IndexedInstall tree(testing::kThreeFileTypes);
  std::string table;
  ASSERT_TRUE(ReadWholeFile((testing::BuildHome() + "/index/Pinyin.dat").c_str(), &table));
  tree.WriteInstallFile("index/Pinyin.dat", table);
  WriteStartTree(tree);
  tree.Index();
  ScopedCurrentDir cd(tree.Install());
  std::unique_ptr<LiveIndex> live = OpenLive();
  ASSERT_TRUE(live);
  tree.WriteFile("年度报告.txt", "report");
  live->EntryChanged(tree.TreeDisk("年度报告.txt"));
  live->Flush();
  ASSERT_EQ(live->Fold(), 0);
  EXPECT_EQ(Names(Rows("ndbg")), std::vector<std::string>{});  // literal: no such name
  EXPECT_EQ(PinyinCandidates("ndbg"), 1u);
  tree.Index();
  EXPECT_EQ(PinyinCandidates("ndbg"), 1u);
}

// A change already in the index, told again (a restart, a rescan), is not written again.
TEST(LiveIndex, TheSameChangeToldTwiceIsWrittenOnce) {
  IndexedInstall tree(testing::kThreeFileTypes);
  WriteStartTree(tree);
  tree.Index();
  ScopedCurrentDir cd(tree.Install());
  std::unique_ptr<LiveIndex> live = OpenLive();
  tree.WriteFile("sub/twice.txt", "2");
  live->EntryChanged(tree.TreeDisk("sub/twice.txt"));
  const size_t lines = live->JournalLines();
  live->EntryChanged(tree.TreeDisk("sub/twice.txt"));
  live->SubtreeChanged(tree.TreeDisk("sub"));
  live->CatchUp();
  EXPECT_EQ(live->JournalLines(), lines);
  EXPECT_EQ(Names(Rows("twice")), (std::vector<std::string>{"twice.txt"}));
}

// The names a search shows, each with how often.
std::multiset<std::string> NameCounts(const std::vector<std::string>& rows) {
  std::multiset<std::string> names;
  for (const std::string& row : rows) names.insert(row.substr(0, row.find('|')));
  return names;
}

std::multiset<std::string> BurstNames(int from, int to) {
  std::multiset<std::string> names;
  for (int i = from; i < to; ++i) names.insert("burst" + std::to_string(i) + ".txt");
  return names;
}

// A watcher killed in the middle of a burst of writes, and files made while nothing watched: a
// restart brings in every file once.
TEST(LiveIndex, AKillInABurstAndARestartLoseNothingAndDoubleNothing) {
  IndexedInstall tree(testing::kThreeFileTypes);
  WriteStartTree(tree);
  tree.Index();
  ScopedCurrentDir cd(tree.Install());
  constexpr int kBurst = 400;
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    FakePrompter prompter;
    std::string error;
    std::unique_ptr<LiveIndex> live = LiveIndex::Open(prompter, &error);
    if (!live) _exit(1);
    for (int i = 0;; i = (i + 1) % kBurst) {
      const std::string name = "burst/burst" + std::to_string(i) + ".txt";
      tree.WriteFile(name, std::string(static_cast<size_t>(i % 7), 'x'),
                     IndexedInstall::kDefaultTime + i);
      live->EntryChanged(tree.TreeDisk(name));
      live->Flush();
    }
  }
  // Killed once it has written part of the burst, wherever it stands then.
  for (int tries = 0; tries < 2000; ++tries) {
    struct stat st;
    if (stat(kJournalFile, &st) == 0 && st.st_size > 4000) break;
    usleep(1000);
  }
  kill(child, SIGKILL);
  int status = 0;
  waitpid(child, &status, 0);
  ASSERT_TRUE(WIFSIGNALED(status));
  // Made while nothing watched.
  for (int i = 0; i < kBurst; ++i) {
    tree.WriteFile("burst/burst" + std::to_string(i) + ".txt", "written while nothing watched");
  }

  std::unique_ptr<LiveIndex> live = OpenLive();
  ASSERT_TRUE(live);
  live->CatchUp();
  EXPECT_EQ(NameCounts(Rows("burst")), [] {
    auto names = BurstNames(0, kBurst);
    names.insert("burst");
    return names;
  }());
  ASSERT_EQ(live->Fold(), 0);
  const std::vector<std::string> folded = RecordLines(tree);
  tree.Index();
  EXPECT_EQ(folded, RecordLines(tree));
}

// An index run while the live index runs: until it is taken up, the journal (of the older
// generation) is not applied to the new one; then what came between the scan and now is
// brought in.
TEST(LiveIndex, AnIndexRunWhileWatchingIsTakenUp) {
  IndexedInstall tree(testing::kThreeFileTypes);
  WriteStartTree(tree);
  tree.Index();
  ScopedCurrentDir cd(tree.Install());
  std::unique_ptr<LiveIndex> live = OpenLive();
  tree.WriteFile("a.txt", "alpha!", IndexedInstall::kDefaultTime + 1);
  live->EntryChanged(tree.TreeDisk("a.txt"));
  tree.WriteFile("a.txt", "alpha and a longer text", IndexedInstall::kDefaultTime + 2);
  tree.Index();
  // The journal names a.txt with its size of before the run; the run's record is the one shown.
  const std::vector<std::string> after_run = Rows("a.txt");
  ASSERT_EQ(after_run.size(), 1u);
  EXPECT_NE(after_run[0].find("|          23|"), std::string::npos) << after_run[0];

  tree.WriteFile("sub/after the run.txt", "new");
  live->EntryChanged(tree.TreeDisk("sub/after the run.txt"));
  tree.WriteFile("sub/unseen.txt", "made between the run and its taking up");
  EXPECT_FALSE(live->TakeUpChanges());
  EXPECT_EQ(NameCounts(Rows("txt")), (std::multiset<std::string>{"a.txt", "after the run.txt",
                                                                 "b.txt", "c.txt", "unseen.txt"}));
  ASSERT_EQ(live->Fold(), 0);
  const std::vector<std::string> folded = RecordLines(tree);
  tree.Index();
  EXPECT_EQ(folded, RecordLines(tree));
}

// Searches that run while the journal is folded, again and again, each see every file once.
TEST(LiveIndex, SearchesDuringAFoldSeeEveryEntryOnce) {
  IndexedInstall tree(testing::kThreeFileTypes);
  WriteStartTree(tree);
  tree.Index();
  ScopedCurrentDir cd(tree.Install());
  std::unique_ptr<LiveIndex> live = OpenLive();
  constexpr int kFiles = 300;
  for (int i = 0; i < kFiles; ++i) {
    const std::string name = "burst/burst" + std::to_string(i) + ".txt";
    tree.WriteFile(name, "x");
    live->EntryChanged(tree.TreeDisk(name));
  }
  std::atomic<bool> done{false};
  std::atomic<int> searches{0}, wrong{0};
  std::thread searcher([&] {
    std::multiset<std::string> all = BurstNames(0, kFiles);
    all.insert("burst");  // the folder
    while (!done || searches == 0) {
      if (NameCounts(Rows("burst")) != all) ++wrong;
      ++searches;
    }
  });
  for (int fold = 0; fold < 4; ++fold) {
    // Each round replaces some records through the journal, then folds.
    for (int i = fold; i < kFiles; i += 4) {
      const std::string name = "burst/burst" + std::to_string(i) + ".txt";
      tree.WriteFile(name, std::string(static_cast<size_t>(fold + 2), 'y'));
      live->EntryChanged(tree.TreeDisk(name));
    }
    ASSERT_EQ(live->Fold(), 0);
  }
  done = true;
  searcher.join();
  EXPECT_GT(searches, 0);
  EXPECT_EQ(wrong, 0);
}

// Past its bound the journal is folded at the next Flush: the changes are then records of a new
// generation, and the journal starts empty.
TEST(LiveIndex, AJournalPastItsBoundIsFolded) {
  IndexedInstall tree(testing::kThreeFileTypes);
  WriteStartTree(tree);
  tree.Index();
  ScopedCurrentDir cd(tree.Install());
  std::unique_ptr<LiveIndex> live = OpenLive();
  for (int i = 0; i < 4; ++i) {
    const std::string name = "burst/burst" + std::to_string(i) + ".txt";
    tree.WriteFile(name, "x");
    live->EntryChanged(tree.TreeDisk(name));
  }
  live->Flush();
  const size_t lines = live->JournalLines();
  EXPECT_GT(lines, 0u);
  EXPECT_EQ(tree.AllFile().find("burst0.txt"), std::string::npos);
  live->SetFoldLines(lines + 1);
  tree.WriteFile("burst/burst4.txt", "x");
  live->EntryChanged(tree.TreeDisk("burst/burst4.txt"));
  live->Flush();
  EXPECT_EQ(live->JournalLines(), 0u);
  EXPECT_NE(tree.AllFile().find("burst4.txt"), std::string::npos);
  EXPECT_EQ(NameCounts(Rows("burst")), [] {
    auto names = BurstNames(0, 5);
    names.insert("burst");
    return names;
  }());
}

// The names of the file records of index/AllFile.dat, in file order.
std::vector<std::string> RecordNamesInOrder(const IndexedInstall& install) {
  std::vector<std::string> names;
  const std::string all = install.AllFile();
  for (size_t at = 0; at < all.size();) {
    const size_t lf = all.find('\n', at);
    if (all[at] == '_') names.push_back(all.substr(at + 1, all.find('\t', at) - at - 1));
    at = lf + 1;
  }
  return names;
}

// Records replaced while a search runs: one the search has already shown and one it has not
// read yet. The search shows each once, the one it had not read with its new line.
TEST(LiveIndex, RecordsReplacedWhileASearchRunsAreShownOnce) {
  IndexedInstall tree(testing::kThreeFileTypes);
  constexpr int kFiles = 6000;  // more than one chunk of record lines read ahead
  tree.MakeFolder("q");
  for (int i = 0; i < kFiles; ++i) {
    FILE* f = std::fopen(tree.TreeDisk("q/q" + std::to_string(i) + ".txt").c_str(), "wb");
    ASSERT_TRUE(f);
    std::fclose(f);
  }
  tree.Index();
  ScopedCurrentDir cd(tree.Install());
  const std::vector<std::string> order = RecordNamesInOrder(tree);
  ASSERT_EQ(order.size(), static_cast<size_t>(kFiles));
  std::unique_ptr<LiveIndex> live = OpenLive();

  FakePrompter prompter;
  FakeIconList icons;
  SearchServer engine(prompter, icons);
  engine.Query.NameWords = "q";
  engine.BatchRows = 1000;  // the search stops at the gate before it reads the last chunk
  testing::GatedResultPage page(1);
  std::thread search([&] { engine.Search(page); });
  ASSERT_TRUE(page.WaitAtGate());
  for (const std::string& name : {order.front(), order.back()}) {
    tree.WriteFile("q/" + name, "replaced");
    live->EntryChanged(tree.TreeDisk("q/" + name));
  }
  page.Open();
  search.join();

  std::multiset<std::string> shown;
  const std::vector<std::string> names = page.Column(0), sizes = page.Column(2);
  for (size_t row = 0; row < names.size(); ++row) {
    shown.insert(names[row]);
    if (names[row] == order.back()) {
      EXPECT_EQ(sizes[row], "           8");
    }
  }
  std::multiset<std::string> all(order.begin(), order.end());
  all.insert("q");
  EXPECT_EQ(shown, all);
}

// One engine (an open window) searching for one word after another shows for each the journal's
// entries of that word, as they stand at that search: created, replaced, gone.
TEST(LiveIndex, OneEngineSearchingWordAfterWordSeesEachWordsJournalEntries) {
  IndexedInstall tree(testing::kThreeFileTypes);
  WriteStartTree(tree);
  tree.Index();
  ScopedCurrentDir cd(tree.Install());
  std::unique_ptr<LiveIndex> live = OpenLive();
  FakePrompter prompter;
  FakeIconList icons;
  SearchServer engine(prompter, icons);
  auto names = [&engine](const char* words) {
    engine.Query.NameWords = words;
    FakeResultPage page;
    engine.Search(page);
    std::vector<std::string> shown;
    for (const FakeResultPage::Row& row : page.rows) {
      if (row.cells.size() >= 6) shown.push_back(row.cells[0]);
    }
    return Sorted(shown);
  };
  const struct {
    const char* change;  // a file written (or removed, with '-') before the search
    const char* words;
    std::vector<std::string> names;
  } steps[] = {
      {"sub/fresh one.txt", "fresh", {"fresh one.txt"}},
      {"other two.txt", "two", {"other two.txt"}},
      {"sub/fresh again.txt", "fresh", {"fresh again.txt", "fresh one.txt"}},
      {"-sub/fresh one.txt", "fresh", {"fresh again.txt"}},
      {"sub/b.txt", "b.txt", {"b.txt"}},
      {"-sub/b.txt", "two", {"other two.txt"}},
      {"a.txt", "txt", {"a.txt", "c.txt", "fresh again.txt", "other two.txt"}},
  };
  for (const auto& step : steps) {
    SCOPED_TRACE(step.change);
    const bool gone = step.change[0] == '-';
    const std::string path = step.change + (gone ? 1 : 0);
    if (gone) {
      fs::remove(tree.TreeDisk(path));
    } else {
      tree.WriteFile(path, "changed", IndexedInstall::kDefaultTime + 9);
    }
    live->EntryChanged(tree.TreeDisk(path));
    EXPECT_EQ(names(step.words), step.names);
  }
  EXPECT_EQ(names("b.txt"), std::vector<std::string>{});
}

// A last journal line cut short by a kill is not read, and a restart cuts it off before it
// writes on.
TEST(LiveIndex, ATornLastJournalLineIsIgnored) {
  IndexedInstall tree(testing::kThreeFileTypes);
  WriteStartTree(tree);
  tree.Index();
  ScopedCurrentDir cd(tree.Install());
  {
    std::unique_ptr<LiveIndex> live = OpenLive();
    tree.WriteFile("torn1.txt", "1");
    live->EntryChanged(tree.TreeDisk("torn1.txt"));
  }
  tree.WriteFile("torn2.txt", "2");
  std::string journal;
  ASSERT_TRUE(ReadWholeFile(kJournalFile, &journal));
  // The start of the line torn2.txt would have had.
  journal += "_torn2.txt\t" + tree.TreeGbk() + "/\t1";
  ASSERT_TRUE(WriteWholeFile(kJournalFile, journal));
  EXPECT_EQ(Names(Rows("torn")), (std::vector<std::string>{"torn1.txt"}));

  std::unique_ptr<LiveIndex> live = OpenLive();
  tree.WriteFile("torn3.txt", "3");
  live->EntryChanged(tree.TreeDisk("torn3.txt"));
  EXPECT_EQ(Names(Rows("torn")), (std::vector<std::string>{"torn1.txt", "torn3.txt"}));
}

}  // namespace
}  // namespace jollix
