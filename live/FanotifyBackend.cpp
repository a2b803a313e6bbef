#include "live/FanotifyBackend.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/fanotify.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <string_view>

namespace jollix {
namespace {

constexpr uint64_t kMask = FAN_CREATE | FAN_DELETE | FAN_RENAME | FAN_MODIFY | FAN_ATTRIB |
                           FAN_DELETE_SELF | FAN_MOVE_SELF | FAN_ONDIR;

// The key of a handle: file system id, handle type, handle bytes.
std::string KeyOf(const void* fsid, const file_handle* handle) {
  std::string key(static_cast<const char*>(fsid), sizeof(__kernel_fsid_t));
  key.append(reinterpret_cast<const char*>(&handle->handle_type), sizeof handle->handle_type);
  key.append(reinterpret_cast<const char*>(handle->f_handle), handle->handle_bytes);
  return key;
}

// Where a notice took place: the folder's key and the entry's name. The key is built in place
// (no allocation: most notices of a whole-disk mark are of folders we do not watch and end
// with the lookup of their key).
struct Place {
  char KeyBytes[sizeof(__kernel_fsid_t) + sizeof(int) + MAX_HANDLE_SZ];
  std::string_view Key;
  std::string_view Name;  // "." or empty: the folder itself
  bool Found = false;
};

}  // namespace

std::unique_ptr<FanotifyBackend> FanotifyBackend::Create(ChangeSink* sink,
                                                         const WatchOptions& options,
                                                         std::string* error) {
  const unsigned flags = FAN_CLASS_NOTIF | FAN_REPORT_DFID_NAME | FAN_CLOEXEC | FAN_NONBLOCK;
  // A whole-disk mark hears every change of the file system, so a fixed queue would overflow
  // (and cost a rescan of every root) whenever the sink is slow for a moment, as during a fold
  // of the journal; the same privilege allows a queue without a limit, whose backlog is only as
  // long as the sink's pause.
  int fd = -1;
  if (!options.NoFilesystemMark) {
    fd = fanotify_init(flags | FAN_UNLIMITED_QUEUE, O_RDONLY | O_CLOEXEC);
  }
  if (fd < 0) fd = fanotify_init(flags, O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    *error = std::string("fanotify: ") + std::strerror(errno);
    return nullptr;
  }
  // A mark of no object tells whether this kernel knows every notice we ask for: EINVAL for an
  // unknown one, EBADF (or another error about the missing object) otherwise.
  if (fanotify_mark(fd, FAN_MARK_ADD | FAN_MARK_ONLYDIR, kMask, -1, nullptr) < 0 &&
      errno == EINVAL) {
    close(fd);
    *error = "fanotify: this kernel does not report renames in one notice";
    return nullptr;
  }
  bool whole_disk = !options.NoFilesystemMark;
  return std::unique_ptr<FanotifyBackend>(new FanotifyBackend(sink, options, fd, whole_disk));
}

FanotifyBackend::FanotifyBackend(ChangeSink* sink, const WatchOptions& options, int fd,
                                 bool whole_disk)
    : WatchBackend(sink, options), fd_(fd), whole_disk_(whole_disk) {}

FanotifyBackend::~FanotifyBackend() { close(fd_); }

size_t FanotifyBackend::SystemLimit() const {
  return ReadSystemNumber("/proc/sys/fs/fanotify/max_user_marks");
}

bool FanotifyBackend::HandleOf(int fd, std::string* key) {
  struct stat st;
  if (fstat(fd, &st) < 0) return false;
  auto disk = disk_ids_.find(st.st_dev);
  if (disk == disk_ids_.end()) {
    struct statfs sf;
    if (fstatfs(fd, &sf) < 0) return false;
    std::string id(reinterpret_cast<const char*>(&sf.f_fsid), sizeof sf.f_fsid);
    disk = disk_ids_.emplace(st.st_dev, id).first;
  }
  union {
    file_handle handle;
    char bytes[sizeof(file_handle) + MAX_HANDLE_SZ];
  } h;
  h.handle.handle_bytes = MAX_HANDLE_SZ;
  int mount_id;
  if (name_to_handle_at(fd, "", &h.handle, &mount_id, AT_EMPTY_PATH) < 0) return false;
  *key = KeyOf(disk->second.data(), &h.handle);
  return true;
}

WatchResult FanotifyBackend::Mark(int fd, dev_t disk) {
  if (whole_disk_) {
    if (marked_disks_.count(disk)) return WatchResult::kWatched;
    if (fanotify_mark(fd_, FAN_MARK_ADD | FAN_MARK_FILESYSTEM, kMask, fd, nullptr) == 0) {
      marked_disks_.insert(disk);
      return WatchResult::kWatched;
    }
    if (errno != EPERM || !marked_disks_.empty()) return WatchResult::kFailed;
    whole_disk_ = false;  // not allowed here: one mark per folder from now on
  }
  if (fanotify_mark(fd_, FAN_MARK_ADD | FAN_MARK_ONLYDIR, kMask | FAN_EVENT_ON_CHILD, fd, nullptr) <
      0) {
    return errno == ENOSPC ? WatchResult::kLimit : WatchResult::kFailed;
  }
  ++marks_;
  return WatchResult::kWatched;
}

WatchResult FanotifyBackend::Watch(uint32_t id, int fd, const std::string&) {
  std::string key;
  if (!HandleOf(fd, &key)) return WatchResult::kFailed;
  uint32_t holder = FolderOf(key);
  if (holder == id) return WatchResult::kWatched;
  if (holder != FolderTree::kNone) return WatchResult::kAlready;
  struct stat st;
  if (fstat(fd, &st) < 0) return WatchResult::kFailed;
  WatchResult result = Mark(fd, st.st_dev);
  if (result != WatchResult::kWatched) return result;
  folders_.emplace(std::hash<std::string_view>()(key), id);
  tree_[id].Handle = std::move(key);
  tree_[id].Watch = 1;
  return result;
}

uint32_t FanotifyBackend::FolderOf(std::string_view key) const {
  auto [from, to] = folders_.equal_range(std::hash<std::string_view>()(key));
  for (auto it = from; it != to; ++it) {
    if (tree_[it->second].Handle == key) return it->second;
  }
  return FolderTree::kNone;
}

void FanotifyBackend::Drop(uint32_t id) {
  const std::string& key = tree_[id].Handle;
  if (key.empty()) return;
  auto [from, to] = folders_.equal_range(std::hash<std::string_view>()(key));
  for (auto it = from; it != to; ++it) {
    if (it->second == id) {
      folders_.erase(it);
      break;
    }
  }
  // A folder's own mark goes with the folder when it is deleted; one moved away keeps it (we can
  // no longer name it) and its notices find no folder here.
  if (!whole_disk_ && marks_) --marks_;
  tree_[id].Handle.clear();
  tree_[id].Watch = -1;
}

void FanotifyBackend::BeginRebuild() {
  folders_.clear();
  marks_ = 0;
}

bool FanotifyBackend::ReadNotices() {
  alignas(fanotify_event_metadata) char buffer[64 * 1024];
  ssize_t n = read(fd_, buffer, sizeof buffer);
  if (n <= 0) return false;
  // Notices follow each other at their lengths, which need not keep the header's alignment:
  // each header is copied out before it is read.
  for (ssize_t at = 0; at + static_cast<ssize_t>(sizeof(fanotify_event_metadata)) <= n;) {
    fanotify_event_metadata event;
    std::memcpy(&event, buffer + at, sizeof event);
    if (event.vers != FANOTIFY_METADATA_VERSION || event.event_len < event.metadata_len ||
        at + static_cast<ssize_t>(event.event_len) > n) {
      break;
    }
    if (event.fd >= 0) close(event.fd);  // never opened in this mode; kept safe all the same
    Report(event.mask, buffer + at + event.metadata_len, event.event_len - event.metadata_len);
    at += event.event_len;
  }
  return true;
}

void FanotifyBackend::Report(uint64_t mask, const char* info, size_t size) {
  if (mask & FAN_Q_OVERFLOW) {
    OnOverflow();
    return;
  }
  Place here, from, to;
  for (size_t at = 0; at + sizeof(fanotify_event_info_header) <= size;) {
    fanotify_event_info_fid fid;
    std::memcpy(&fid, info + at, sizeof(fanotify_event_info_header));
    if (fid.hdr.len < sizeof fid + sizeof(file_handle) || at + fid.hdr.len > size) break;
    std::memcpy(&fid, info + at, sizeof fid);
    Place* place = fid.hdr.info_type == FAN_EVENT_INFO_TYPE_OLD_DFID_NAME   ? &from
                   : fid.hdr.info_type == FAN_EVENT_INFO_TYPE_NEW_DFID_NAME ? &to
                   : fid.hdr.info_type == FAN_EVENT_INFO_TYPE_DFID_NAME ||
                           fid.hdr.info_type == FAN_EVENT_INFO_TYPE_DFID
                       ? &here
                       : nullptr;
    if (place) {
      const char* handle = info + at + sizeof fid;
      file_handle head;
      std::memcpy(&head, handle, sizeof head);
      const char* bytes = handle + sizeof head;
      if (sizeof fid + sizeof head + head.handle_bytes > fid.hdr.len) break;
      place->Found = true;
      if (head.handle_bytes > MAX_HANDLE_SZ) break;
      char* key = place->KeyBytes;
      std::memcpy(key, &fid.fsid, sizeof fid.fsid);
      std::memcpy(key + sizeof fid.fsid, &head.handle_type, sizeof head.handle_type);
      std::memcpy(key + sizeof fid.fsid + sizeof head.handle_type, bytes, head.handle_bytes);
      place->Key =
          std::string_view(key, sizeof fid.fsid + sizeof head.handle_type + head.handle_bytes);
      if (fid.hdr.info_type != FAN_EVENT_INFO_TYPE_DFID) place->Name = bytes + head.handle_bytes;
    }
    at += fid.hdr.len;
  }
  bool folder = mask & FAN_ONDIR;
  if (mask & FAN_RENAME) {
    uint32_t old_parent = from.Found ? FolderOf(from.Key) : FolderTree::kNone;
    uint32_t new_parent = to.Found ? FolderOf(to.Key) : FolderTree::kNone;
    if (!folder) {
      if (old_parent != FolderTree::kNone) OnEntry(old_parent, from.Name);
      if (new_parent != FolderTree::kNone) OnEntry(new_parent, to.Name);
      return;
    }
    uint32_t moved =
        old_parent == FolderTree::kNone ? FolderTree::kNone : tree_.Child(old_parent, from.Name);
    if (moved != FolderTree::kNone && new_parent != FolderTree::kNone) {
      OnFolderMoved(moved, new_parent, to.Name);
      return;
    }
    if (old_parent != FolderTree::kNone) OnFolderGone(old_parent, from.Name);
    if (new_parent != FolderTree::kNone) OnFolderCreated(new_parent, to.Name);
    return;
  }
  uint32_t id = here.Found ? FolderOf(here.Key) : FolderTree::kNone;
  if (id == FolderTree::kNone) return;  // not a folder we watch
  if (here.Name.empty() || here.Name == ".") {
    if ((mask & (FAN_DELETE_SELF | FAN_MOVE_SELF)) && tree_[id].Parent == FolderTree::kNone) {
      OnRootGone(id);
    } else if (mask & FAN_ATTRIB) {
      OnFolderItself(id);
    }
    return;
  }
  if (!folder) {
    OnEntry(id, here.Name);
    return;
  }
  // Merged notices of one name do not tell mkdir+rmdir from rmdir+mkdir: drop the folder, then
  // take it up again if the disk still has it.
  if (mask & FAN_DELETE) OnFolderGone(id, here.Name);
  if (mask & FAN_CREATE) OnFolderCreated(id, here.Name);
  if (mask & (FAN_ATTRIB | FAN_MODIFY)) OnEntry(id, here.Name);
}

}  // namespace jollix
