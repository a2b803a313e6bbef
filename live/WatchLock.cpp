#include "live/WatchLock.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace jollix {
namespace {

std::string LockPath(const std::string& home) { return home + "/index/Watch.lock"; }

}  // namespace

bool TakeWatchLock(const std::string& home, int* fd) {
  mkdir((home + "/index").c_str(), 0755);
  int lock = open(LockPath(home).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  if (lock < 0) return false;
  if (flock(lock, LOCK_EX | LOCK_NB) < 0) {
    close(lock);
    return false;
  }
  *fd = lock;
  return true;
}

bool WatcherRunning(const std::string& home) {
  int lock = open(LockPath(home).c_str(), O_RDONLY | O_CLOEXEC);
  if (lock < 0) return false;
  bool held = flock(lock, LOCK_SH | LOCK_NB) < 0 && errno == EWOULDBLOCK;
  close(lock);  // releases the shared lock when we got it
  return held;
}

}  // namespace jollix
