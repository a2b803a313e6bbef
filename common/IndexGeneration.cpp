#include "common/IndexGeneration.h"

#include <fcntl.h>

#include <cstdio>
#include <cstring>
#include <ctime>
#include <initializer_list>

#include "common/IndexLayout.h"

namespace jollix {
namespace {

bool SameTime(const struct timespec& a, const struct timespec& b) {
  return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

bool NotEarlier(const struct timespec& a, const struct timespec& b) {
  return a.tv_sec > b.tv_sec || (a.tv_sec == b.tv_sec && a.tv_nsec >= b.tv_nsec);
}

}  // namespace

FileIdentity IdentityOf(const struct stat& st) {
  return {static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino)};
}

namespace {

// Stamps the pinyin list file and renames it into place, or frees its name: a file there from an
// earlier run never carries the new stamp, and is removed only to spare the space.
void PublishPinyin(const char* pinyin, const struct timespec times[2]) {
  const bool placed = pinyin && utimensat(AT_FDCWD, pinyin, times, 0) == 0 &&
                      std::rename(pinyin, kPinyinIndexFile) == 0;
  if (!placed) {
    if (pinyin) std::remove(pinyin);
    std::remove(kPinyinIndexFile);
  }
}

}  // namespace

int PublishGeneration(const char* records, const char* meta, const char* data, const char* pinyin) {
  // The stamp is the file system's own clock, read back from the postings: a record withdrawn
  // later gets a last-write time of that clock, which never lies before it (the process's
  // clock may run ahead of the file system's coarser one).
  const struct timespec now[2] = {{0, UTIME_NOW}, {0, UTIME_NOW}};
  struct stat stamped;
  if (utimensat(AT_FDCWD, data, now, 0) != 0 || stat(data, &stamped) != 0) return -3;
  const struct timespec times[2] = {stamped.st_mtim, stamped.st_mtim};
  struct Step {
    const char* from;
    const char* to;
    int failure;
  };
  const Step steps[] = {
      {data, kIndexDataFile, -3}, {meta, kMetaIndexFile, -2}, {records, kAllFileFile, -3}};
  // All three are stamped, and their places checked, before any is renamed: a file that cannot
  // be had, or a folder in the way of a name, fails the run while the previous generation is
  // still whole.
  for (const Step& step : steps) {
    struct stat st;
    if (utimensat(AT_FDCWD, step.from, times, 0) != 0) return step.failure;
    if (lstat(step.to, &st) == 0 && S_ISDIR(st.st_mode)) return step.failure;
  }
  PublishPinyin(pinyin, times);
  for (const Step& step : steps) {
    if (std::strcmp(step.from, step.to) != 0 && std::rename(step.from, step.to) != 0) {
      return step.failure;
    }
  }
  return 0;
}

bool IsSameGeneration(const struct stat& pinyin, const struct stat& data) {
  return SameTime(pinyin.st_mtim, data.st_mtim);
}

bool IsWholeGeneration(const struct stat& records, const struct stat& meta,
                       const struct stat& data) {
  return SameTime(meta.st_mtim, data.st_mtim) && NotEarlier(records.st_mtim, meta.st_mtim);
}

}  // namespace jollix
