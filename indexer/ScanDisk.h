// The scan stage of an index run: walks every folder of index/ScanFolder.txt marked for
// rescanning, writes one record file per configured folder (index/File<hash>.dat), then joins the
// record files of all listed folders, in line order, into index/AllFile.dat (or, in an index
// run, into its temporary name, which the build renames into place with the other index files).
//
// Runs in the installation folder. Every failure ends the process (see Scan), as the indexer
// has no one to hand a failure to.
#pragma once

#include <cstdint>
#include <string>

#include "common/IndexLayout.h"
#include "common/Prompter.h"
#include "indexer/ScanProgress.h"

namespace jollix {

inline constexpr size_t kMaxFolderPath = 3000;

// Hash of a folder path that names its record file: hash = hash * 17 + byte over the bytes up to
// the first CR, LF or NUL, at most 300 of them, modulo 2^32.
uint32_t FolderHash(const char* path);

// "index/File%u.dat" for a hash.
std::string RecordFileName(uint32_t hash);

class ScanDisk {
 public:
  ScanDisk(Prompter& prompter, ScanProgress& progress);

  // Runs the whole stage and returns 0. Ends the process on failure:
  //   index/ScanFolder.txt missing           fatal line on standard output, exit -1
  //   a record file cannot be written        message box, exit -2
  //   index/AllFile.dat cannot be written    fatal line on standard output, exit -3
  // records is the file the record files are joined into; a temporary one is removed when it
  // cannot be written whole.
  int Scan(const char* records = kAllFileFile);

  // Walks the folder of one slot (0..99) into its record file; nothing for a slot that is not
  // marked for rescanning.
  void ScanSlot(int slot);

 private:
  struct Slot {
    std::string Path;   // GBK
    uint32_t Hash = 0;  // 0: no '_' or '#' line
    bool Listed = false;
    bool Rescan = false;
  };

  void ReadSlots();
  void MergeRecordFiles(const char* records);
  [[noreturn]] void RecordsFailed(const char* records, int line);
  [[noreturn]] void RecordFileFailed();

  Prompter& prompter_;
  ScanProgress& progress_;
  Slot slots_[100];
};

}  // namespace jollix
