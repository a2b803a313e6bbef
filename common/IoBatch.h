// System calls submitted together: opens, reads and closes queued by a thread and handed to the
// kernel in one entry (io_uring, through liburing), where each call would otherwise enter and
// leave the kernel on its own. On a virtual machine that entry costs about a microsecond, as much
// as the work of looking a cached name up or reading a small cached file, so a search that opens
// or tests tens of thousands of files spends a third of its time entering and leaving.
//
// Opens of cached names and reads of cached pages are done during the submission itself; what
// would block (a name or a page not in memory) the kernel hands to its own worker threads.
//
// Use: queue operations, then Run. Every result lands where its caller asked: a descriptor or a
// byte count, or -errno. A result not yet known is -EINPROGRESS; it stays so when the batch could
// not be submitted, and the caller then does the work by ordinary calls. Paths and buffers handed
// in, and the descriptors that paths are relative to, must stay valid until Run returns. Closes
// queued last are done with the next Run, or when the batch ends.
//
// Threads: a batch belongs to one thread.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

struct io_uring;
struct io_uring_sqe;

namespace jollix {

class IoBatch {
 public:
  // A batch that submits at most entries operations at once (a longer queue goes in several
  // submissions); nullptr when this kernel offers none (too old, switched off by the
  // administrator, refused by a sandbox) or when JOLLIX_IO_URING is 0 in the environment.
  static std::unique_ptr<IoBatch> Create(unsigned entries);
  // Runs what is still queued (the closes), then ends.
  ~IoBatch();
  IoBatch(const IoBatch&) = delete;
  IoBatch& operator=(const IoBatch&) = delete;

  // openat(dirfd, path, flags); *result: the new descriptor.
  void OpenAt(int dirfd, const char* path, int flags, int* result);
  // pread(fd, buffer, bytes, offset); *result: the bytes read.
  void Read(int fd, void* buffer, unsigned bytes, uint64_t offset, int* result);
  // close(fd). A close the kernel could not be handed is done by an ordinary call.
  void Close(int fd);

  // Submits everything queued and waits until it is done. False when the kernel refused the
  // batch: the results not set stay -EINPROGRESS, and the batch is not to be used again.
  bool Run();
  // False once the kernel refused a batch.
  bool Usable() const { return !failed_; }

 private:
  struct Op {
    int* Result = nullptr;  // nullptr for a close
    int Fd = -1;            // a close's descriptor
    bool InUse = false;
  };

  explicit IoBatch(std::unique_ptr<io_uring> ring);
  // The next free submission entry, submitting the queue first when it is full; nullptr when the
  // ring failed.
  io_uring_sqe* Entry(int* result, int close_fd);
  bool SubmitQueued();
  void Reap(unsigned count);

  std::unique_ptr<io_uring> ring_;
  std::vector<Op> ops_;         // by index: the user data of each queued entry
  std::vector<uint32_t> free_;  // indexes of ops_ not in use
  unsigned queued_ = 0;         // entries queued, not yet submitted
  unsigned in_flight_ = 0;      // submitted, not yet reaped
  bool failed_ = false;
  bool lost_ = false;  // completions could not be waited for: which ops ran is unknown
};

}  // namespace jollix
