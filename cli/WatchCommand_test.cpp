// jollix watch run as a process on an installation in a temp folder, with jollix find and
// jollix index run beside it, as a user runs them.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <thread>

#include "testing/Process.h"
#include "testing/TempDir.h"
#include "testing/TestInstallation.h"

namespace fs = std::filesystem;

namespace jollix {
namespace {

using testing::BuildProgram;
using testing::ProgramRun;
using testing::RunHeadless;
using testing::TempDir;
using testing::TestInstallation;

// Bounds of the waits below: far above what any of them takes, so that a slow machine never
// fails a test, while a broken watcher still ends it.
constexpr auto kPatience = std::chrono::seconds(60);

bool WaitFor(const std::function<bool()>& done) {
  const auto until = std::chrono::steady_clock::now() + kPatience;
  while (std::chrono::steady_clock::now() < until) {
    if (done()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return done();
}

// A `jollix watch` process of the installation.
class WatchProcess {
 public:
  explicit WatchProcess(const TestInstallation& install) : install_(install) {
    std::string error;
    pid_ = testing::StartProgram(BuildProgram("jollix"), {"jollix", "watch"}, install.Env(),
                                 logs_ / "out", logs_ / "err", &error);
    EXPECT_GT(pid_, 0) << error;
  }
  ~WatchProcess() {
    if (pid_ > 0) {
      kill(pid_, SIGKILL);
      Wait();
    }
  }
  // Waits until it watches (it has built or loaded the index and compared it with the disk).
  bool WaitUntilWatching() {
    return WaitFor([this] { return Err().find("watching") != std::string::npos || Ended(); }) &&
           !Ended();
  }
  std::string Err() const { return logs_.Exists("err") ? logs_.Read("err") : ""; }
  // Sends the signal and returns the exit status (-1 when it did not end by exit).
  int Stop(int signal) {
    kill(pid_, signal);
    return Wait();
  }

 private:
  bool Ended() {
    int status = 0;
    if (pid_ <= 0 || waitpid(pid_, &status, WNOHANG) != pid_) return false;
    pid_ = -1;
    return true;
  }
  int Wait() {
    int status = 0;
    while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
    pid_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  const TestInstallation& install_;
  TempDir logs_;
  int pid_ = -1;
};

class JollixWatch : public ::testing::Test {
 protected:
  void SetUp() override { install_.WriteConfig(86400, 0); }

  // How often each full path that `jollix find --paths WORDS` prints is printed.
  std::map<std::string, int> Found(const std::string& words) {
    ProgramRun run =
        RunHeadless(BuildProgram("jollix"), {"jollix", "find", "--paths", words}, install_.Env());
    std::map<std::string, int> paths;
    std::istringstream lines(run.Out);
    for (std::string line; std::getline(lines, line);) ++paths[line];
    return paths;
  }
  // Waits until the search shows exactly these paths, each once.
  bool FindsExactly(const std::string& words, const std::map<std::string, int>& paths) {
    return WaitFor([&] { return Found(words) == paths; });
  }
  std::string Tree(const std::string& relative) const { return install_.Tree() + "/" + relative; }
  void Write(const std::string& relative, const std::string& content = "x") const {
    install_.dir().Write("tree/" + relative, content);
  }

  TestInstallation install_;
};

// With no index yet it builds one; then a file made, a folder made with files in it and a file
// renamed are found; a second watcher is refused; SIGTERM ends it with status 0.
TEST_F(JollixWatch, KeepsTheIndexLiveAndEndsCleanlyOnSigterm) {
  WatchProcess watch(install_);
  ASSERT_TRUE(watch.WaitUntilWatching()) << watch.Err();
  EXPECT_TRUE(fs::exists(install_.Home() + "/index/IndexData.ind"));

  Write("Sub/fresh.txt");
  EXPECT_TRUE(FindsExactly("fresh", {{Tree("Sub/fresh.txt"), 1}}));
  Write("new/deeper/nested.txt");
  EXPECT_TRUE(FindsExactly("nested", {{Tree("new/deeper/nested.txt"), 1}}));
  fs::rename(Tree("a.txt"), Tree("Sub/renamed.txt"));
  EXPECT_TRUE(FindsExactly("txt", {{Tree("Sub/fresh.txt"), 1},
                                   {Tree("Sub/renamed.txt"), 1},
                                   {Tree("new/deeper/nested.txt"), 1}}));

  ProgramRun second = RunHeadless(BuildProgram("jollix"), {"jollix", "watch"}, install_.Env());
  EXPECT_EQ(second.ExitStatus, 1) << second.Err;
  EXPECT_EQ(watch.Stop(SIGTERM), 0) << watch.Err();
}

// An index run while the watcher runs: its generation is taken up, and what changes after it is
// still found, each once.
TEST_F(JollixWatch, AnIndexRunWhileWatchingStaysRight) {
  WatchProcess watch(install_);
  ASSERT_TRUE(watch.WaitUntilWatching()) << watch.Err();
  Write("before the run.txt");
  EXPECT_TRUE(FindsExactly("run", {{Tree("before the run.txt"), 1}}));
  ProgramRun index =
      RunHeadless(BuildProgram("jollix"), {"jollix", "index", "--now"}, install_.Env());
  ASSERT_EQ(index.ExitStatus, 0) << index.Err;
  Write("after the run.txt");
  EXPECT_TRUE(
      FindsExactly("run", {{Tree("before the run.txt"), 1}, {Tree("after the run.txt"), 1}}));
  EXPECT_EQ(watch.Stop(SIGINT), 0) << watch.Err();
}

// A watcher killed in the middle of a burst of writes, and a restart: every file of the burst
// is found once.
TEST_F(JollixWatch, AKillInABurstAndARestartLoseNothingAndDoubleNothing) {
  std::map<std::string, int> burst;
  {
    WatchProcess watch(install_);
    ASSERT_TRUE(watch.WaitUntilWatching()) << watch.Err();
    for (int i = 0; i < 300; ++i) {
      const std::string name =
          "burst/f" + std::to_string(i / 30) + "/burst" + std::to_string(i) + ".txt";
      Write(name);
      burst[Tree(name)] = 1;
      if (i == 150) watch.Stop(SIGKILL);
    }
  }
  WatchProcess restarted(install_);
  ASSERT_TRUE(restarted.WaitUntilWatching()) << restarted.Err();
  EXPECT_TRUE(FindsExactly("burst", [&] {
    std::map<std::string, int> all = burst;
    all[Tree("burst")] = 1;
    return all;
  }()));
  EXPECT_EQ(restarted.Stop(SIGTERM), 0) << restarted.Err();
}

}  // namespace
}  // namespace jollix
