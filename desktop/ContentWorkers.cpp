#include "desktop/ContentWorkers.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <string_view>

#include "common/Gbk.h"

namespace jollix {
namespace {

// Files a thread claims at once: neighbours, mostly of one folder.
constexpr size_t kRun = 16;
constexpr int kNotOpened = -2;

}  // namespace

// A thread's folder: the folder field it last entered, the descriptors of its two spellings
// (converted from GBK, and raw), opened when first needed, and scratch texts reused from file
// to file.
class ContentWorkers::Folder {
 public:
  Folder() : Buffer(new unsigned char[kContentChunk]) {}
  ~Folder() { Leave(); }
  Folder(const Folder&) = delete;
  Folder& operator=(const Folder&) = delete;

  bool Entered(std::string_view gbk_folder) const { return entered_ && gbk_folder == gbk_; }

  // Makes gbk_folder (a folder field: empty or ending with '/') the folder entered.
  void Enter(std::string_view gbk_folder) {
    if (Entered(gbk_folder)) return;
    Leave();
    entered_ = true;
    gbk_.assign(gbk_folder);
    Convertible = GbkToUtf8(gbk_, &utf8_);
  }

  // The descriptor of the folder entered, in its converted or raw spelling; -1 when it cannot
  // be opened.
  int Descriptor(bool raw) {
    int& fd = raw || utf8_ == gbk_ ? raw_fd_ : utf8_fd_;
    if (fd == kNotOpened) {
      const std::string& path = raw ? gbk_ : utf8_;
      fd = path.empty() ? AT_FDCWD : open(path.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    }
    return fd;
  }
  bool RawDiffers() const { return utf8_ != gbk_; }

  // The converted spelling of the whole path of Name in the folder entered.
  const char* ConvertedPath() {
    path_.assign(utf8_).append(Name);
    return path_.c_str();
  }

  std::unique_ptr<unsigned char[]> Buffer;
  bool Convertible = false;  // the folder field is valid GBK
  std::string Name;          // scratch: a name converted

 private:
  void Leave() {
    for (int* fd : {&utf8_fd_, &raw_fd_}) {
      if (*fd >= 0) close(*fd);
      *fd = kNotOpened;
    }
    entered_ = false;
  }

  bool entered_ = false;
  std::string gbk_, utf8_, path_;
  int utf8_fd_ = kNotOpened, raw_fd_ = kNotOpened;
};

int ContentWorkerCount() {
  const unsigned cores = std::thread::hardware_concurrency();
  return cores > 0 ? static_cast<int>(cores) : 1;
}

ContentWorkers::ContentWorkers(const ContentSearch* matcher, const std::atomic<bool>& cancel,
                               std::vector<std::string> paths, int threads)
    : matcher_(matcher), cancel_(cancel), owned_paths_(std::move(paths)) {
  files_.reserve(owned_paths_.size());
  for (const std::string& path : owned_paths_) {
    const size_t slash = path.rfind('/');
    files_.push_back({path.c_str(), static_cast<uint32_t>(path.size()),
                      static_cast<uint32_t>(slash == std::string::npos ? 0 : slash + 1)});
  }
  Start(threads);
}

ContentWorkers::ContentWorkers(const ContentSearch* matcher, const std::atomic<bool>& cancel,
                               std::vector<CandidateFile> files, int threads)
    : matcher_(matcher), cancel_(cancel), files_(std::move(files)) {
  Start(threads);
}

void ContentWorkers::Start(int threads) {
  states_.reset(new std::atomic<int>[files_.size()]);
  for (size_t i = 0; i < files_.size(); ++i) states_[i].store(kWaiting, std::memory_order_relaxed);
  // No more helpers than runs of files: a search of a few files starts no thread at all.
  const size_t runs = (files_.size() + kRun - 1) / kRun;
  const size_t helpers =
      std::min(runs > 1 ? runs : 0, static_cast<size_t>(threads > 1 ? threads - 1 : 0));
  for (size_t i = 0; i < helpers; ++i) {
    threads_.emplace_back([this] {
      Folder folder;
      Work(folder);
    });
  }
}

ContentWorkers::~ContentWorkers() {
  stopping_ = true;
  for (std::thread& t : threads_) t.join();
}

std::optional<bool> ContentWorkers::Answer(size_t i) {
  std::atomic<int>& state = states_[i];
  while (state.load(std::memory_order_acquire) == kWaiting) {
    if (!own_folder_) own_folder_ = std::make_unique<Folder>();
    // This thread tests its own run one file at a time, so that it answers (and its caller adds
    // a row, or cancels) as soon as file i is decided.
    if (own_next_ == own_end_) {
      own_next_ = next_.fetch_add(kRun, std::memory_order_relaxed);
      own_end_ = std::min(own_next_ + kRun, files_.size());
      own_next_ = std::min(own_next_, own_end_);
    }
    if (own_next_ < own_end_) {
      TestOne(own_next_++, *own_folder_);
      continue;
    }
    // Every file is claimed: file i is being read, and its reader ends within one chunk of a
    // cancel, so this wait is bounded.
    state.wait(kWaiting, std::memory_order_acquire);
  }
  const int answer = state.load(std::memory_order_acquire);
  if (answer == kCancelled) return std::nullopt;
  return answer == kFound;
}

void ContentWorkers::Work(Folder& folder) {
  while (!stopping_.load(std::memory_order_relaxed) && TestNext(folder)) {
  }
}

bool ContentWorkers::TestNext(Folder& folder) {
  const size_t first = next_.fetch_add(kRun, std::memory_order_relaxed);
  if (first >= files_.size()) return false;
  const size_t end = std::min(first + kRun, files_.size());
  for (size_t i = first; i < end; ++i) TestOne(i, folder);
  return true;
}

// Whether two files' folder fields are the same.
bool SameFolder(const CandidateFile& a, const CandidateFile& b) {
  return a.NameAt == b.NameAt &&
         std::string_view(a.Path, a.NameAt) == std::string_view(b.Path, b.NameAt);
}

void ContentWorkers::TestOne(size_t i, Folder& folder) {
  // A file alone in its folder among the candidates (a rare word's hits are spread over many
  // folders) is tested by its whole path: one system call, where entering its folder costs an
  // open and a close besides.
  const CandidateFile& file = files_[i];
  // (A path too long for one system call never is: a GBK path of under 1024 bytes stays under
  // PATH_MAX in UTF-8.)
  const bool alone = file.Size < 1024 &&
                     !folder.Entered(std::string_view(file.Path, file.NameAt)) &&
                     (i + 1 == files_.size() || !SameFolder(file, files_[i + 1]));
  const State answer =
      cancel_.load(std::memory_order_relaxed) ? kCancelled : Test(file, folder, alone);
  states_[i].store(answer, std::memory_order_release);
  states_[i].notify_one();
}

// The spellings tried are those of the whole path: its conversion from GBK when the path is valid
// GBK, then its raw bytes when they differ (a name kept raw because it was not UTF-8 on disk).
// A path splits into folder and name at a '/', which is never part of a GBK character, so the
// path is valid GBK exactly when both parts are, and converts part by part.
ContentWorkers::State ContentWorkers::Test(const CandidateFile& file, Folder& folder,
                                           bool alone) const {
  const std::string_view path(file.Path, file.Size);
  const char* raw_name = file.Path + file.NameAt;
  if (file.NameAt > 0 && path[file.NameAt - 1] != '/') {
    // Not a folder field and a name (a damaged record): the whole path, as it stands.
    std::string whole(path);
    folder.Enter({});
    return Test({whole.c_str(), file.Size, 0}, folder, false);
  }
  folder.Enter(path.substr(0, file.NameAt));
  const bool convertible = folder.Convertible && GbkToUtf8(path.substr(file.NameAt), &folder.Name);
  const bool raw_too = convertible && (folder.RawDiffers() || folder.Name != raw_name);
  auto spelling = [&](bool raw, int* dirfd) -> const char* {
    if (alone) {
      *dirfd = AT_FDCWD;
      return raw ? file.Path : folder.ConvertedPath();
    }
    *dirfd = folder.Descriptor(raw);
    return raw ? raw_name : folder.Name.c_str();
  };
  int dirfd;
  if (!matcher_) {
    struct stat st;
    const char* name = spelling(!convertible, &dirfd);
    if (dirfd != -1 && fstatat(dirfd, name, &st, AT_SYMLINK_NOFOLLOW) == 0) return kFound;
    if (!raw_too) return kNotFound;
    name = spelling(true, &dirfd);
    return dirfd != -1 && fstatat(dirfd, name, &st, AT_SYMLINK_NOFOLLOW) == 0 ? kFound : kNotFound;
  }
  int64_t size = 0;
  const char* name = spelling(!convertible, &dirfd);
  int fd = dirfd != -1 ? OpenRegularFileAt(dirfd, name, &size) : -1;
  if (fd < 0 && raw_too) {
    name = spelling(true, &dirfd);
    fd = dirfd != -1 ? OpenRegularFileAt(dirfd, name, &size) : -1;
  }
  if (fd < 0) return kNotFound;
  const int64_t found = matcher_->SearchOpenFile(fd, folder.Buffer.get(), &cancel_, size);
  close(fd);
  if (found == kContentCancelled) return kCancelled;
  return found >= 0 ? kFound : kNotFound;
}

}  // namespace jollix
