// Watching with fanotify: each notice names its folder by the kernel's handle of it (with the
// file system's id) and the entry by its name. The handles of the watched folders are kept
// with the tree, so a notice costs one hash lookup, and a notice from a folder we do not watch
// (a whole-disk mark sees every folder of the file system) is dropped by that same lookup.
// A rename comes as one notice with both places, and a renamed folder keeps its handle.
//
// With CAP_SYS_ADMIN one mark per file system covers every folder, however many, and the queue
// of notices has no limit (it never overflows); without it one mark per folder, limited by
// fs.fanotify.max_user_marks, and the kernel's fixed queue. Needs a kernel that reports renames
// in one notice (Linux 5.17); Create fails otherwise, and the watcher takes inotify.
#pragma once

#include <sys/types.h>

#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

#include "live/WatchBackend.h"

namespace jollix {

class FanotifyBackend : public WatchBackend {
 public:
  // nullptr with *error when fanotify cannot be set up here.
  static std::unique_ptr<FanotifyBackend> Create(ChangeSink* sink, const WatchOptions& options,
                                                 std::string* error);
  ~FanotifyBackend() override;

  int Fd() const override { return fd_; }
  const char* Method() const override { return "fanotify"; }

 protected:
  WatchResult Watch(uint32_t id, int fd, const std::string& path) override;
  void Drop(uint32_t id) override;
  size_t Watches() const override { return whole_disk_ ? marked_disks_.size() : marks_; }
  bool ReadNotices() override;
  void BeginRebuild() override;
  const char* LimitSetting() const override { return "fs.fanotify.max_user_marks"; }
  size_t SystemLimit() const override;

 private:
  FanotifyBackend(ChangeSink* sink, const WatchOptions& options, int fd, bool whole_disk);
  bool HandleOf(int fd, std::string* key);
  WatchResult Mark(int fd, dev_t disk);
  uint32_t FolderOf(std::string_view key) const;
  void Report(uint64_t mask, const char* info, size_t size);

  int fd_;
  bool whole_disk_;  // one mark per file system, else one per folder
  size_t marks_ = 0;
  std::unordered_set<dev_t> marked_disks_;
  std::unordered_map<dev_t, std::string> disk_ids_;  // device -> the file system id notices carry
  // Handles are the file system id, the handle's type and its bytes (about 20 bytes); the map
  // holds their hash, the folder keeps the handle itself to tell two equal hashes apart.
  std::unordered_multimap<size_t, uint32_t> folders_;
};

}  // namespace jollix
