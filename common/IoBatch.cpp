#include "common/IoBatch.h"

#include <errno.h>
#include <liburing.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace jollix {

std::unique_ptr<IoBatch> IoBatch::Create(unsigned entries) {
  if (const char* use = std::getenv("JOLLIX_IO_URING"); use && std::strcmp(use, "0") == 0) {
    return nullptr;
  }
  auto ring = std::make_unique<io_uring>();
  if (io_uring_queue_init(entries, ring.get(), 0) < 0) return nullptr;
  // The operations used here came together (Linux 5.6); a kernel may offer the ring without them.
  bool supported = false;
  if (io_uring_probe* probe = io_uring_get_probe_ring(ring.get())) {
    supported = io_uring_opcode_supported(probe, IORING_OP_OPENAT) &&
                io_uring_opcode_supported(probe, IORING_OP_READ) &&
                io_uring_opcode_supported(probe, IORING_OP_CLOSE);
    io_uring_free_probe(probe);
  }
  if (!supported) {
    io_uring_queue_exit(ring.get());
    return nullptr;
  }
  return std::unique_ptr<IoBatch>(new IoBatch(std::move(ring)));
}

IoBatch::IoBatch(std::unique_ptr<io_uring> ring) : ring_(std::move(ring)) {}

IoBatch::~IoBatch() {
  Run();
  io_uring_queue_exit(ring_.get());
}

void IoBatch::OpenAt(int dirfd, const char* path, int flags, int* result) {
  *result = -EINPROGRESS;
  if (io_uring_sqe* sqe = Entry(result, -1)) io_uring_prep_openat(sqe, dirfd, path, flags, 0);
}

void IoBatch::Read(int fd, void* buffer, unsigned bytes, uint64_t offset, int* result) {
  *result = -EINPROGRESS;
  if (io_uring_sqe* sqe = Entry(result, -1)) io_uring_prep_read(sqe, fd, buffer, bytes, offset);
}

void IoBatch::Close(int fd) {
  if (io_uring_sqe* sqe = Entry(nullptr, fd)) {
    io_uring_prep_close(sqe, fd);
  } else {
    close(fd);
  }
}

io_uring_sqe* IoBatch::Entry(int* result, int close_fd) {
  if (failed_) return nullptr;
  io_uring_sqe* sqe = io_uring_get_sqe(ring_.get());
  if (!sqe && SubmitQueued()) sqe = io_uring_get_sqe(ring_.get());
  if (!sqe) return nullptr;
  uint32_t slot;
  if (free_.empty()) {
    slot = static_cast<uint32_t>(ops_.size());
    ops_.push_back({});
  } else {
    slot = free_.back();
    free_.pop_back();
  }
  ops_[slot] = {result, close_fd, true};
  // The caller prepares the entry next; the preparing functions leave the user data alone.
  io_uring_sqe_set_data64(sqe, slot);
  ++queued_;
  return sqe;
}

bool IoBatch::Run() { return !failed_ && SubmitQueued(); }

bool IoBatch::SubmitQueued() {
  for (int busy = 0; queued_ > 0;) {
    const int submitted = io_uring_submit(ring_.get());
    if (submitted > 0) {
      queued_ -= std::min(static_cast<unsigned>(submitted), queued_);
      in_flight_ += static_cast<unsigned>(submitted);
      continue;
    }
    // Interrupted, or short of memory or of room for completions for now: what was submitted
    // finishes meanwhile, and the rest is offered again.
    if ((submitted == -EINTR || submitted == -EAGAIN || submitted == -EBUSY) && ++busy < 100) {
      Reap(in_flight_);
      continue;
    }
    failed_ = true;
    break;
  }
  Reap(in_flight_);
  if (failed_) {
    // What the kernel never took: its closes are done here; its results stay unknown. (Once
    // completions were lost, a close may have been done or not: the descriptor is left open
    // rather than closed twice.)
    for (uint32_t slot = 0; slot < ops_.size(); ++slot) {
      if (!ops_[slot].InUse) continue;
      if (!ops_[slot].Result && !lost_) close(ops_[slot].Fd);
      ops_[slot].InUse = false;
      free_.push_back(slot);
    }
    queued_ = 0;
  }
  return !failed_;
}

void IoBatch::Reap(unsigned count) {
  for (; count > 0 && in_flight_ > 0; --count) {
    io_uring_cqe* cqe = nullptr;
    int r;
    do {
      r = io_uring_wait_cqe(ring_.get(), &cqe);
    } while (r == -EINTR);
    if (r < 0 || !cqe) {
      // Completions cannot be waited for: the entries in flight are given up as unknown.
      failed_ = lost_ = true;
      in_flight_ = 0;
      return;
    }
    const uint64_t slot = io_uring_cqe_get_data64(cqe);
    if (slot < ops_.size() && ops_[slot].InUse) {
      if (ops_[slot].Result) *ops_[slot].Result = cqe->res;
      ops_[slot].InUse = false;
      free_.push_back(static_cast<uint32_t>(slot));
    }
    io_uring_cqe_seen(ring_.get(), cqe);
    --in_flight_;
  }
}

}  // namespace jollix
