#include "live/WatchLock.h"

#include <unistd.h>

#include "gtest/gtest.h"
#include "testing/TempDir.h"

namespace jollix {
namespace {

TEST(WatchLockTest, OneWatcherAtATimeAndOnlyWhileItLives) {
  testing::TempDir home;
  EXPECT_FALSE(WatcherRunning(home.path())) << "no lock file yet";

  int first = -1;
  ASSERT_TRUE(TakeWatchLock(home.path(), &first));
  EXPECT_TRUE(home.Exists("index/Watch.lock"));
  EXPECT_TRUE(WatcherRunning(home.path()));
  EXPECT_TRUE(WatcherRunning(home.path())) << "asking does not take it";
  int second = -1;
  EXPECT_FALSE(TakeWatchLock(home.path(), &second)) << "a second watcher is refused";

  close(first);  // the watcher ends
  EXPECT_FALSE(WatcherRunning(home.path()));
  ASSERT_TRUE(TakeWatchLock(home.path(), &second)) << "the next watcher may start";
  close(second);
}

}  // namespace
}  // namespace jollix
