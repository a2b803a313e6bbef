// The installation as a Linux application: cmake --install into a temporary prefix, then the
// installed jollix indexes and searches from there, with its data in its own folder.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "common/TextFile.h"
#include "testing/Process.h"
#include "testing/TempDir.h"

namespace jollix {
namespace {

namespace fs = std::filesystem;
using testing::ProgramEnv;
using testing::ProgramRun;
using testing::RunHeadless;
using testing::RunProgram;
using testing::TempDir;

std::string U8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

class InstalledJollix : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    prefix_ = new TempDir;
    install_ = new ProgramRun(
        RunProgram(JOLLIX_CMAKE_COMMAND,
                   {"cmake", "--install", JOLLIX_BUILD_DIR, "--prefix", prefix_->path()}, {}));
  }
  static void TearDownTestSuite() {
    delete install_;
    delete prefix_;
  }
  static std::string Prefix(const std::string& relative) { return *prefix_ / relative; }
  // The installed jollix with a home folder of its own and no JOLLIX_HOME.
  ProgramRun Jollix(const std::vector<std::string>& args) {
    ProgramEnv env{{{"HOME", user_.path()}, {"XDG_DATA_HOME", user_ / "data"}}, {"JOLLIX_HOME"}};
    std::vector<std::string> argv{"jollix"};
    argv.insert(argv.end(), args.begin(), args.end());
    return RunHeadless(Prefix("bin/jollix"), argv, env);
  }

  static TempDir* prefix_;
  static ProgramRun* install_;
  TempDir user_;
};

TempDir* InstalledJollix::prefix_ = nullptr;
ProgramRun* InstalledJollix::install_ = nullptr;

TEST_F(InstalledJollix, PutsProgramsDataEntryAndIconUnderThePrefix) {
  ASSERT_EQ(install_->ExitStatus, 0) << install_->Out << install_->Err;
  for (const char* file :
       {"lib/jollixsearch/jollix", "lib/jollixsearch/jollix-documents.so",
        "lib/jollixsearch/config.txt", "lib/jollixsearch/JollixHelp.html",
        "lib/jollixsearch/index/FileType.txt", "lib/jollixsearch/index/Translation.dat",
        "lib/jollixsearch/index/Pinyin.dat",
        "share/icons/hicolor/scalable/apps/jollixsearch.svg"}) {
    EXPECT_TRUE(fs::is_regular_file(Prefix(file))) << file;
  }
  EXPECT_EQ(fs::read_symlink(Prefix("bin/jollix")), "../lib/jollixsearch/jollix");
  EXPECT_TRUE(fs::exists(Prefix("bin/jollix")));
  std::string entry;
  ASSERT_TRUE(ReadWholeFile(Prefix("share/applications/jollixsearch.desktop").c_str(), &entry));
  for (const std::string& line :
       {std::string("[Desktop Entry]\n"), std::string("\nType=Application\n"),
        std::string("\nName=JollixSearch\n"), U8(u8"\nName[zh_CN]=Jollix超级搜索\n"),
        "\nExec=" + Prefix("bin/JollixSearch") + "\n", std::string("\nIcon=jollixsearch\n"),
        std::string("\nCategories=Utility;FileTools;\n")}) {
    EXPECT_NE(entry.find(line), std::string::npos) << line;
  }
}

TEST(BuildInstallation, HoldsTheHelpPageBesideThePrograms) {
  EXPECT_TRUE(fs::is_regular_file(std::string(JOLLIX_BUILD_DIR) + "/jollix/JollixHelp.html"));
}

TEST_F(InstalledJollix, IndexesAndFindsWithItsDataInItsOwnFolder) {
  ASSERT_EQ(install_->ExitStatus, 0);
  user_.Write(U8(u8"文档/年度报告2007.txt"), "x");
  ProgramRun index = Jollix({"index", "--now"});
  ASSERT_EQ(index.ExitStatus, 0) << index.Err;
  EXPECT_TRUE(fs::exists(Prefix("lib/jollixsearch/index/AllFile.dat")));
  std::string folders;
  ReadWholeFile(Prefix("lib/jollixsearch/index/ScanFolder.txt").c_str(), &folders);
  EXPECT_EQ(folders, "_" + user_.path() + "\r\n");
  ProgramRun find = Jollix({"find", U8(u8"报告")});
  ASSERT_EQ(find.ExitStatus, 0) << find.Err;
  EXPECT_NE(find.Out.find(U8(u8"年度报告2007.txt")), std::string::npos) << find.Out;
  EXPECT_FALSE(fs::exists(user_ / "data/jollixsearch"));  // the program's folder was writable
}

}  // namespace
}  // namespace jollix
