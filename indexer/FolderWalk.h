// The walk of one configured folder for the scanner: lists the folder and every folder below it
// and writes one record line per entry, on every core, in exactly the order of the plain walk:
//
//   pending = [the folder]
//   while pending: take the folder found last; write the records of its entries in the order
//   the file system lists them; add its subfolders to pending in that order.
//
// Why this order survives the threads: a folder's records depend on that folder alone, so any
// thread may list it (into a buffer of its own) as soon as the folder is known; only the writing
// follows the walk, on the calling thread, which lists folders itself while it waits. Helpers
// take the folders found last first, the ones the walk needs soonest, so few listings wait in
// memory.
//
// Entries are recorded as the scanner always did: names starting with '.' are left out with
// everything below them; a symbolic link is recorded as a file and never followed (the
// configured folder itself may be reached through one); entries whose full path would not fit
// the path buffers are left out.
#pragma once

#include <sys/stat.h>

#include <cstdio>
#include <string>
#include <string_view>

#include "indexer/ScanProgress.h"

namespace jollix {

// Whether the scan records an entry of this name (as the file system spells it): not empty and
// not beginning with '.' (such names are left out with everything below them).
inline bool IsRecordedName(std::string_view disk_name) {
  return !disk_name.empty() && disk_name[0] != '.';
}

// Whether an entry's full path (GBK) fits the scan's path buffers: the folder's path, a
// separator and the name.
bool FitsPathBuffers(size_t gbk_folder_size, size_t gbk_name_size);

// Appends the record line that the scan writes for an entry: gbk_name in the folder gbk_folder
// (its path without the final separator), whose status, taken without following a link, is st.
// A folder is recorded with kind 'D' and size 0, anything else (a link too) as a file of its
// size; the time is the last-write time in seconds.
void AppendEntryRecord(std::string* out, std::string_view gbk_name, std::string_view gbk_folder,
                       const struct stat& st);

// Walks the folder (GBK path as configured) with threads threads in all, writing its records to
// out. Adds every entry written to progress.EntriesWritten and names the subfolder found last
// in progress.CurrentFolder. A folder that cannot be listed contributes nothing. Write errors
// show in out's error flag.
void WalkFolder(const std::string& gbk_root, FILE* out, ScanProgress& progress, int threads);

// The threads a walk uses: the machine's core count, at least one.
int WalkThreadCount();

}  // namespace jollix
