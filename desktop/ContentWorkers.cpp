#include "desktop/ContentWorkers.h"

#include <unistd.h>

#include "common/Gbk.h"

namespace jollix {

int ContentWorkerCount() {
  const unsigned cores = std::thread::hardware_concurrency();
  return cores > 0 ? static_cast<int>(cores) : 1;
}

ContentWorkers::ContentWorkers(const ContentSearch* matcher, const std::atomic<bool>& cancel,
                               std::vector<std::string> paths, int threads)
    : matcher_(matcher),
      cancel_(cancel),
      paths_(std::move(paths)),
      states_(new std::atomic<int>[paths_.size()]) {
  for (size_t i = 0; i < paths_.size(); ++i) states_[i].store(kWaiting, std::memory_order_relaxed);
  // No more helpers than files: a search of a few files starts no thread at all.
  const size_t helpers =
      std::min(paths_.size(), static_cast<size_t>(threads > 1 ? threads - 1 : 0));
  for (size_t i = 0; i < helpers; ++i) {
    threads_.emplace_back([this] {
      std::unique_ptr<unsigned char[]> buffer(new unsigned char[kContentChunk]);
      Work(buffer.get());
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
    if (!own_buffer_) own_buffer_.reset(new unsigned char[kContentChunk]);
    if (TestNext(own_buffer_.get())) continue;
    // Every file is claimed: file i is being read, and its reader ends within one chunk of a
    // cancel, so this wait is bounded.
    state.wait(kWaiting, std::memory_order_acquire);
  }
  const int answer = state.load(std::memory_order_acquire);
  if (answer == kCancelled) return std::nullopt;
  return answer == kFound;
}

void ContentWorkers::Work(unsigned char* buffer) {
  while (!stopping_.load(std::memory_order_relaxed) && TestNext(buffer)) {
  }
}

bool ContentWorkers::TestNext(unsigned char* buffer) {
  const size_t i = next_.fetch_add(1, std::memory_order_relaxed);
  if (i >= paths_.size()) return false;
  const State answer =
      cancel_.load(std::memory_order_relaxed) ? kCancelled : Test(paths_[i], buffer);
  states_[i].store(answer, std::memory_order_release);
  states_[i].notify_one();
  return true;
}

ContentWorkers::State ContentWorkers::Test(const std::string& gbk_path,
                                           unsigned char* buffer) const {
  if (!matcher_) {
    std::string disk_path;
    return ExistingDiskPath(gbk_path, &disk_path) ? kFound : kNotFound;
  }
  const std::string disk_path = FileNameFromGbk(gbk_path);
  int64_t size = 0;
  int fd = OpenRegularFile(disk_path.c_str(), &size);
  if (fd < 0 && disk_path != gbk_path) fd = OpenRegularFile(gbk_path.c_str(), &size);
  if (fd < 0) return kNotFound;
  const int64_t found = matcher_->SearchOpenFile(fd, buffer, &cancel_, size);
  close(fd);
  if (found == kContentCancelled) return kCancelled;
  return found >= 0 ? kFound : kNotFound;
}

}  // namespace jollix
