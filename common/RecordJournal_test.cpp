#include "common/RecordJournal.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "testing/TempDir.h"

namespace jollix {
namespace {

using testing::ScopedCurrentDir;
using testing::TempDir;

constexpr GenerationStamp kStamp{7, 100, 1700000000, 5};

// The latest lines of the entries a view holds, in file order.
std::vector<std::string> LatestLines(const JournalView& view) {
  std::vector<std::string> lines;
  for (const JournalView::Entry& e : view.Entries()) {
    if (e.Latest) lines.emplace_back(view.Line(e));
  }
  return lines;
}

// A view that takes only the entries of some names holds exactly those entries, each with its
// latest line, whatever lines of other entries lie between, also when it reads on.
TEST(JournalView, ANameFilterKeepsTheLatestLineOfEveryEntryItTakes) {
  TempDir dir;
  ScopedCurrentDir cd(dir.path());
  dir.MakeDir("index");
  const std::string first =
      "_report.txt\t/d/\t1\t10\n"
      "_other.txt\t/d/\t2\t10\n"
      "Dreport\t/d/\t0\t10\n"
      "_report.txt\t/d/\t3\t11\n"
      "_report.txt\t/e/\t4\t11\n"
      "X_gone.txt\t/d/\t0\t0\n";
  const std::string more =
      "Xreport.txt\t/e/\t0\t0\n"
      "_other.txt\t/d/\t5\t12\n"
      "_report.txt\t/d/\t6\t13\n";
  dir.Write("index/Journal.dat", JournalHeader(kStamp) + first);

  JournalView view;
  view.SetNameFilter([](std::string_view name) { return name.starts_with("report"); });
  view.Refresh(kStamp);
  EXPECT_EQ(LatestLines(view),
            (std::vector<std::string>{"Dreport\t/d/\t0\t10\n", "_report.txt\t/d/\t3\t11\n",
                                      "_report.txt\t/e/\t4\t11\n"}));
  EXPECT_FALSE(view.Names(PathHash("/d/", "other.txt")));
  EXPECT_TRUE(view.Names(PathHash("/d/", "report.txt")));

  dir.Write("index/Journal.dat", JournalHeader(kStamp) + first + more);
  view.Refresh(kStamp);
  EXPECT_EQ(LatestLines(view),
            (std::vector<std::string>{"Dreport\t/d/\t0\t10\n", "Xreport.txt\t/e/\t0\t0\n",
                                      "_report.txt\t/d/\t6\t13\n"}));

  // Without the filter again, every entry is read.
  view.SetNameFilter(nullptr);
  view.Refresh(kStamp);
  EXPECT_EQ(view.LineCount(), 9u);
  ASSERT_TRUE(view.Find(PathHash("/d/", "other.txt")));
  EXPECT_EQ(view.Line(*view.Find(PathHash("/d/", "other.txt"))), "_other.txt\t/d/\t5\t12\n");
}

void Append(const std::string& path, std::string_view text) {
  std::ofstream(path, std::ios::binary | std::ios::app) << text;
}

// Writes a file under another name and renames it over the journal, as the writer replaces it.
void Replace(TempDir& dir, const std::string& text) {
  dir.Write("index/Journal.dat.new", text);
  ASSERT_EQ(std::rename("index/Journal.dat.new", "index/Journal.dat"), 0);
}

// A search reads the journal before the records and reads on after them: lines that came in
// between are read on though the file was replaced meanwhile: by the journal of a newer
// generation (the lines its writer appended before are in the file read first), or by the same
// journal with its torn last line cut off (later lines are in the new file).
TEST(JournalView, ReadingOnFollowsAJournalReplacedMeanwhile) {
  constexpr GenerationStamp kNewer{8, 120, 1700000100, 0};
  const std::string first = "_a.txt\t/d/\t1\t10\n";
  const std::string appended = "_b.txt\t/d/\t2\t10\n";
  struct Case {
    const char* what;
    std::string torn;                  // a torn last line the view began with
    GenerationStamp replacement;       // the stamp of the journal put in place
    std::string replacement_lines;     // after first
    std::vector<std::string> read_on;  // latest lines after reading on
  } cases[] = {
      {"by a newer generation's", "", kNewer, appended, {first, appended}},
      {"by itself without its torn line", "_tor", kStamp, appended, {first, appended}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TempDir dir;
    ScopedCurrentDir cd(dir.path());
    dir.MakeDir("index");
    dir.Write("index/Journal.dat", JournalHeader(kStamp) + first + c.torn);
    JournalView view;
    view.Refresh(kStamp);
    EXPECT_EQ(LatestLines(view), std::vector<std::string>{first});
    if (c.replacement == kStamp) {
      Replace(dir, JournalHeader(kStamp) + first + c.replacement_lines);
    } else {
      Append("index/Journal.dat", c.torn.empty() ? appended : "");
      Replace(dir, JournalHeader(c.replacement) + "_new.txt\t/d/\t3\t10\n");
    }
    EXPECT_TRUE(view.ReadAppended());
    EXPECT_EQ(LatestLines(view), c.read_on);
  }
}

}  // namespace
}  // namespace jollix
