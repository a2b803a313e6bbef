#include "live/Watcher.h"

#include <fcntl.h>
#include <poll.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "gtest/gtest.h"
#include "testing/TempDir.h"

namespace jollix {
namespace {

namespace fs = std::filesystem;
using testing::TempDir;

class RecordingSink : public ChangeSink {
 public:
  void EntryChanged(std::string_view path) override { entries.emplace_back(path); }
  void SubtreeChanged(std::string_view path) override { subtrees.emplace_back(path); }
  void Flush() override { ++flushes; }

  bool Entry(const std::string& path) const {
    return std::count(entries.begin(), entries.end(), path) > 0;
  }
  bool Subtree(const std::string& path) const {
    return std::count(subtrees.begin(), subtrees.end(), path) > 0;
  }
  // Whether a notice leads the sink to look at path: its own, or one of a folder above it.
  bool Covers(const std::string& path) const {
    if (Entry(path)) return true;
    for (std::string p = path; !p.empty(); p = p.substr(0, p.rfind('/'))) {
      if (Subtree(p)) return true;
    }
    return false;
  }
  bool Silent() const { return entries.empty() && subtrees.empty(); }
  void Clear() {
    entries.clear();
    subtrees.clear();
  }

  std::vector<std::string> entries, subtrees;
  int flushes = 0;
};

void Touch(const std::string& path, const std::string& content = "") {
  std::ofstream(path, std::ios::binary | std::ios::app) << content;
}

struct Method {
  const char* Name;
  WatchOptions Options;
  const char* Kind;  // the Method() it must get
};

const Method kMethods[] = {
    {"inotify", {0, true, false}, "inotify"},
    {"fanotify_disk", {0, false, false}, "fanotify"},
    {"fanotify_folders", {0, false, true}, "fanotify"},
};

class WatcherTest : public ::testing::TestWithParam<Method> {
 protected:
  // Starts a watcher on the temp folder's "root" (made here).
  void Start(WatchOptions options = GetParam().Options) {
    fs::create_directories(root_);
    std::string error;
    watcher_ = Watcher::Start({root_}, &sink_, options, &error);
    ASSERT_TRUE(watcher_) << error;
    if (std::string(watcher_->Method()) != GetParam().Kind) {
      GTEST_SKIP() << GetParam().Kind << " cannot watch here (no CAP_SYS_ADMIN for a whole-disk "
                   << "mark, or a kernel before 5.17): the watcher took " << watcher_->Method();
    }
  }

  // Passes on everything the kernel holds. The kernel queues a notice within the system call
  // that causes it, so what the test did is all there when this runs.
  void Drain() {
    pollfd p{watcher_->Fd(), POLLIN, 0};
    while (poll(&p, 1, 0) > 0) watcher_->Dispatch();
  }

  // Drains what the test's set-up caused, so that a check sees only the notices of its step.
  void Quiet() {
    Drain();
    sink_.Clear();
  }

