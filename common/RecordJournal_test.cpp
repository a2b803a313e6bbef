#include "common/RecordJournal.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace jollix
