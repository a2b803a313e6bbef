#include "desktop/ContentWorkers.h"

#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <string_view>

#include "common/Gbk.h"
#include "common/IoBatch.h"
#include "documents/TextCache.h"

namespace jollix {
namespace {

// Files a thread claims at once: neighbours, mostly of one folder.
constexpr size_t kRun = 16;
constexpr int kNotOpened = -2;
// Candidates in a row in one folder from which the existence test reads the folder's names
// once instead of looking each name up (see Folder::Exists).
constexpr size_t kListFrom = 4;
// A file this size or smaller is read in the batch of its run, in one read; a larger one by
// ordinary reads, a chunk at a time.
constexpr size_t kSlotBytes = 65536;
// Searches of fewer files test them by ordinary calls: a batch's ring costs a few hundred
// microseconds to set up the first time, more than it saves on a few hundred files.
// JOLLIX_IO_URING=1 in the environment batches every search, 0 none.
constexpr size_t kBatchFrom = 1024;

// A file of a run whose first open goes to the kernel in one batch with the others (see
// ContentWorkers::TestRun).
struct Batched {
  size_t Index = 0;
  int Dirfd = -1;
  std::string Path;  // relative to Dirfd
  int Fd = -1;       // the open's result
  int Got = -1;      // the read's result
  int64_t Size = 0;
  bool Reading = false;
};

// A file open and found regular that takes long to search: a document, or a file larger than a
// batch's buffer.
struct SlowFile {
  size_t Index = 0;
  int Fd = -1;
  int64_t Size = 0;
  DocumentKind Kind = DocumentKind::kPlain;
};

// How the existence test opens an entry: itself, link or not, without reading it (the same
// lookup as fstatat's, and a success exactly where fstatat succeeds).
constexpr int kExistenceOpen = O_PATH | O_NOFOLLOW | O_CLOEXEC;

// Closes fd now, or keeps it in *deferred to be closed later when deferred is given.
void CloseLater(int fd, std::vector<int>* deferred) {
  if (deferred) {
    deferred->push_back(fd);
  } else {
    close(fd);
  }
}

}  // namespace

// The folders a thread has open, each inside the one before it. A folder is opened relative to
// the deepest of them that holds it, so that the kernel walks only the components below that
// one, where an absolute path walks every component from the root (fifteen and more in a deep
// tree): the candidates come in the walk order of the scan, so the folder entered last mostly
// holds the next one. A folder that holds none of the next ones is closed when one outside it
// is opened. (Keeping every entered folder's parent open as well, so that its other folders
// were one component away, cost more in opens and closes than it saved in lookups.)
class FolderStack {
 public:
  FolderStack() = default;
  ~FolderStack() {
    while (!open_.empty()) Pop();
  }
  FolderStack(const FolderStack&) = delete;
  FolderStack& operator=(const FolderStack&) = delete;

  // Opens the folder at path (ending with '/') with flags; the descriptor (-1 when it cannot be
  // opened) belongs to the stack and stays open until a folder outside path is opened.
  int Open(const std::string& path, int flags) {
    while (!open_.empty() && !Holds(open_.back().Path, path)) Pop();
    const int at = open_.empty() ? AT_FDCWD : open_.back().Fd;
    const size_t rest = open_.empty() ? 0 : open_.back().Path.size();
    const int fd = openat(at, path.c_str() + rest, flags);
    if (fd >= 0) open_.push_back({path, fd});
    return fd;
  }

  // Where the descriptors of folders left go while a batch may still refer to them (see
  // ContentWorkers::TestRun); nullptr: they are closed at once.
  void DeferClosesTo(std::vector<int>* deferred) { deferred_ = deferred; }
  std::vector<int>* DeferredCloses() const { return deferred_; }

  // The deepest open folder that holds path, and in *rest where path goes on below it;
  // AT_FDCWD and 0 when none does.
  int Nearest(std::string_view path, size_t* rest) const {
    for (size_t k = open_.size(); k-- > 0;) {
      if (Holds(open_[k].Path, path)) {
        *rest = open_[k].Path.size();
        return open_[k].Fd;
      }
    }
    *rest = 0;
    return AT_FDCWD;
  }

