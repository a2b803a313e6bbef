// The query engine over damaged indexes: real index files built by the indexer, then damaged as
// a crash, a full disk or a failed run leave them. A damaged index is never searched: it is
// refused as if there were none, at load when the directory and the files' sizes and stamps
// show it, or at the search that reads a damaged list.
#include <gtest/gtest.h>

#include <string>

#include "common/FileTypeFile.h"
#include "desktop/SearchServer.h"
#include "testing/FakePorts.h"
#include "testing/IndexDamage.h"
#include "testing/IndexedInstall.h"

namespace jollix {
namespace {

using testing::FakeIconList;
using testing::FakePrompter;
using testing::FakeResultPage;
using testing::IndexDamage;
using testing::IndexedInstall;
using testing::ScopedCurrentDir;

const char* const kFileTypes = testing::kThreeFileTypes;

class DamagedIndexTest : public ::testing::TestWithParam<IndexDamage> {
 protected:
  DamagedIndexTest() : install_(kFileTypes) {
    for (const char* name : {"a.txt", "b.txt", "c.doc", "d.jpg", "报告.txt"}) {
      install_.WriteFile(name, "x");
    }
    install_.MakeFolder("sub");
    install_.Index();
  }

  IndexedInstall install_;
  FakePrompter prompter_;
  FakeIconList icons_;
};

TEST_P(DamagedIndexTest, IsRefusedAsIfThereWereNone) {
  testing::DamageIndex(install_.Install(), GetParam());
  ScopedCurrentDir cd(install_.Install());
  ::testing::internal::CaptureStdout();
  SearchServer engine(prompter_, icons_);
  const bool unavailable_at_load = engine.IndexUnavailable();
  FakeResultPage page;
  page.InsertRow(0, "old", -1);
  // A name search reads the dot's list; a search of the text tab reads every text type list
  // whole.
  engine.Query.NameWords = ".";
  const int by_name = engine.Search(page);
  engine.Query = QueryRecord();
  engine.Query.Class = kTextClass;
  const int by_tab = engine.Search(page);
  const std::string out = ::testing::internal::GetCapturedStdout();

  EXPECT_EQ(unavailable_at_load, testing::SeenAtLoad(GetParam()));
  EXPECT_TRUE(engine.IndexUnavailable());
  EXPECT_TRUE(engine.IndexDamaged());
  EXPECT_EQ(by_name, -1);
  EXPECT_EQ(by_tab, -1);
  // No row of a damaged index, nor the no-result row: the page stays as it was.
  ASSERT_EQ(page.RowCount(), 1);
  EXPECT_EQ(page.Cell(0, 0), "old");
  EXPECT_NE(out.find("导入索引信息失败，请与开发商联系！\n"), std::string::npos) << out;
  EXPECT_TRUE(prompter_.messages().empty());
}

INSTANTIATE_TEST_SUITE_P(Damages, DamagedIndexTest, ::testing::ValuesIn(testing::kIndexDamages),
                         [](const auto& info) { return testing::IndexDamageName(info.param); });

TEST(UndamagedIndex, LoadsAndSearches) {
  // The counterpart of the table above: the same index, undamaged, finds its files.
  IndexedInstall install(kFileTypes);
  for (const char* name : {"a.txt", "b.txt", "c.doc"}) install.WriteFile(name, "x");
  install.Index();
  ScopedCurrentDir cd(install.Install());
  FakePrompter prompter;
  FakeIconList icons;
  SearchServer engine(prompter, icons);
  ASSERT_FALSE(engine.IndexUnavailable());
  EXPECT_FALSE(engine.IndexDamaged());
  engine.Query.Class = kTextClass;
  FakeResultPage page;
  ASSERT_EQ(engine.Search(page), 0);
  EXPECT_EQ(page.RowCount(), 3);
}

}  // namespace
}  // namespace jollix
