// Progress of an index run, written by the work thread and read by the progress display.
#pragma once

#include <atomic>
#include <mutex>
#include <string>

namespace jollix {

class ScanProgress {
 public:
  std::atomic<int> FoldersToScan{0};   // folders that this run scans
  std::atomic<int> FoldersDone{0};     // folders scanned so far
  std::atomic<int> EntriesWritten{0};  // files and folders recorded so far
  std::atomic<int> Finished{0};        // set once the index is saved

  // The full path (GBK) of the subfolder found last.
  void SetCurrentFolder(const std::string& path);
  std::string CurrentFolder() const;

  void Reset();

  // FoldersDone * 100 / FoldersToScan; 100 when there is nothing to scan.
  int Percent() const;

 private:
  mutable std::mutex mu_;
  std::string current_folder_;
};

// The process-wide progress of the indexer.
ScanProgress& TheScanProgress();

}  // namespace jollix
