// What fanotify and inotify watching share: the tree of folders, the walk that watches a folder
// and everything below it, the rules that turn the kernel's notices into the sink's, the
// rebuild after an overflow and the notice about a limit. A backend reads its own kernel's
// notices and reports them through the protected On… calls, naming folders by their number in
// the tree.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <ctime>
#include <set>
#include <string>
#include <string_view>
#include <unordered_set>
#include <utility>
#include <vector>

#include "live/ChangeSink.h"
#include "live/FolderTree.h"
#include "live/Watcher.h"

namespace jollix {

enum class WatchResult {
  kWatched,  // the folder is watched (now or already)
  kAlready,  // the same folder is watched under another path (nested roots): not walked again
  kLimit,    // a limit of watches was reached
  kFailed,   // the kernel refused for another reason
};

class WatchBackend {
 public:
  WatchBackend(ChangeSink* sink, const WatchOptions& options);
  virtual ~WatchBackend() = default;

  // Builds the tree of the roots and watches it. False (with *error) when a root that exists
  // could not be watched at all, so that another way of watching is worth a try.
  bool WatchRoots(const std::vector<std::string>& roots, std::string* error);
  void Dispatch();
  size_t UnwatchedFolders() const { return missed_; }

  virtual int Fd() const = 0;
  virtual const char* Method() const = 0;

 protected:
  // Watches folder id, open for reading as fd at path.
  virtual WatchResult Watch(uint32_t id, int fd, const std::string& path) = 0;
  // Folder id leaves the tree: stop watching it where it is watched, forget its number.
  virtual void Drop(uint32_t id) = 0;
  // Watches held, for WatchOptions::MaxWatches.
  virtual size_t Watches() const = 0;
  // Reads one buffer of notices and reports them; false when none waited.
  virtual bool ReadNotices() = 0;
  // Called when a Dispatch stops reading: notices held back to be paired are settled.
  virtual void SettleNotices() {}
  // Around the rebuild after an overflow: the tree is cleared and walked again, the kernel's
  // watches kept where they still apply.
  virtual void BeginRebuild() {}
  virtual void EndRebuild() {}
  // The system setting that limits the watches, and its value.
  virtual const char* LimitSetting() const = 0;
  virtual size_t SystemLimit() const = 0;

  // An entry name in folder parent changed (files and folders alike).
  void OnEntry(uint32_t parent, std::string_view name);
  // Folder id itself changed its attributes.
  void OnFolderItself(uint32_t id);
  // A folder name appeared in parent (made, or moved in from outside).
  void OnFolderCreated(uint32_t parent, std::string_view name);
  // The folder name left parent (deleted, or moved out of the watched folders).
  void OnFolderGone(uint32_t parent, std::string_view name);
  // Folder id was renamed to name in parent.
  void OnFolderMoved(uint32_t id, uint32_t parent, std::string_view name);
  // Root folder id was deleted or moved away.
  void OnRootGone(uint32_t id);
  // The kernel dropped notices.
  void OnOverflow();

  FolderTree tree_;
  const WatchOptions options_;

 private:
  // False when folder id is not there (any more).
  bool WalkBelow(uint32_t id);
  // Whether a folder name (an entry of the folder open as dir_fd) or path is one of
  // WatchOptions::Skip. inode: the entry's inode number from the listing, 0 when unknown.
  bool Skipped(int dir_fd, const char* name, ino_t inode) const;
  WatchResult WatchOne(uint32_t id, int fd, const std::string& path);
  void ListSubfolders(uint32_t id, int fd);
  void RemoveFolder(uint32_t id);
  void Note(bool subtree, std::string path);
  void Deliver();
  void ReportMissed();

  ChangeSink* sink_;
  std::set<std::pair<dev_t, ino_t>> skip_;  // WatchOptions::Skip as device and inode
  std::set<ino_t> skip_inodes_;             // their inodes alone, to pass over the rest cheaply
  std::vector<std::pair<bool, std::string>> notices_;  // subtree?, path; in the order noted
  std::unordered_set<std::string> noted_;              // the same, as a kind byte and the path
  size_t missed_ = 0;
  bool limit_reached_ = false;  // no more watches are tried until a watched folder goes
  bool limit_seen_ = false;     // folders were missed by a limit (not only by refusals)
  size_t reported_missed_ = 0;
  std::chrono::steady_clock::time_point last_dispatch_;
  time_t reported_at_ = 0;
};

// The number a file of /proc/sys holds (a kernel limit), or 0 when it cannot be read.
size_t ReadSystemNumber(const char* file);

}  // namespace jollix
