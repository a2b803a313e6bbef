#include "indexer/FolderWalk.h"

#include <dirent.h>
#include <fcntl.h>
#include <malloc.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "common/FileRecord.h"
#include "common/Gbk.h"
#include "indexer/ScanDisk.h"

namespace jollix {
namespace {

constexpr size_t kDirentBuffer = 32768;

// An open folder that its subfolders are opened relative to, so that opening one costs a lookup
// of its own name rather than a walk of its whole path. Closed with the last subfolder opened.
struct FolderHandle {
  explicit FolderHandle(int fd) : Fd(fd) {}
  ~FolderHandle();
  const int Fd;
};

// Open handles at most: a walk keeps one per folder whose subfolders are not all listed yet,
// which stays far below this in a tree of any shape; beyond it a subfolder is opened by path.
constexpr int kMaxHandles = 256;
std::atomic<int> open_handles{0};

FolderHandle::~FolderHandle() {
  close(Fd);
  --open_handles;
}

// One folder of the walk and, once listed, its records and subfolders.
struct Listing {
  enum State : int { kPending = 0, kClaimed, kListed };

  Listing(std::string gbk, std::string disk, bool root, std::shared_ptr<FolderHandle> parent,
          std::string name)
      : Gbk(std::move(gbk)),
        Disk(std::move(disk)),
        Root(root),
        Parent(std::move(parent)),
        Name(std::move(name)) {}

