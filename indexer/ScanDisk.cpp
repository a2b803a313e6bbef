#include "indexer/ScanDisk.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "common/Fatal.h"
#include "common/FileRecord.h"
#include "common/Gbk.h"
#include "common/IndexLayout.h"
#include "common/ScanFolderFile.h"
#include "common/TextFile.h"
#include "indexer/FolderWalk.h"

namespace jollix {
namespace {

constexpr char kUnit[] = "ScanDisk";
constexpr size_t kRecordBuffer = 1 << 20;

// Appends the whole record file at path to the file open at out_fd, inside the kernel. A record
// file that does not exist contributes nothing. False when a write fails.
bool AppendRecordFile(const char* path, int out_fd) {
  int in = open(path, O_RDONLY | O_CLOEXEC);
  if (in < 0) return true;
  bool ok = true;
  for (;;) {
    ssize_t n = copy_file_range(in, nullptr, out_fd, nullptr, 1 << 30, 0);
    if (n > 0) continue;
    if (n == 0) break;
    if (errno != EXDEV && errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP) {
      ok = false;
      break;
    }
    // File systems that cannot copy between these files: plain reads and writes.
    char buffer[1 << 16];
    ssize_t r;
    while ((r = read(in, buffer, sizeof buffer)) > 0) {
      if (write(out_fd, buffer, static_cast<size_t>(r)) != r) {
        ok = false;
        break;
      }
    }
    ok = ok && r == 0;
    break;
  }
  close(in);
  return ok;
}

}  // namespace

uint32_t FolderHash(const char* path) {
  uint32_t hash = 0;
  for (int i = 0; i < 300; ++i) {
    unsigned char b = static_cast<unsigned char>(path[i]);
    if (b == '\0' || b == '\r' || b == '\n') break;
    hash = hash * 17 + b;
  }
  return hash;
}

std::string RecordFileName(uint32_t hash) {
  char name[64];
  std::snprintf(name, sizeof name, "index/File%u.dat", hash);
  return name;
}

ScanDisk::ScanDisk(Prompter& prompter, ScanProgress& progress)
    : prompter_(prompter), progress_(progress) {}

int ScanDisk::Scan(const char* records) {
  progress_.Reset();
  ReadSlots();
  for (int slot = 0; slot < kMaxScanFolders; ++slot) ScanSlot(slot);
  MergeRecordFiles(records);
  return 0;
}

void ScanDisk::ReadSlots() {
  std::vector<ScanFolderEntry> entries;
  if (!ReadScanFolders(kScanFolderFile, &entries)) {
    FatalLine("系统文件丢失，请与开发商联系!异常点为文件 %s 的第 %d 行!\n", kUnit, __LINE__, -1);
  }
  for (Slot& s : slots_) s = Slot();
  for (size_t i = 0; i < entries.size(); ++i) {
    const ScanFolderEntry& e = entries[i];
    // A line without a path names no folder; taking it would make the record file of hash 0,
    // which every unused slot would otherwise merge again.
    if ((e.Marker != kRescanMarker && e.Marker != kKeepMarker) || e.Path.empty()) continue;
    Slot& s = slots_[i];
    s.Path = e.Path;
    s.Hash = FolderHash(e.Path.c_str());
    s.Listed = true;
    s.Rescan = e.Marker == kRescanMarker;
    if (s.Rescan) ++progress_.FoldersToScan;
  }
}

void ScanDisk::ScanSlot(int slot) {
  if (slot < 0 || slot >= kMaxScanFolders || !slots_[slot].Rescan) return;
  const Slot& s = slots_[slot];
  FILE* out = std::fopen(RecordFileName(s.Hash).c_str(), "wb");
  if (!out) RecordFileFailed();
  std::vector<char> buffer(kRecordBuffer);
  setvbuf(out, buffer.data(), _IOFBF, buffer.size());
  WalkFolder(s.Path, out, progress_, WalkThreadCount());
  if (!CloseWritten(out)) RecordFileFailed();
  ++progress_.FoldersDone;
}

void ScanDisk::RecordFileFailed() {
  prompter_.Ask("打开文件失败，请与开发商联系!", "打开文件失败", PromptButtons::kOk);
  EndProcess(-2);
}

void ScanDisk::RecordsFailed(const char* records, int line) {
  if (std::strcmp(records, kAllFileFile) != 0) std::remove(records);
  FatalLine("打开文件失败，请与开发商联系!异常点为文件 %s 的第 %d 行！\n", kUnit, line, -3);
}

void ScanDisk::MergeRecordFiles(const char* records) {
  FILE* all = std::fopen(records, "wb");
  if (!all) RecordsFailed(records, __LINE__);
  std::fflush(all);
  std::vector<uint32_t> merged;  // a folder listed twice is merged once
  for (const Slot& s : slots_) {
    if (!s.Listed || std::find(merged.begin(), merged.end(), s.Hash) != merged.end()) continue;
    merged.push_back(s.Hash);
    if (!AppendRecordFile(RecordFileName(s.Hash).c_str(), fileno(all))) {
      std::fclose(all);
      RecordsFailed(records, __LINE__);
    }
  }
  if (!CloseWritten(all)) RecordsFailed(records, __LINE__);
}

}  // namespace jollix
