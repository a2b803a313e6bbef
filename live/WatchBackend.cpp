#include "live/WatchBackend.h"

#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <thread>

namespace jollix {
namespace {

// A Dispatch reads at most this many buffers before it passes on what it has: a flood of
// notices reaches the sink in steps instead of after the flood.
constexpr int kReadsPerDispatch = 16;

// Dispatches follow each other at least this far apart: a Dispatch called sooner first waits
// for the rest. A whole-disk mark hears every write of every program on the disk, nearly all of
// it outside the watched folders; read one by one, as they come, those notices would cost a
// wake-up each, and gathered they cost a read per thousand. The wait stays far below the
// second a change may take to become visible.
constexpr std::chrono::milliseconds kDispatchGap{50};

// Says again that folders are not watched at most this often (seconds), however often folders
// beyond the limit are made.
constexpr time_t kReportEvery = 600;

bool Hidden(std::string_view name) { return name.empty() || name[0] == '.'; }

int OpenFolder(const std::string& path, bool root) {
  int flags = O_RDONLY | O_DIRECTORY | O_CLOEXEC | (root ? 0 : O_NOFOLLOW);
  return open(path.c_str(), flags);
}

bool IsFolder(int dir_fd, const dirent* entry) {
  if (entry->d_type != DT_UNKNOWN) return entry->d_type == DT_DIR;
  struct stat st;
  return fstatat(dir_fd, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace

size_t ReadSystemNumber(const char* file) {
  FILE* f = std::fopen(file, "r");
  if (!f) return 0;
  unsigned long long value = 0;
  if (std::fscanf(f, "%llu", &value) != 1) value = 0;
  std::fclose(f);
  return value;
}

WatchBackend::WatchBackend(ChangeSink* sink, const WatchOptions& options)
    : options_(options), sink_(sink) {
  for (const std::string& path : options.Skip) {
    struct stat st;
    if (stat(path.c_str(), &st) != 0) continue;
    skip_.emplace(st.st_dev, st.st_ino);
    skip_inodes_.insert(st.st_ino);
  }
}

bool WatchBackend::Skipped(int dir_fd, const char* name, ino_t inode) const {
  if (skip_.empty() || (inode && !skip_inodes_.count(inode))) return false;
  struct stat st;
  return fstatat(dir_fd, name, &st, AT_SYMLINK_NOFOLLOW) == 0 &&
         skip_.count({st.st_dev, st.st_ino}) > 0;
}

bool WatchBackend::WatchRoots(const std::vector<std::string>& roots, std::string* error) {
  for (const std::string& root : roots) {
    uint32_t id = tree_.AddRoot(root);
    int fd = OpenFolder(root, true);
    if (fd < 0) continue;  // a root that is not there has nothing to watch
    WatchResult result = WatchOne(id, fd, root);
    close(fd);
    if (result == WatchResult::kFailed) {
      *error = "cannot watch " + root;
      return false;
    }
  }
  for (uint32_t root : std::vector<uint32_t>(tree_.Roots())) {
    if (tree_[root].Watch >= 0 || tree_[root].Missed) WalkBelow(root);
  }
  ReportMissed();
  return true;
}

WatchResult WatchBackend::WatchOne(uint32_t id, int fd, const std::string& path) {
  FolderTree::Folder& folder = tree_[id];
  WatchResult result = WatchResult::kLimit;
  if (!limit_reached_ || folder.Watch >= 0) {
    bool full = options_.MaxWatches && Watches() >= options_.MaxWatches && folder.Watch < 0;
    result = full ? WatchResult::kLimit : Watch(id, fd, path);
  }
  if (result == WatchResult::kLimit) limit_reached_ = limit_seen_ = true;
  bool missed = result == WatchResult::kLimit || result == WatchResult::kFailed;
  if (missed && !tree_[id].Missed) ++missed_;
  if (!missed && tree_[id].Missed) --missed_;
  tree_[id].Missed = missed;
  return result;
}

// Watches id and every folder below it, each before it is listed, so that an entry made after
// the listing carries a notice. Folders beyond a limit are still listed, to be counted.
bool WatchBackend::WalkBelow(uint32_t id) {
  std::vector<uint32_t> pending{id};
  bool first = true;
  while (!pending.empty()) {
    uint32_t f = pending.back();
    pending.pop_back();
    std::string path = tree_.Path(f);
    bool root = tree_[f].Parent == FolderTree::kNone;
    int fd = OpenFolder(path, root);
    // Gone already, or not ours to list: a scan records nothing below it either.
    if (fd < 0 && first && (errno == ENOENT || errno == ENOTDIR || errno == ELOOP)) return false;
    if (fd < 0) continue;
    // Roots were watched by WatchRoots, and a root's walk must not stop at its own watch.
    if (!(root && first)) {
      if (WatchOne(f, fd, path) == WatchResult::kAlready) {
        close(fd);
        continue;
      }
    }
    first = false;
    ListSubfolders(f, fd);  // closes fd
    for (uint32_t c = tree_[f].FirstChild; c != FolderTree::kNone; c = tree_[c].NextSibling) {
      pending.push_back(c);
    }
  }
  return true;
}

void WatchBackend::ListSubfolders(uint32_t id, int fd) {
  DIR* dir = fdopendir(fd);
  if (!dir) {
    close(fd);
    return;
  }
  // A folder walked for the first time has no children yet: no need to look for one by name,
  // which would cost the square of the subfolders in a folder with many.
  bool fresh = tree_[id].FirstChild == FolderTree::kNone;
  while (const dirent* entry = readdir(dir)) {
    if (Hidden(entry->d_name) || !IsFolder(dirfd(dir), entry)) continue;
    if (Skipped(dirfd(dir), entry->d_name, entry->d_ino)) continue;
    if (!fresh && tree_.Child(id, entry->d_name) != FolderTree::kNone) continue;
    tree_.Add(id, entry->d_name);
  }
  closedir(dir);
}

void WatchBackend::RemoveFolder(uint32_t id) {
  tree_.Remove(id, [this](uint32_t f) {
    if (tree_[f].Missed) --missed_;
    if (tree_[f].Watch >= 0) limit_reached_ = false;  // room for another watch, perhaps
    Drop(f);
  });
}

void WatchBackend::OnEntry(uint32_t parent, std::string_view name) {
  if (Hidden(name)) return;
  std::string path = tree_.Path(parent);
  path += '/';
  path += name;
  Note(false, std::move(path));
}

void WatchBackend::OnFolderItself(uint32_t id) {
  if (tree_[id].Parent == FolderTree::kNone) return;  // a root is no entry of the index
  Note(false, tree_.Path(id));
}

void WatchBackend::OnFolderCreated(uint32_t parent, std::string_view name) {
  if (Hidden(name) || Skipped(AT_FDCWD, (tree_.Path(parent) + '/').append(name).c_str(), 0)) {
    return;
  }
  uint32_t id = tree_.Child(parent, name);
  if (id == FolderTree::kNone) id = tree_.Add(parent, name);
  std::string path = tree_.Path(id);
  if (!WalkBelow(id)) RemoveFolder(id);  // gone again already
  Note(true, std::move(path));
}

void WatchBackend::OnFolderGone(uint32_t parent, std::string_view name) {
  if (Hidden(name)) return;
  std::string path = tree_.Path(parent);
  path += '/';
  path += name;
  uint32_t id = tree_.Child(parent, name);
  if (id != FolderTree::kNone) RemoveFolder(id);
  Note(true, std::move(path));
}

void WatchBackend::OnFolderMoved(uint32_t id, uint32_t parent, std::string_view name) {
  std::string old_path = tree_.Path(id);
  if (Hidden(name) || Skipped(AT_FDCWD, (tree_.Path(parent) + '/').append(name).c_str(), 0)) {
    RemoveFolder(id);
    Note(true, std::move(old_path));
    return;
  }
  uint32_t replaced = tree_.Child(parent, name);
  if (replaced != FolderTree::kNone && replaced != id) RemoveFolder(replaced);
  tree_.Move(id, parent, name);
  Note(true, std::move(old_path));
  Note(true, tree_.Path(id));
}

void WatchBackend::OnRootGone(uint32_t id) {
  Note(true, tree_.Path(id));
  while (tree_[id].FirstChild != FolderTree::kNone) RemoveFolder(tree_[id].FirstChild);
  Drop(id);
  tree_[id].Watch = -1;
}

void WatchBackend::OnOverflow() {
  std::vector<std::string> roots;
  for (uint32_t root : tree_.Roots()) roots.push_back(tree_[root].Name);
  BeginRebuild();
  tree_.Clear();
  missed_ = 0;
  limit_reached_ = limit_seen_ = false;
  std::string ignored;
  WatchRoots(roots, &ignored);
  EndRebuild();
  for (const std::string& root : roots) Note(true, root);
}

void WatchBackend::Note(bool subtree, std::string path) {
  std::string key = (subtree ? "S" : "E") + path;
  if (!noted_.insert(std::move(key)).second) return;
  notices_.emplace_back(subtree, std::move(path));
}

void WatchBackend::Deliver() {
  for (const auto& [subtree, path] : notices_) {
    if (subtree) {
      sink_->SubtreeChanged(path);
    } else {
      sink_->EntryChanged(path);
    }
  }
  notices_.clear();
  noted_.clear();
  sink_->Flush();
}

void WatchBackend::Dispatch() {
  const auto next = last_dispatch_ + kDispatchGap;
  if (std::chrono::steady_clock::now() < next) std::this_thread::sleep_until(next);
  last_dispatch_ = std::chrono::steady_clock::now();
  for (int i = 0; i < kReadsPerDispatch && ReadNotices(); ++i) {
  }
  SettleNotices();
  ReportMissed();
  Deliver();
}

void WatchBackend::ReportMissed() {
  if (missed_ <= reported_missed_) {
    reported_missed_ = missed_;
    return;
  }
  time_t now = time(nullptr);
  if (reported_at_ && now - reported_at_ < kReportEvery) return;
  reported_at_ = now;
  reported_missed_ = missed_;
  if (!limit_seen_) {
    std::fprintf(stderr,
                 "jollix watch: %zu folders are not watched: the kernel refused to watch them. "
                 "Changes in them wait for the next scheduled index run.\n",
                 missed_);
    return;
  }
  size_t limit = options_.MaxWatches ? options_.MaxWatches : SystemLimit();
  size_t raise = (SystemLimit() + 2 * missed_ + 1023) / 1024 * 1024;
  std::fprintf(stderr,
               "jollix watch: %zu folders are not watched: the limit of %zu watches was reached "
               "(%s). Changes in them wait for the next scheduled index run. To watch them "
               "all, raise the limit, for example to %zu:\n"
               "  sudo sysctl %s=%zu\n"
               "keep it with the line '%s=%zu' in /etc/sysctl.d/90-jollixsearch.conf, and "
               "restart the watcher.\n",
               missed_, limit, LimitSetting(), raise, LimitSetting(), raise, LimitSetting(), raise);
  std::fflush(stderr);
}

}  // namespace jollix
