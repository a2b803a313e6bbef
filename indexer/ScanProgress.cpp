#include "indexer/ScanProgress.h"

namespace jollix {

void ScanProgress::SetCurrentFolder(const std::string& path) {
  std::lock_guard<std::mutex> lock(mu_);
  current_folder_ = path;
}

std::string ScanProgress::CurrentFolder() const {
  std::lock_guard<std::mutex> lock(mu_);
  return current_folder_;
}

void ScanProgress::Reset() {
  FoldersToScan = 0;
  FoldersDone = 0;
  EntriesWritten = 0;
  Finished = 0;
  SetCurrentFolder("");
}

int ScanProgress::Percent() const {
  int total = FoldersToScan.load();
  if (total <= 0) return 100;
  return FoldersDone.load() * 100 / total;
}

ScanProgress& TheScanProgress() {
  static ScanProgress progress;
  return progress;
}

}  // namespace jollix