  TempDir temp_;
  std::string root_ = temp_ / "root";
  RecordingSink sink_;
  std::unique_ptr<Watcher> watcher_;
};

TEST_P(WatcherTest, FileCreatedWrittenRenamedDeleted) {
  Start();
  if (IsSkipped()) return;
  std::string a = root_ + "/a.txt", b = root_ + "/b.txt";
  struct Step {
    const char* what;
    std::function<void()> act;
    std::vector<std::string> expected;
  };
  const Step steps[] = {
      {"create", [&] { Touch(a, "text"); }, {a}},
      {"grow", [&] { Touch(a, "more text"); }, {a}},
      {"new time", [&] { utimensat(AT_FDCWD, a.c_str(), nullptr, 0); }, {a}},
      {"rename", [&] { fs::rename(a, b); }, {a, b}},
      {"delete", [&] { fs::remove(b); }, {b}},
  };
  for (const Step& step : steps) {
    Quiet();
    step.act();
    Drain();
    std::set<std::string> got(sink_.entries.begin(), sink_.entries.end());
    EXPECT_EQ(got, std::set<std::string>(step.expected.begin(), step.expected.end())) << step.what;
    EXPECT_TRUE(sink_.subtrees.empty()) << step.what;
    EXPECT_EQ(sink_.entries.size(), got.size()) << step.what << ": each path once";
  }
  EXPECT_GT(sink_.flushes, 0);
}

TEST_P(WatcherTest, NewFolderIsWatchedAtOnceAndWhatCameBeforeIsCovered) {
  Start();
  if (IsSkipped()) return;
  Quiet();
  fs::create_directories(root_ + "/new/deeper");
  Touch(root_ + "/new/first.txt");
  Touch(root_ + "/new/deeper/second.txt");
  Drain();
  EXPECT_TRUE(sink_.Covers(root_ + "/new"));
  EXPECT_TRUE(sink_.Covers(root_ + "/new/first.txt"));
  EXPECT_TRUE(sink_.Covers(root_ + "/new/deeper/second.txt"));

  Quiet();
  Touch(root_ + "/new/deeper/third.txt");
  Drain();
  EXPECT_TRUE(sink_.Entry(root_ + "/new/deeper/third.txt"));
}

TEST_P(WatcherTest, FolderMovedInRenamedAndOut) {
  fs::create_directories(temp_ / "outside/sub");
  Touch(temp_ / "outside/sub/old.txt");
  Start();
  if (IsSkipped()) return;

  Quiet();
  fs::rename(temp_ / "outside", root_ + "/in");
  Drain();
  EXPECT_TRUE(sink_.Subtree(root_ + "/in"));
  Quiet();
  Touch(root_ + "/in/sub/new.txt");
  Drain();
  EXPECT_TRUE(sink_.Entry(root_ + "/in/sub/new.txt")) << "a folder moved in is watched";

  Quiet();
  fs::rename(root_ + "/in", root_ + "/renamed");
  Drain();
  EXPECT_TRUE(sink_.Subtree(root_ + "/in"));
  EXPECT_TRUE(sink_.Subtree(root_ + "/renamed"));
  Quiet();
  Touch(root_ + "/renamed/sub/after.txt");
  Drain();
  EXPECT_EQ(sink_.entries, std::vector<std::string>{root_ + "/renamed/sub/after.txt"});

  Quiet();
  fs::rename(root_ + "/renamed", temp_ / "gone");
  Drain();
  EXPECT_TRUE(sink_.Subtree(root_ + "/renamed"));
  Quiet();
  Touch(temp_ / "gone/sub/later.txt");
  Drain();
  EXPECT_TRUE(sink_.Silent()) << "a folder moved out is no longer watched";
}

TEST_P(WatcherTest, DotNamesAndLinkedFoldersAreNotWatched) {
  fs::create_directories(root_ + "/.git/objects");
  fs::create_directories(temp_ / "elsewhere");
  Start();
  if (IsSkipped()) return;
  fs::create_directory_symlink(temp_ / "elsewhere", root_ + "/link");
  Quiet();
  Touch(root_ + "/.profile");
  Touch(root_ + "/.git/objects/pack");
  fs::create_directories(root_ + "/.cache/deep");
  Touch(root_ + "/.cache/deep/file");
  Touch(temp_ / "elsewhere/file");
  Drain();
  EXPECT_TRUE(sink_.Silent()) << (sink_.entries.empty() ? "" : sink_.entries[0]);

  fs::rename(root_ + "/.cache", root_ + "/cache");
  Drain();
  EXPECT_TRUE(sink_.Subtree(root_ + "/cache")) << "a dot folder renamed into sight";
}

// The live index's own index folder, inside a watched folder, is left out: its writes would
// come back to it as notices without end.
TEST_P(WatcherTest, SkippedFoldersAreLeftOut) {
  fs::create_directories(root_ + "/install/index");
  WatchOptions options = GetParam().Options;
  options.Skip = {root_ + "/install/index"};
  Start(options);
  if (IsSkipped()) return;
  Quiet();
  Touch(root_ + "/install/index/Journal.dat", "a line");
  Drain();
  EXPECT_TRUE(sink_.Silent()) << (sink_.entries.empty() ? "" : sink_.entries[0]);
  Touch(root_ + "/install/config.txt", "x");
  Drain();
  EXPECT_EQ(sink_.entries, std::vector<std::string>{root_ + "/install/config.txt"});
}

TEST_P(WatcherTest, RootDeleted) {
  Start();
  if (IsSkipped()) return;
  Touch(root_ + "/file");
  Quiet();
  fs::remove_all(root_);
  Drain();
  EXPECT_TRUE(sink_.Subtree(root_));
}

TEST_P(WatcherTest, BurstWhileDispatching) {
  Start();
  if (IsSkipped()) return;
  Quiet();
  constexpr int kFolders = 20, kFiles = 100;
  std::atomic<bool> finished{false};
  std::thread burst([&] {
    for (int d = 0; d < kFolders; ++d) {
      std::string folder = root_ + "/burst" + std::to_string(d);
      fs::create_directory(folder);
      for (int f = 0; f < kFiles; ++f) Touch(folder + "/f" + std::to_string(f), "x");
    }
    finished = true;
  });
  pollfd p{watcher_->Fd(), POLLIN, 0};
  while (!finished) {
    if (poll(&p, 1, 10) > 0) watcher_->Dispatch();
  }
  burst.join();
  Drain();
  int missing = 0;
  for (int d = 0; d < kFolders; ++d) {
    for (int f = 0; f < kFiles; ++f) {
      std::string path = root_ + "/burst" + std::to_string(d) + "/f" + std::to_string(f);
      if (!sink_.Covers(path)) ++missing;
    }
  }
  EXPECT_EQ(missing, 0);
}

// More notices than the kernel's queue holds: with a fixed queue the roots are looked at whole
// and the folders walked again; a whole-disk mark's queue has no limit and drops nothing.
TEST_P(WatcherTest, OverflowRescansTheRootsAndWatchesWhatCameMeanwhile) {
  const char* limit_file = GetParam().Kind == std::string("fanotify")
                               ? "/proc/sys/fs/fanotify/max_queued_events"
                               : "/proc/sys/fs/inotify/max_queued_events";
  long limit = 0;
  if (FILE* f = fopen(limit_file, "r")) {
    if (fscanf(f, "%ld", &limit) != 1) limit = 0;
    fclose(f);
  }
  if (limit <= 0 || limit > 100000) GTEST_SKIP() << "the kernel's queue holds " << limit;
  const bool unlimited =
      GetParam().Kind == std::string("fanotify") && !GetParam().Options.NoFilesystemMark;
  fs::create_directories(root_ + "/flood");
  Start();
  if (IsSkipped()) return;
  Quiet();
  for (long i = 0; i <= limit; ++i) {
    int fd = open((root_ + "/flood/" + std::to_string(i)).c_str(), O_CREAT | O_WRONLY, 0644);
    close(fd);
  }
  fs::create_directories(root_ + "/later");  // its notice is lost
  Drain();
  if (unlimited) {  // a whole-disk mark comes with a queue without a limit: nothing is dropped
    EXPECT_FALSE(sink_.Subtree(root_));
    EXPECT_EQ(sink_.entries.size(), static_cast<size_t>(limit + 1));
  } else {
    EXPECT_TRUE(sink_.Subtree(root_)) << "notices were dropped: the whole root is looked at";
  }

  Quiet();
  Touch(root_ + "/later/file");
  Drain();
  EXPECT_TRUE(sink_.Entry(root_ + "/later/file")) << "a folder made during the flood is watched";
}

TEST_P(WatcherTest, WatchLimitWatchesWhatFitsAndSaysSo) {
  if (GetParam().Kind == std::string("fanotify") && !GetParam().Options.NoFilesystemMark) {
    GTEST_SKIP() << "one whole-disk mark covers every folder";
  }
  for (const char* folder : {"a", "b", "c", "d", "e"}) fs::create_directories(root_ + "/" + folder);
  WatchOptions options = GetParam().Options;
  options.MaxWatches = 3;
  ::testing::internal::CaptureStderr();
  Start(options);
  std::string said = ::testing::internal::GetCapturedStderr();
  if (IsSkipped()) return;
  EXPECT_EQ(watcher_->UnwatchedFolders(), 3u);
  EXPECT_NE(said.find("3 folders are not watched"), std::string::npos) << said;
  const char* setting = GetParam().Kind == std::string("fanotify") ? "fs.fanotify.max_user_marks"
                                                                   : "fs.inotify.max_user_watches";
  EXPECT_NE(said.find(std::string("sudo sysctl ") + setting + "="), std::string::npos) << said;

  // What is watched still works.
  Quiet();
  Touch(root_ + "/top.txt");
  Drain();
  EXPECT_TRUE(sink_.Entry(root_ + "/top.txt"));
}

INSTANTIATE_TEST_SUITE_P(Methods, WatcherTest, ::testing::ValuesIn(kMethods),
                         [](const auto& info) { return std::string(info.param.Name); });

}  // namespace
}  // namespace jollix