 private:
  struct Opened {
    std::string Path;
    int Fd;
  };

  // Whether the folder (its path ending with '/') holds path below it.
  static bool Holds(std::string_view folder, std::string_view path) {
    return path.size() > folder.size() && path.substr(0, folder.size()) == folder;
  }

  void Pop() {
    CloseLater(open_.back().Fd, deferred_);
    open_.pop_back();
  }

  std::vector<Opened> open_;
  std::vector<int>* deferred_ = nullptr;
};

// A thread's folder: the folder field it last entered, the descriptors of its two spellings
// (converted from GBK, and raw), opened when first needed, and scratch texts reused from file
// to file.
class ContentWorkers::Folder {
 public:
  Folder() : Buffer(new unsigned char[kContentChunk]) {}
  ~Folder() {
    for (size_t k = SlowNext; k < Slow.size(); ++k) close(Slow[k].Fd);
    Leave();
  }
  Folder(const Folder&) = delete;
  Folder& operator=(const Folder&) = delete;

  bool Entered(std::string_view gbk_folder) const { return entered_ && gbk_folder == gbk_; }
  // Whether the folder entered is to be listed (see Exists).
  bool Listing() const { return list_; }

  // Makes gbk_folder (a folder field: empty or ending with '/') the folder entered; list: the
  // existence of its names is to be told by its listing (see Exists).
  void Enter(std::string_view gbk_folder, bool list) {
    if (Entered(gbk_folder)) return;
    Leave();
    entered_ = true;
    list_ = list;
    gbk_.assign(gbk_folder);
    Convertible = GbkToUtf8(gbk_, &utf8_);
  }

  // The descriptor of the folder entered, in its converted or raw spelling; -1 when it cannot
  // be opened. The converted spelling (or the raw one when they are the same) is opened through
  // the stack of open folders; a raw spelling that differs is opened by its whole path.
  int Descriptor(bool raw) {
    const bool stacked = !raw || utf8_ == gbk_;
    int& fd = stacked ? stacked_fd_ : raw_fd_;
    if (fd == kNotOpened) {
      const std::string& path = raw ? gbk_ : utf8_;
      fd = path.empty() ? AT_FDCWD : -1;
      auto open_folder = [&](int flags) {
        return stacked ? stack_.Open(path, flags | O_DIRECTORY | O_CLOEXEC)
                       : open(path.c_str(), flags | O_DIRECTORY | O_CLOEXEC);
      };
      // A folder to list is opened for reading; one that may be searched but not read is
      // still tested name by name.
      if (!path.empty() && list_) fd = open_folder(O_RDONLY);
      if (fd == -1 && !path.empty()) fd = open_folder(O_PATH);
    }
    return fd;
  }

  // The descriptor to test the converted whole path of Name by, and the part of it relative
  // to that descriptor (see FolderStack).
  const char* ConvertedPathAt(int* dirfd) {
    path_.assign(utf8_).append(Name);
    size_t rest = 0;
    *dirfd = stack_.Nearest(path_, &rest);
    return path_.c_str() + rest;
  }

  // Whether the entry name exists in the folder entered, in the given spelling (a symbolic link
  // counts as itself). In a folder entered to be listed, the first name asked is looked up by
  // fstatat and the folder's names are read once (getdents64); when the lookup reached the
  // folder (the name was found, or is missing rather than refused: the folder may be searched
  // as well as read) and the two agree on that name, every later name of the spelling is
  // answered from the sorted names, without a lookup in the kernel. A folder that cannot be
  // read or searched, or whose answers differ, is tested name by name.
  bool Exists(bool raw, const char* name) {
    const int fd = Descriptor(raw);
    if (fd == -1) return false;
    const int spelling = raw || utf8_ == gbk_ ? 1 : 0;
    if (listed_ == spelling) return std::binary_search(names_.begin(), names_.end(), name);
    struct stat st;
    errno = 0;
    const bool found = fstatat(fd, name, &st, AT_SYMLINK_NOFOLLOW) == 0;
    // A name that was found, or that is missing (not refused), was looked up in the folder.
    const bool searched = found || errno == ENOENT;
    if (list_ && listed_ == kNotListed && fd != AT_FDCWD) {
      listed_ = kUnlisted;
      if (searched && ReadNames(fd) &&
          std::binary_search(names_.begin(), names_.end(), name) == found) {
        listed_ = spelling;
      }
    }
    return found;
  }
  bool RawDiffers() const { return utf8_ != gbk_; }

