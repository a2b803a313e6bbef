// Tests candidate files on every core: one thread per core, the thread that asks for the answers
// being one of them. The test is whether a file holds the content words, or, without words,
// whether the entry exists at all (the disk test of every search, a path walk in the kernel that
// costs as much as the rest of a name search). Answers are taken in the order of the files, so
// the search adds its rows in candidate order whatever order the files finish in.
//
// Why no locks: a content search tests tens of thousands of small files, and a lock or a wake-up
// call per file costs as much as reading it. Threads claim files by one atomic counter and post
// each answer in an atomic of its own; the answering thread sleeps only when every file is
// claimed and the one it needs next is still being read.
//
// Why by folder: a name search tests hundreds of thousands of entries, and the kernel's walk of
// each full path (a lookup per component) cost more than the rest of the search. The candidates
// come grouped by folder, so each thread opens a folder once for the run of its entries and tests
// each entry by its name relative to that descriptor (fstatat, openat). Threads claim runs of
// neighbouring files, so a folder's entries mostly go to one thread; the answering thread steps
// through its run one file per answer it waits for.
//
// Documents (a name ending .docx, .pdf, .rtf and the like, see documents/DocumentText.h) are
// tested in their text, extracted on the thread that claimed the file, or taken from the user's
// text cache (documents/TextCache.h); every other file in its bytes.
//
// Threads: the constructor, Answer and the destructor are called from one thread, the search's.
// The cancel flag may be set from any thread: no file is started after it, and a file being
// read stops within one chunk.
#pragma once

#include <atomic>
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "desktop/ContentSearch.h"
#include "documents/DocumentText.h"

namespace jollix {

class TextCache;

// The threads a content search uses: the machine's core count, at least one.
int ContentWorkerCount();

// One file to test: its GBK path from the records (folder field and name, the name starting at
// NameAt), NUL-terminated in storage that outlives the pool.
struct CandidateFile {
  const char* Path = nullptr;
  uint32_t Size = 0;    // bytes of Path before its NUL
  uint32_t NameAt = 0;  // where the name begins: the folder is Path[0, NameAt)
};

class ContentWorkers {
 public:
  // Starts threads - 1 helper threads on the files at paths (GBK, from the records; each tried in
  // its disk spelling, then as its raw bytes, as a name kept raw in the records needs). matcher,
  // when given, must be prepared; it and cancel must outlive the pool. Without a matcher the
  // answer is whether the entry exists (a symbolic link counts as itself, see ExistingDiskPath).
  ContentWorkers(const ContentSearch* matcher, const std::atomic<bool>& cancel,
                 std::vector<std::string> paths, int threads);
  // The same over files whose texts the caller keeps (see CandidateFile).
  ContentWorkers(const ContentSearch* matcher, const std::atomic<bool>& cancel,
                 std::vector<CandidateFile> files, int threads);
  // Stops the helpers after the files they are reading.
  ~ContentWorkers();
  ContentWorkers(const ContentWorkers&) = delete;
  ContentWorkers& operator=(const ContentWorkers&) = delete;

  size_t size() const { return files_.size(); }

  // Whether file i is a regular file that holds the words (without a matcher: whether it
  // exists); nullopt when the cancel flag stopped its test. Waits for the answer, testing files not
  // yet claimed on this thread meanwhile.
  std::optional<bool> Answer(size_t i);

  // How many files were opened in batches of system calls (see TestRun).
  size_t BatchedFiles() const { return batched_.load(std::memory_order_relaxed); }

 private:
  enum State : int { kWaiting = 0, kFound, kNotFound, kCancelled };

  class Folder;  // a thread's open folder and scratch texts

  void Start(int threads);
  void Work(Folder& folder);
  // Claims the next run of files nobody tests yet and tests them; false when none is left.
  bool TestNext(Folder& folder);
  // Tests files [first, end), their system calls submitted in batches where the kernel takes
  // them.
  // The large files and documents of the run are left in the folder's slow list.
  void TestRun(size_t first, size_t end, Folder& folder);
  // Tests the next file of the slow list; false when it is empty.
  bool TestSlow(Folder& folder);
  void TestOne(size_t i, Folder& folder);
  void Post(size_t i, State answer);
  // How a file's folder is used: not at all (the whole path is tested), entered (names are
  // tested relative to its descriptor), or entered and listed (names are looked up in its
  // listing, for the existence test).
  enum Mode { kAlone, kInFolder, kInListedFolder };
  Mode ModeOf(size_t i, const Folder& folder) const;
  State Test(const CandidateFile& file, Folder& folder, Mode mode) const;
  // The descriptor and path of the first spelling Test tries for file (entering its folder);
  // false when the file is to be tested by Test alone.
  bool FirstSpelling(const CandidateFile& file, Folder& folder, Mode mode, int* dirfd,
                     std::string* path) const;
  // Enters file's folder (to be listed in kInListedFolder) and converts its name into the
  // folder's scratch; whether the whole path is valid GBK (tried converted first, then raw).
  static bool EnterFolderOf(const CandidateFile& file, Folder& folder, Mode mode);
  // file's path in one spelling (raw, or as converted by EnterFolderOf) and the descriptor it
  // is relative to: AT_FDCWD or an open folder that holds it when alone, else its folder's
  // (-1 when that cannot be opened).
  static const char* Spelling(const CandidateFile& file, Folder& folder, bool alone, bool raw,
                              int* dirfd);
  // Searches the open regular file fd of size bytes, and closes it.
  State SearchOpenFile(int fd, int64_t size, Folder& folder) const;
  State TestDocument(DocumentKind kind, int fd, std::string_view path, Folder& folder) const;

  const ContentSearch* matcher_;
  const std::atomic<bool>& cancel_;
  std::shared_ptr<TextCache> text_cache_;  // of the user's cache folder, when there is one
  std::vector<std::string> owned_paths_;   // the texts of files_ when the pool owns them
  std::vector<CandidateFile> files_;
  std::unique_ptr<std::atomic<int>[]> states_;
  std::atomic<size_t> next_{0};  // the next file to claim
  std::atomic<bool> stopping_{false};
  bool batches_ = false;  // whether runs are tested in batches (see kBatchFrom)
  std::atomic<size_t> batched_{0};
  std::unique_ptr<Folder> own_folder_;  // the answering thread's
  size_t own_next_ = 0, own_end_ = 0;   // the rest of the run it claimed, tested file by file
  std::vector<std::thread> threads_;
};

}  // namespace jollix
