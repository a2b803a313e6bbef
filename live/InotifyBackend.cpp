#include "live/InotifyBackend.h"

#include <errno.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace jollix {
namespace {

constexpr uint32_t kMask = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_MODIFY |
                           IN_ATTRIB | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR | IN_EXCL_UNLINK;

}  // namespace

std::unique_ptr<InotifyBackend> InotifyBackend::Create(ChangeSink* sink,
                                                       const WatchOptions& options,
                                                       std::string* error) {
  int fd = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  if (fd < 0) {
    *error = std::string("inotify: ") + std::strerror(errno);
    return nullptr;
  }
  return std::unique_ptr<InotifyBackend>(new InotifyBackend(sink, options, fd));
}

InotifyBackend::InotifyBackend(ChangeSink* sink, const WatchOptions& options, int fd)
    : WatchBackend(sink, options), fd_(fd) {}

InotifyBackend::~InotifyBackend() { close(fd_); }

size_t InotifyBackend::SystemLimit() const {
  return ReadSystemNumber("/proc/sys/fs/inotify/max_user_watches");
}

WatchResult InotifyBackend::Watch(uint32_t id, int, const std::string& path) {
  // A root may be reached through a link; no other folder is.
  bool root = tree_[id].Parent == FolderTree::kNone;
  int wd = inotify_add_watch(fd_, path.c_str(), kMask | (root ? 0 : IN_DONT_FOLLOW));
  if (wd < 0) return errno == ENOSPC ? WatchResult::kLimit : WatchResult::kFailed;
  stale_.erase(wd);
  auto [it, added] = folders_.emplace(wd, id);
  if (!added && it->second != id) return WatchResult::kAlready;
  tree_[id].Watch = wd;
  return WatchResult::kWatched;
}

void InotifyBackend::Drop(uint32_t id) {
  int wd = tree_[id].Watch;
  moves_.erase(std::remove_if(moves_.begin(), moves_.end(),
                              [id](const MoveFrom& m) { return m.Folder == id; }),
               moves_.end());
  if (wd < 0) return;
  auto it = folders_.find(wd);
  if (it == folders_.end() || it->second != id) return;
  folders_.erase(it);
  inotify_rm_watch(fd_, wd);  // fails harmlessly when the kernel has dropped it already
}

bool InotifyBackend::ReadNotices() {
  alignas(inotify_event) char buffer[64 * 1024];
  ssize_t n = read(fd_, buffer, sizeof buffer);
  if (n <= 0) return false;
  for (ssize_t at = 0; at + static_cast<ssize_t>(sizeof(inotify_event)) <= n;) {
    const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
    Report(event->wd, event->mask, event->cookie, event->len ? event->name : nullptr);
    at += sizeof(inotify_event) + event->len;
  }
  return true;
}

void InotifyBackend::Report(int wd, uint32_t mask, uint32_t cookie, const char* name) {
  if (mask & IN_Q_OVERFLOW) {
    OnOverflow();
    return;
  }
  auto it = folders_.find(wd);
  if (it == folders_.end()) return;  // a watch dropped already
  uint32_t id = it->second;
  if (mask & IN_IGNORED) {  // the folder is gone; the notice in its parent removes it
    folders_.erase(it);
    tree_[id].Watch = -1;
    return;
  }
  if (!name) {
    if ((mask & (IN_DELETE_SELF | IN_MOVE_SELF)) && tree_[id].Parent == FolderTree::kNone) {
      OnRootGone(id);
    }
    return;
  }
  if (mask & IN_ISDIR) {
    ReportFolder(id, mask, cookie, name);
    return;
  }
  OnEntry(id, name);
}

void InotifyBackend::ReportFolder(uint32_t id, uint32_t mask, uint32_t cookie, const char* name) {
  if (mask & IN_CREATE) {
    OnFolderCreated(id, name);
  } else if (mask & IN_DELETE) {
    OnFolderGone(id, name);
  } else if (mask & IN_MOVED_FROM) {
    uint32_t moved = tree_.Child(id, name);
    if (moved == FolderTree::kNone) {
      OnFolderGone(id, name);
    } else {
      moves_.push_back({cookie, moved});
    }
  } else if (mask & IN_MOVED_TO) {
    auto from = std::find_if(moves_.begin(), moves_.end(),
                             [cookie](const MoveFrom& m) { return m.Cookie == cookie; });
    if (from == moves_.end()) {
      OnFolderCreated(id, name);
      return;
    }
    uint32_t moved = from->Folder;
    moves_.erase(from);
    OnFolderMoved(moved, id, name);
  } else {
    OnEntry(id, name);
  }
}

void InotifyBackend::SettleNotices() {
  // Moved out of the watched folders (or its partner comes with the next Dispatch, which then
  // takes it as moved in: both ways the sink hears both paths).
  while (!moves_.empty()) {
    uint32_t moved = moves_.back().Folder;
    moves_.pop_back();
    OnFolderGone(tree_[moved].Parent, tree_[moved].Name);
  }
}

void InotifyBackend::BeginRebuild() {
  moves_.clear();
  stale_ = std::move(folders_);
  folders_.clear();
}

void InotifyBackend::EndRebuild() {
  for (const auto& [wd, id] : stale_) inotify_rm_watch(fd_, wd);
  stale_.clear();
}

}  // namespace jollix