  // Until EndDeferring, folders left are closed only then: their descriptors stay valid for the
  // opens queued relative to them. Returns the descriptors to close.
  void DeferCloses() { stack_.DeferClosesTo(&deferred_); }
  std::vector<int>& EndDeferring() {
    stack_.DeferClosesTo(nullptr);
    return deferred_;
  }

  // The thread's batch of system calls, made at the first run that can use one; nullptr when
  // the kernel offers none, or refused one.
  IoBatch* Batch() {
    if (!batch_tried_) {
      batch_tried_ = true;
      batch_ = IoBatch::Create(4 * kRun);
    }
    return batch_ && batch_->Usable() ? batch_.get() : nullptr;
  }
  // A buffer of kSlotBytes for each file of a run, made when first needed.
  unsigned char* Slot(size_t k) {
    if (!slots_) slots_.reset(new unsigned char[kRun * kSlotBytes]);
    return slots_.get() + k * kSlotBytes;
  }
  std::array<Batched, kRun> Run;  // the files of a run in the batch, their texts reused
  // Files of the runs tested that take long (large files, documents), open, to be searched
  // after the rest of their run; the next one is Slow[SlowNext].
  std::vector<SlowFile> Slow;
  size_t SlowNext = 0;

  std::unique_ptr<unsigned char[]> Buffer;
  std::string Text;          // scratch: a document's text
  bool Convertible = false;  // the folder field is valid GBK
  std::string Name;          // scratch: a name converted

 private:
  static constexpr int kNotListed = -1, kUnlisted = -2;

  void Leave() {
    if (raw_fd_ >= 0) CloseLater(raw_fd_, stack_.DeferredCloses());
    raw_fd_ = stacked_fd_ = kNotOpened;
    entered_ = false;
    listed_ = kNotListed;
  }

  // Reads the names of the folder open at fd into names_, sorted; false when it cannot.
  bool ReadNames(int fd) {
    size_t used = 0;
    for (;;) {
      if (listing_.size() - used < 32768)
        listing_.resize(std::max<size_t>(65536, 2 * listing_.size()));
      const ssize_t n = getdents64(fd, listing_.data() + used, listing_.size() - used);
      if (n < 0) return false;
      if (n == 0) break;
      used += static_cast<size_t>(n);
    }
    names_.clear();
    for (size_t at = 0; at < used;) {
      const auto* entry = reinterpret_cast<const struct dirent64*>(listing_.data() + at);
      names_.push_back(entry->d_name);
      at += entry->d_reclen;
    }
    std::sort(names_.begin(), names_.end());
    return true;
  }

