// One watcher per installation: `jollix watch` holds an exclusive lock on index/Watch.lock for
// its whole life, and the search window asks whether someone holds it. The kernel drops the lock
// when its holder ends, however it ends (kill -9 included), so a stale lock never outlives a
// watcher and the file itself means nothing.
#pragma once

#include <string>

namespace jollix {

// Takes the lock of the installation home (index/ is made when missing). True with *fd set to
// the descriptor that holds it (keep it open; closing it releases the lock). False when another
// watcher holds it or the file cannot be made.
bool TakeWatchLock(const std::string& home, int* fd);

// Whether a watcher holds the lock of the installation home now.
bool WatcherRunning(const std::string& home);

}  // namespace jollix
