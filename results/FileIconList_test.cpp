#include "results/FileIconList.h"

#include <gtest/gtest.h>

#include <thread>

#include "common/Gbk.h"
#include "testing/QtTestApp.h"
#include "testing/TempDir.h"

namespace jollix {
namespace {

using testing::TempDir;

TEST(FileIconList, KindIsFolderExtensionOrFile) {
  TempDir dir;
  dir.MakeDir("sub.d");
  struct Case {
    std::string path, kind;
  };
  const Case cases[] = {
      {dir / "sub.d", "folder"},       {dir / "a.TXT", ".txt"},    {dir / "b.txt", ".txt"},
      {dir / "archive.tar.GZ", ".gz"}, {dir / "README", "file"},   {dir / ".profile", "file"},
      {dir / "trailing.", "file"},     {"/no/such/x.Doc", ".doc"},
  };
  for (const Case& c : cases) EXPECT_EQ(FileIconList::KindOf(c.path), c.kind) << c.path;
}

TEST(FileIconList, OneIndexPerKindHandedOutOnAnyThread) {
  testing::EnsureApplication();
  TempDir dir;
  dir.MakeDir("folder");
  FileIconList icons;
  int a = -1, b = -1, folder = -1, none = -1;
  std::thread worker([&] {
    a = icons.AddIconOf("/x/a.txt");
    b = icons.AddIconOf("/y/B.TXT");
    folder = icons.AddIconOf(FileNameToGbk(dir / "folder").c_str());
    none = icons.AddIconOf("/x/README");
  });
  worker.join();
  EXPECT_EQ(a, b);
  EXPECT_NE(a, folder);
  EXPECT_NE(a, none);
  EXPECT_NE(folder, none);
  EXPECT_EQ(icons.Count(), 3);
  EXPECT_EQ(icons.AddIconOf("/z/c.txt"), a);
  EXPECT_EQ(icons.AddIconOf("/z/report.pdf"), 3);
  // Icons are made here, on the user-interface thread, and kept.
  const QIcon first = icons.Icon(folder);
  EXPECT_EQ(icons.Icon(folder).cacheKey(), first.cacheKey());
  EXPECT_TRUE(icons.Icon(-1).isNull());
  EXPECT_TRUE(icons.Icon(99).isNull());
}

}  // namespace
}  // namespace jollix