  bool entered_ = false;
  bool list_ = false;
  int listed_ = kNotListed;  // the spelling names_ holds (0 converted, 1 raw), or none
  std::vector<char> listing_;
  std::vector<std::string_view> names_;
  std::string gbk_, utf8_, path_;
  std::vector<int> deferred_;
  std::unique_ptr<unsigned char[]> slots_;
  bool batch_tried_ = false;
  // Declared after the stack: ended first, so that the closes it still holds are done before
  // the stack closes its folders.
  FolderStack stack_;
  std::unique_ptr<IoBatch> batch_;
  int stacked_fd_ = kNotOpened;  // belongs to stack_
  int raw_fd_ = kNotOpened;      // a raw spelling that differs, opened by its whole path
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
  const char* use = std::getenv("JOLLIX_IO_URING");
  batches_ = files_.size() >= kBatchFrom || (use && std::string_view(use) == "1");
  if (matcher_) text_cache_ = TextCache::ForUser();
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
    // This thread tests a run of its own while it waits, and the long files of its runs one at
    // a time after the rest, so that it answers (and its caller adds a row, or cancels) as soon
    // as file i is decided.
    if (TestSlow(*own_folder_)) continue;
    if (own_next_ == own_end_) {
      own_next_ = next_.fetch_add(kRun, std::memory_order_relaxed);
      own_end_ = std::min(own_next_ + kRun, files_.size());
      own_next_ = std::min(own_next_, own_end_);
    }
    if (batches_ && own_end_ - own_next_ > 1 && own_folder_->Batch()) {
      TestRun(own_next_, own_end_, *own_folder_);
      own_next_ = own_end_;
      continue;
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
  TestRun(first, std::min(first + kRun, files_.size()), folder);
  while (TestSlow(folder)) {
  }
  return true;
}

bool ContentWorkers::TestSlow(Folder& folder) {
  if (folder.SlowNext == folder.Slow.size()) return false;
  const SlowFile& slow = folder.Slow[folder.SlowNext++];
  const CandidateFile& file = files_[slow.Index];
  if (cancel_.load(std::memory_order_relaxed)) {
    close(slow.Fd);
    Post(slow.Index, kCancelled);
  } else if (slow.Kind != DocumentKind::kPlain) {
    Post(slow.Index,
         TestDocument(slow.Kind, slow.Fd, std::string_view(file.Path, file.Size), folder));
  } else {
    Post(slow.Index, SearchOpenFile(slow.Fd, slow.Size, folder));
  }
  if (folder.SlowNext == folder.Slow.size()) {
    folder.Slow.clear();
    folder.SlowNext = 0;
  }
  return true;
}

// Whether two files' folder fields are the same.
bool SameFolder(const CandidateFile& a, const CandidateFile& b) {
  return a.NameAt == b.NameAt &&
         std::string_view(a.Path, a.NameAt) == std::string_view(b.Path, b.NameAt);
}

void ContentWorkers::Post(size_t i, State answer) {
  states_[i].store(answer, std::memory_order_release);
  states_[i].notify_one();
}

ContentWorkers::Mode ContentWorkers::ModeOf(size_t i, const Folder& folder) const {
  // A file alone in its folder among the candidates (a rare word's hits are spread over many
  // folders) is tested by its whole path: one lookup, where entering its folder costs an open
  // and a close besides. So is each of a few entries of a folder for the existence test: their
  // lookups go to the kernel in one batch (see TestRun), and an open of their folder would cost
  // more than the components it saves. (A path too long for one system call never is: a GBK
  // path of under 1024 bytes stays under PATH_MAX in UTF-8.)
  // A folder holding many of them (a common word's) has its names read once (see Folder).
  const CandidateFile& file = files_[i];
  if (folder.Entered(std::string_view(file.Path, file.NameAt)) && (matcher_ || folder.Listing())) {
    return kInFolder;
  }
  size_t run = 1;
  while (run < kListFrom && i + run < files_.size() && SameFolder(file, files_[i + run])) ++run;
  const bool few = run == 1 || (!matcher_ && run < kListFrom);
  if (few && file.Size < 1024) return kAlone;
  if (run >= kListFrom && !matcher_) return kInListedFolder;
  return kInFolder;
}

void ContentWorkers::TestOne(size_t i, Folder& folder) {
  const Mode mode = ModeOf(i, folder);
  Post(i, cancel_.load(std::memory_order_relaxed) ? kCancelled : Test(files_[i], folder, mode));
}

// A run's files are tested in three steps, each a batch of system calls submitted at once
// (common/IoBatch.h): the first open of every file (its first spelling, see Test), then the
// reads of the small files, then their closes (done with the next run's opens). Whatever the
// batch cannot settle - a failed open (the name missing in that spelling, or any error), a file
// that is not regular, a document, a large file, a short read - is tested the ordinary way, so
// the answers are those of Test. The existence test opens the entry itself (O_PATH), which
// succeeds exactly where the lookup of Test does, and a folder to be listed is tested as
// before: its listing answers without a lookup at all.
void ContentWorkers::TestRun(size_t first, size_t end, Folder& folder) {
  IoBatch* batch = batches_ && end - first > 1 ? folder.Batch() : nullptr;
  if (!batch) {
    for (size_t i = first; i < end; ++i) TestOne(i, folder);
    return;
  }
  size_t queued = 0;
  folder.DeferCloses();
  for (size_t i = first; i < end; ++i) {
    const Mode mode = ModeOf(i, folder);
    if (cancel_.load(std::memory_order_relaxed)) {
      Post(i, kCancelled);
      continue;
    }
    // The entries of a folder that is listed are answered by its listing, without a lookup.
    const bool listed =
        !matcher_ && (mode == kInListedFolder || (mode == kInFolder && folder.Listing()));
    Batched& b = folder.Run[queued];
    if (listed || !FirstSpelling(files_[i], folder, mode, &b.Dirfd, &b.Path)) {
      Post(i, Test(files_[i], folder, mode));
      continue;
    }
    b.Index = i;
    b.Reading = false;
    ++queued;
  }
  for (size_t k = 0; k < queued; ++k) {
    Batched& b = folder.Run[k];
    batch->OpenAt(b.Dirfd, b.Path.c_str(), matcher_ ? kRegularFileOpen : kExistenceOpen, &b.Fd);
  }
  batch->Run();
  std::vector<int>& left = folder.EndDeferring();
  for (int fd : left) batch->Close(fd);
  left.clear();
  batched_.fetch_add(queued, std::memory_order_relaxed);

  for (size_t k = 0; k < queued; ++k) {
    Batched& b = folder.Run[k];
    const CandidateFile& file = files_[b.Index];
    if (b.Fd < 0) {
      // Missing in the first spelling, or not opened for another reason: the ordinary test
      // tries every spelling and tells errors apart.
      TestOne(b.Index, folder);
      continue;
    }
    if (!matcher_) {
      batch->Close(b.Fd);
      Post(b.Index, kFound);
      continue;
    }
    struct stat st;
    if (fstat(b.Fd, &st) != 0 || !S_ISREG(st.st_mode)) {
      close(b.Fd);
      TestOne(b.Index, folder);  // the raw spelling may name a regular file
      continue;
    }
    if (const DocumentKind kind = DocumentKindOf(file.Path + file.NameAt);
        kind != DocumentKind::kPlain && CarriesDocumentSignature(kind, b.Fd)) {
      folder.Slow.push_back({b.Index, b.Fd, st.st_size, kind});
      continue;
    }
    b.Size = st.st_size;
    if (b.Size > static_cast<int64_t>(kSlotBytes)) {
      folder.Slow.push_back({b.Index, b.Fd, b.Size});
      continue;
    }
    b.Reading = true;
    batch->Read(b.Fd, folder.Slot(k), static_cast<unsigned>(b.Size), 0, &b.Got);
  }
  if (!matcher_) return;
  batch->Run();
  for (size_t k = 0; k < queued; ++k) {
    Batched& b = folder.Run[k];
    if (!b.Reading) continue;
    if (b.Got == -EINPROGRESS || (b.Got >= 0 && b.Got < b.Size)) {
      // Not read by the batch, or the file shrank meanwhile: read as it is now.
      folder.Slow.push_back({b.Index, b.Fd, b.Size});
      continue;
    }
    const bool found =
        b.Got >= 0 && matcher_->SearchText(std::string_view(
                          reinterpret_cast<const char*>(folder.Slot(k)), b.Got)) >= 0;
    batch->Close(b.Fd);
    Post(b.Index, found ? kFound : kNotFound);
  }
}

ContentWorkers::State ContentWorkers::SearchOpenFile(int fd, int64_t size, Folder& folder) const {
  const int64_t found = matcher_->SearchOpenFile(fd, folder.Buffer.get(), &cancel_, size);
  close(fd);
  if (found == kContentCancelled) return kCancelled;
  return found >= 0 ? kFound : kNotFound;
}

bool ContentWorkers::FirstSpelling(const CandidateFile& file, Folder& folder, Mode mode, int* dirfd,
                                   std::string* path) const {
  if (file.NameAt > 0 && file.Path[file.NameAt - 1] != '/') return false;  // a damaged record
  const bool convertible = EnterFolderOf(file, folder, mode);
  path->assign(Spelling(file, folder, mode == kAlone, !convertible, dirfd));
  return *dirfd != -1;
}

bool ContentWorkers::EnterFolderOf(const CandidateFile& file, Folder& folder, Mode mode) {
  const std::string_view path(file.Path, file.Size);
  folder.Enter(path.substr(0, file.NameAt), mode == kInListedFolder);
  return folder.Convertible && GbkToUtf8(path.substr(file.NameAt), &folder.Name);
}

const char* ContentWorkers::Spelling(const CandidateFile& file, Folder& folder, bool alone,
                                     bool raw, int* dirfd) {
  if (alone) {
    *dirfd = AT_FDCWD;
    return raw ? file.Path : folder.ConvertedPathAt(dirfd);
  }
  *dirfd = folder.Descriptor(raw);
  return raw ? file.Path + file.NameAt : folder.Name.c_str();
}

// The spellings tried are those of the whole path: its conversion from GBK when the path is valid
// GBK, then its raw bytes when they differ (a name kept raw because it was not UTF-8 on disk).
// A path splits into folder and name at a '/', which is never part of a GBK character, so the
// path is valid GBK exactly when both parts are, and converts part by part.
ContentWorkers::State ContentWorkers::Test(const CandidateFile& file, Folder& folder,
                                           Mode mode) const {
  const bool alone = mode == kAlone;
  const std::string_view path(file.Path, file.Size);
  const char* raw_name = file.Path + file.NameAt;
  if (file.NameAt > 0 && path[file.NameAt - 1] != '/') {
    // Not a folder field and a name (a damaged record): the whole path, as it stands.
    std::string whole(path);
    folder.Enter({}, false);
    return Test({whole.c_str(), file.Size, 0}, folder, kInFolder);
  }
  const bool convertible = EnterFolderOf(file, folder, mode);
  const bool raw_too = convertible && (folder.RawDiffers() || folder.Name != raw_name);
  auto spelling = [&](bool raw, int* dirfd) { return Spelling(file, folder, alone, raw, dirfd); };
  int dirfd;
  if (!matcher_ && !alone) {
    if (folder.Exists(!convertible, !convertible ? raw_name : folder.Name.c_str())) return kFound;
    return raw_too && folder.Exists(true, raw_name) ? kFound : kNotFound;
  }
  if (!matcher_) {
    struct stat st;
    const char* name = spelling(!convertible, &dirfd);
    if (fstatat(dirfd, name, &st, AT_SYMLINK_NOFOLLOW) == 0) return kFound;
    if (!raw_too) return kNotFound;
    name = spelling(true, &dirfd);
    return fstatat(dirfd, name, &st, AT_SYMLINK_NOFOLLOW) == 0 ? kFound : kNotFound;
  }
  int64_t size = 0;
  const char* name = spelling(!convertible, &dirfd);
  int fd = dirfd != -1 ? OpenRegularFileAt(dirfd, name, &size) : -1;
  if (fd < 0 && raw_too) {
    name = spelling(true, &dirfd);
    fd = dirfd != -1 ? OpenRegularFileAt(dirfd, name, &size) : -1;
  }
  if (fd < 0) return kNotFound;
  if (const DocumentKind kind = DocumentKindOf(raw_name);
      kind != DocumentKind::kPlain && CarriesDocumentSignature(kind, fd)) {
    return TestDocument(kind, fd, path, folder);
  }
  return SearchOpenFile(fd, size, folder);
}

// A document is searched in its text, extracted (or taken from the cache) here, on the worker.
ContentWorkers::State ContentWorkers::TestDocument(DocumentKind kind, int fd, std::string_view path,
                                                   Folder& folder) const {
  const DocumentError error =
      CachedDocumentText(text_cache_.get(), kind, fd, path, &cancel_, &folder.Text);
  close(fd);
  if (error == DocumentError::kCancelled) return kCancelled;
  return error == DocumentError::kNone && matcher_->SearchText(folder.Text) >= 0 ? kFound
                                                                                 : kNotFound;
}

}  // namespace jollix
