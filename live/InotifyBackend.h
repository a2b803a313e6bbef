// Watching with inotify: one watch per folder, numbered by the kernel (the watch descriptor).
// A folder renamed inside the watched folders comes as two notices paired by a cookie; one
// whose partner does not come in the same Dispatch is taken as a move out (or in).
#pragma once

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "live/WatchBackend.h"

namespace jollix {

class InotifyBackend : public WatchBackend {
 public:
  // nullptr with *error when inotify cannot be set up.
  static std::unique_ptr<InotifyBackend> Create(ChangeSink* sink, const WatchOptions& options,
                                                std::string* error);
  ~InotifyBackend() override;

  int Fd() const override { return fd_; }
  const char* Method() const override { return "inotify"; }

 protected:
  WatchResult Watch(uint32_t id, int fd, const std::string& path) override;
  void Drop(uint32_t id) override;
  size_t Watches() const override { return folders_.size() + stale_.size(); }
  bool ReadNotices() override;
  void SettleNotices() override;
  void BeginRebuild() override;
  void EndRebuild() override;
  const char* LimitSetting() const override { return "fs.inotify.max_user_watches"; }
  size_t SystemLimit() const override;

 private:
  InotifyBackend(ChangeSink* sink, const WatchOptions& options, int fd);
  void Report(int wd, uint32_t mask, uint32_t cookie, const char* name);
  void ReportFolder(uint32_t id, uint32_t mask, uint32_t cookie, const char* name);

  struct MoveFrom {
    uint32_t Cookie;
    uint32_t Folder;
  };

  int fd_;
  std::unordered_map<int, uint32_t> folders_;  // watch descriptor -> folder
  std::unordered_map<int, uint32_t> stale_;    // during a rebuild: watches not yet seen again
  std::vector<MoveFrom> moves_;                // folders moved away, waiting for their partner
};

}  // namespace jollix