  const std::string Gbk;   // as the records spell it
  const std::string Disk;  // as the file system spells it
  const bool Root;
  std::shared_ptr<FolderHandle> Parent;  // null: opened by its path
  const std::string Name;                // the name in Parent
  std::atomic<int> Status{kPending};
  std::string Records;
  int Entries = 0;
  std::vector<std::shared_ptr<Listing>> Subfolders;  // in listing order
};

// Opens a folder for listing. The configured folder itself may be reached through a symbolic
// link; a subfolder never is (it was seen as a real folder, and must still be one).
int OpenFolder(const Listing& folder) {
  const int flags = O_RDONLY | O_DIRECTORY | O_CLOEXEC | (folder.Root ? 0 : O_NOFOLLOW);
  if (folder.Parent) return openat(folder.Parent->Fd, folder.Name.c_str(), flags);
  return open(folder.Disk.c_str(), flags);
}

struct LinuxDirent {
  uint64_t Inode;
  int64_t Offset;
  unsigned short Length;
  unsigned char Type;
  char Name[1];
};

void List(Listing& folder) {
  const int fd = OpenFolder(folder);
  folder.Parent.reset();
  if (fd < 0) return;
  // One buffer per thread, large enough for most folders in one call.
  thread_local std::unique_ptr<char[]> buffer(new char[kDirentBuffer]);
  std::shared_ptr<FolderHandle> handle;
  std::string gbk_name;
  for (;;) {
    const long got = syscall(SYS_getdents64, fd, buffer.get(), kDirentBuffer);
    if (got <= 0) break;
    for (long at = 0; at < got;) {
      const auto* entry = reinterpret_cast<const LinuxDirent*>(buffer.get() + at);
      at += entry->Length;
      const char* name = entry->Name;
      if (!IsRecordedName(name)) continue;
      gbk_name = FileNameToGbk(name);
      if (!FitsPathBuffers(folder.Gbk.size(), gbk_name.size())) continue;
      struct stat st;
      if (fstatat(fd, name, &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
      AppendEntryRecord(&folder.Records, gbk_name, folder.Gbk, st);
      if (S_ISDIR(st.st_mode)) {
        if (!handle && ++open_handles <= kMaxHandles) {
          handle = std::make_shared<FolderHandle>(fd);
        } else if (!handle) {
          --open_handles;
        }
        folder.Subfolders.push_back(std::make_shared<Listing>(
            folder.Gbk + kPathSeparator + gbk_name, folder.Disk + '/' + name, false, handle, name));
      }
      ++folder.Entries;
    }
  }
  if (!handle) close(fd);  // else closed with the last subfolder that needs it
}

}  // namespace

bool FitsPathBuffers(size_t gbk_folder_size, size_t gbk_name_size) {
  return gbk_folder_size + 1 + gbk_name_size < kMaxFolderPath;
}

void AppendEntryRecord(std::string* out, std::string_view gbk_name, std::string_view gbk_folder,
                       const struct stat& st) {
  const int32_t time = static_cast<int32_t>(st.st_mtim.tv_sec);
  if (S_ISDIR(st.st_mode)) {
    AppendFileRecord(out, kFolderRecord, gbk_name, gbk_folder, 0, time);
  } else {
    AppendFileRecord(out, kFileRecord, gbk_name, gbk_folder,
                     RecordedSize(static_cast<uint64_t>(st.st_size)), time);
  }
}

namespace {

// Lists a folder unless another thread has claimed it; true when this thread listed it.
bool ListIfPending(Listing& folder) {
  int pending = Listing::kPending;
  if (!folder.Status.compare_exchange_strong(pending, Listing::kClaimed)) return false;
  List(folder);
  folder.Status.store(Listing::kListed, std::memory_order_release);
  folder.Status.notify_all();
  return true;
}

// The folders known but not yet claimed, newest last, shared by the walking thread and the
// helpers.
class Pending {
 public:
  void Add(const std::vector<std::shared_ptr<Listing>>& folders) {
    if (folders.empty()) return;
    bool wake;
    {
      std::lock_guard<std::mutex> lock(mu_);
      stack_.insert(stack_.end(), folders.begin(), folders.end());
      wake = idle_ > 0;
    }
    if (wake) cv_.notify_all();
  }
  // The newest pending folder, or null when there is none (wait: until there is one or the
  // walk ends).
  std::shared_ptr<Listing> Take(bool wait) {
    std::unique_lock<std::mutex> lock(mu_);
    for (;;) {
      while (!stack_.empty()) {
        std::shared_ptr<Listing> folder = std::move(stack_.back());
        stack_.pop_back();
        if (folder->Status.load(std::memory_order_relaxed) == Listing::kPending) return folder;
      }
      if (!wait || done_) return nullptr;
      ++idle_;
      cv_.wait(lock, [&] { return done_ || !stack_.empty(); });
      --idle_;
    }
  }
  void Finish() {
    {
      std::lock_guard<std::mutex> lock(mu_);
      done_ = true;
    }
    cv_.notify_all();
  }

 private:
  std::mutex mu_;
  std::condition_variable cv_;
  std::vector<std::shared_ptr<Listing>> stack_;
  int idle_ = 0;
  bool done_ = false;
};

}  // namespace

int WalkThreadCount() {
  const unsigned cores = std::thread::hardware_concurrency();
  return cores > 0 ? static_cast<int>(cores) : 1;
}

void WalkFolder(const std::string& gbk_root, FILE* out, ScanProgress& progress, int threads) {
  Pending pending;
  std::vector<std::thread> helpers;
  for (int i = 1; i < threads; ++i) {
    helpers.emplace_back([&pending] {
      while (std::shared_ptr<Listing> folder = pending.Take(true)) ListIfPending(*folder);
    });
  }
  std::vector<std::shared_ptr<Listing>> walk;
  walk.push_back(std::make_shared<Listing>(gbk_root, DiskPathFromGbk(gbk_root), true, nullptr, ""));
  while (!walk.empty()) {
    std::shared_ptr<Listing> folder = std::move(walk.back());
    walk.pop_back();
    // The folder the walk writes next: list it here, or help with others until its lister is
    // done.
    while (!ListIfPending(*folder) &&
           folder->Status.load(std::memory_order_acquire) != Listing::kListed) {
      if (std::shared_ptr<Listing> other = pending.Take(false)) {
        ListIfPending(*other);
      } else {
        folder->Status.wait(Listing::kClaimed, std::memory_order_acquire);
      }
    }
    std::fwrite(folder->Records.data(), 1, folder->Records.size(), out);
    progress.EntriesWritten += folder->Entries;
    if (!folder->Subfolders.empty()) progress.SetCurrentFolder(folder->Subfolders.back()->Gbk);
    if (!helpers.empty()) pending.Add(folder->Subfolders);
    for (std::shared_ptr<Listing>& sub : folder->Subfolders) walk.push_back(std::move(sub));
    // The pending stack may still hold the folder (claimed here before a helper came to it):
    // what it listed is freed now, not when that entry is dropped.
    std::string().swap(folder->Records);
    std::vector<std::shared_ptr<Listing>>().swap(folder->Subfolders);
  }
  pending.Finish();
  for (std::thread& t : helpers) t.join();
  // The helpers' listings were allocated in arenas of their own and freed here; hand that
  // memory back, so that it does not add to the peak of the build that follows.
  malloc_trim(0);
}

}  // namespace jollix
