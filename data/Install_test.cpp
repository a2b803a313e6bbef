// The installation as a Linux application: cmake --install into a temporary prefix, then the
// installed jollix indexes and searches from there, with its data in its own folder.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "common/TextFile.h"
#include "live/WatchLock.h"
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

// The lines of a systemd unit that say how it runs its program.
struct UnitFile {
  std::string Text;
  std::vector<std::string> ExecStart;  // split at blanks (the units quote nothing)
  std::vector<std::string> UnsetEnvironment;
  std::vector<int> SuccessExitStatus{0};
};

std::vector<std::string> Words(const std::string& text) {
  std::istringstream in(text);
  std::vector<std::string> words;
  for (std::string word; in >> word;) words.push_back(word);
  return words;
}

UnitFile ReadUnit(const std::string& path) {
  UnitFile unit;
  ReadWholeFile(path.c_str(), &unit.Text);
  std::istringstream in(unit.Text);
  for (std::string line; std::getline(in, line);) {
    const size_t eq = line.find('=');
    if (line.empty() || line[0] == '#' || eq == std::string::npos) continue;
    const std::string key = line.substr(0, eq), value = line.substr(eq + 1);
    if (key == "ExecStart") unit.ExecStart = Words(value);
    if (key == "UnsetEnvironment") unit.UnsetEnvironment = Words(value);
    if (key == "SuccessExitStatus") {
      for (const std::string& word : Words(value))
        unit.SuccessExitStatus.push_back(std::stoi(word));
    }
  }
  return unit;
}

// Sets the last index time of the installed config.txt (its second line).
void SetLastIndexTime(const std::string& config, long when) {
  std::string text;
  ASSERT_TRUE(ReadWholeFile(config.c_str(), &text));
  const size_t line = text.find('\n') + 1, tab = text.find('\t', line), end = text.find('\n', tab);
  text.replace(tab + 1, end - tab - 1, std::to_string(when));
  ASSERT_TRUE(WriteWholeFile(config.c_str(), text));
}

// The timer starts the index service hourly; the service's command line, run as systemd runs
// it, ends at once when no run is due (a status the unit counts as success) and indexes when
// one is.
TEST_F(InstalledJollix, TheIndexTimersServiceRunsTheIndexerOnlyWhenDue) {
  ASSERT_EQ(install_->ExitStatus, 0);
  const UnitFile timer = ReadUnit(Prefix("share/systemd/user/jollixsearch-index.timer"));
  EXPECT_NE(timer.Text.find("\nOnUnitActiveSec=1h\n"), std::string::npos) << timer.Text;
  EXPECT_NE(timer.Text.find("\nUnit=jollixsearch-index.service\n"), std::string::npos);
  EXPECT_NE(timer.Text.find("\nWantedBy=timers.target\n"), std::string::npos);
  const UnitFile service = ReadUnit(Prefix("share/systemd/user/jollixsearch-index.service"));
  ASSERT_EQ(service.ExecStart, std::vector<std::string>{Prefix("lib/jollixsearch/JollixIndexer")});
  user_.Write("docs/plan.txt", "x");
  // The folder list is this test's own: the installation's first set-up writes another.
  struct Forget {
    std::string path;
    ~Forget() { fs::remove(path); }
  } forget{Prefix("lib/jollixsearch/index/ScanFolder.txt")};
  WriteWholeFile(Prefix("lib/jollixsearch/index/ScanFolder.txt").c_str(),
                 "_" + user_.path() + "\r\n");
  fs::remove(Prefix("lib/jollixsearch/index/AllFile.dat"));
  ProgramEnv env{{{"HOME", user_.path()}, {"XDG_DATA_HOME", user_ / "data"}}, {"JOLLIX_HOME"}};
  env.Unset.insert(env.Unset.end(), service.UnsetEnvironment.begin(),
                   service.UnsetEnvironment.end());
  auto run = [&] { return RunProgram(service.ExecStart[0], service.ExecStart, env); };
  auto succeeded = [&](int status) {
    return std::count(service.SuccessExitStatus.begin(), service.SuccessExitStatus.end(), status);
  };

  SetLastIndexTime(Prefix("lib/jollixsearch/config.txt"), time(nullptr) - 3600);
  ProgramRun not_due = run();
  EXPECT_TRUE(succeeded(not_due.ExitStatus)) << not_due.ExitStatus << not_due.Err;
  EXPECT_FALSE(fs::exists(Prefix("lib/jollixsearch/index/AllFile.dat"))) << "nothing was done";

  SetLastIndexTime(Prefix("lib/jollixsearch/config.txt"), 0);
  ProgramRun due = run();
  EXPECT_EQ(due.ExitStatus, 0) << due.Err;
  std::string records;
  ReadWholeFile(Prefix("lib/jollixsearch/index/AllFile.dat").c_str(), &records);
  EXPECT_NE(records.find("_plan.txt\t" + user_.path() + "/docs/\t"), std::string::npos) << records;
}

// The watch service's command line, started as systemd starts it: the watcher comes up, holds
// the installation's watch lock, and ends with status 0 on SIGTERM (what `systemctl stop` sends).
TEST_F(InstalledJollix, TheWatchServiceRunsTheWatcherWhichEndsCleanlyOnSigterm) {
  ASSERT_EQ(install_->ExitStatus, 0);
  const UnitFile unit = ReadUnit(Prefix("share/systemd/user/jollixsearch-watch.service"));
  ASSERT_EQ(unit.ExecStart, (std::vector<std::string>{Prefix("lib/jollixsearch/jollix"), "watch"}));
  EXPECT_NE(unit.Text.find("\nWantedBy=default.target\n"), std::string::npos);
  const std::string home = Prefix("lib/jollixsearch");
  user_.Write("docs/plan.txt", "x");
  // The watcher's first set-up writes the folder list with this test's home folder.
  struct Forget {
    std::string path;
    ~Forget() { fs::remove(path); }
  } forget{Prefix("lib/jollixsearch/index/ScanFolder.txt")};
  ProgramEnv env{{{"HOME", user_.path()}, {"XDG_DATA_HOME", user_ / "data"}}, {"JOLLIX_HOME"}};
  std::string error;
  const int pid = testing::StartProgram(unit.ExecStart[0], unit.ExecStart, env, user_ / "out",
                                        user_ / "err", &error);
  ASSERT_GT(pid, 0) << error;
  // Up when it holds the lock: it has its index then and watches.
  bool up = false;
  for (int i = 0; i < 1000 && !up; ++i) {
    up = WatcherRunning(home);
    if (!up) usleep(10000);
  }
  EXPECT_TRUE(up) << user_.Read("err");
  kill(pid, SIGTERM);
  int status = 0;
  ASSERT_EQ(waitpid(pid, &status, 0), pid);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status << user_.Read("err");
  EXPECT_FALSE(WatcherRunning(home));
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
