#include "common/InstallFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "testing/TempDir.h"

namespace jollix {
namespace {

namespace fs = std::filesystem;
using testing::TempDir;

TEST(InstallFolder, ChoiceByTheFacts) {
  struct Case {
    const char* jollix_home;
    bool writable;
    const char* xdg;
    const char* home;
    const char* folder;
    InstallFolderKind kind;
  };
  const Case cases[] = {
      {"/opt/j", false, "/x", "/h", "/opt/j", InstallFolderKind::kJollixHome},
      {"/opt/j", true, nullptr, "/h", "/opt/j", InstallFolderKind::kJollixHome},
      {"", true, "/x", "/h", "/usr/lib/jollixsearch", InstallFolderKind::kProgramFolder},
      {nullptr, false, "/x", "/h", "/x/jollixsearch", InstallFolderKind::kUserFolder},
      {nullptr, false, "", "/h", "/h/.local/share/jollixsearch", InstallFolderKind::kUserFolder},
      {nullptr, false, "relative", "/h", "/h/.local/share/jollixsearch",
       InstallFolderKind::kUserFolder},
  };
  for (const Case& c : cases) {
    InstallFolderFacts facts;
    facts.JollixHome = c.jollix_home;
    facts.ProgramFolder = "/usr/lib/jollixsearch";
    facts.ProgramFolderWritable = c.writable;
    facts.XdgDataHome = c.xdg;
    facts.Home = c.home;
    InstallFolderKind kind;
    EXPECT_EQ(ChooseInstallFolder(facts, &kind), c.folder);
    EXPECT_EQ(kind, c.kind) << c.folder;
  }
}

TEST(InstallFolder, SeedingCopiesWhatIsMissingAndLinksThePrograms) {
  TempDir program, user;
  program.Write("config.txt", "default config");
  program.Write("index/FileType.txt", "default types");
  program.Write("index/virtualfile.doc", "");
  program.Write("JollixIndexer", "#!");
  program.Write("JollixHelp.html", "<html></html>");
  user.Write("jollixsearch/index/FileType.txt", "my types");
  const std::string folder = user / "jollixsearch";
  ASSERT_TRUE(SeedUserFolder(program.path(), folder));
  EXPECT_EQ(user.Read("jollixsearch/config.txt"), "default config");
  EXPECT_EQ(user.Read("jollixsearch/index/FileType.txt"), "my types");
  EXPECT_TRUE(user.Exists("jollixsearch/index/virtualfile.doc"));
  EXPECT_EQ(fs::read_symlink(folder + "/JollixIndexer"), program / "JollixIndexer");
  EXPECT_EQ(fs::read_symlink(folder + "/JollixHelp.html"), program / "JollixHelp.html");
  EXPECT_FALSE(user.Exists("jollixsearch/JollixSearch"));  // nothing to link to

  // A later start after the program moved renews the link and keeps the user's files.
  TempDir moved;
  moved.Write("JollixIndexer", "#!");
  user.Write("jollixsearch/config.txt", "my config");
  ASSERT_TRUE(SeedUserFolder(moved.path(), folder));
  EXPECT_EQ(fs::read_symlink(folder + "/JollixIndexer"), moved / "JollixIndexer");
  EXPECT_EQ(user.Read("jollixsearch/config.txt"), "my config");
}

TEST(InstallFolder, SeedingFailsWhenTheFolderCannotBeMade) {
  TempDir program, user;
  user.Write("file", "");
  EXPECT_FALSE(SeedUserFolder(program.path(), user / "file/jollixsearch"));
}

}  // namespace
}  // namespace jollix
