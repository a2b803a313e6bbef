// Whole index generations: the three files of one index run (index/AllFile.dat,
// index/MetaIndex.ind, index/IndexData.ind) are only ever seen together.
//
// The indexer writes each file under a temporary name in index/ (the name followed by ".tmp"),
// gives all three one and the same last-write time (the generation's stamp) and only then
// renames them into place, postings first and record lines last. A failed run therefore leaves
// the previous three files as they were. The live index's fold of its journal publishes a
// generation the same way, from temporary names of its own (ending ".fold"), so that an index
// run at the same time spoils neither.
//
// A program that reads the index keeps the descriptors of the generation it loaded and takes a
// newer one only when it is whole: the directory and the postings carry the same stamp (nothing
// ever writes them after the run), and the record lines carry that stamp or a later one (the
// result list's file actions mark records withdrawn in place, which moves the time on). While a
// later run renames its files, the set in place mixes two generations; the postings, renamed
// first, then carry a stamp the directory does not, or the record lines an earlier one, and the
// reader keeps what it has until the renames are done.
//
// The pinyin lists (index/PinyinIndex.ind) are an optional fourth member, built from the same
// records: published, they carry the generation's stamp and are renamed first of all; a run that
// has none removes an earlier run's. A reader takes them only with postings of the same stamp.
#pragma once

#include <sys/stat.h>

#include <cstdint>

namespace jollix {

inline constexpr char kAllFileTempFile[] = "index/AllFile.dat.tmp";
inline constexpr char kMetaIndexTempFile[] = "index/MetaIndex.ind.tmp";
inline constexpr char kIndexDataTempFile[] = "index/IndexData.ind.tmp";
inline constexpr char kPinyinIndexFile[] = "index/PinyinIndex.ind";
inline constexpr char kPinyinIndexTempFile[] = "index/PinyinIndex.ind.tmp";

// Which file a name led to when it was opened.
struct FileIdentity {
  uint64_t Device = 0;
  uint64_t Inode = 0;
  bool operator==(const FileIdentity&) const = default;
};
FileIdentity IdentityOf(const struct stat& st);

// Gives the three files the same last-write time (now) and renames them into place: postings,
// directory, record lines. records may already be the record file's own name (nothing is
// renamed for it then). Returns 0, or the indexer's exit code for the file that failed: -2 for
// the directory, -3 for the postings and the record lines. A stamp that fails, or a folder standing
// at one of the names, leaves every name as it was; a rename that fails otherwise leaves the
// renames before it done. pinyin, when given, is the run's pinyin list file: stamped with the
// others and renamed to index/PinyinIndex.ind before them; when it cannot be, or none is given,
// the name is left free (searches then do without it) and the run goes on.
int PublishGeneration(const char* records, const char* meta, const char* data,
                      const char* pinyin = nullptr);

// Whether a pinyin list file, as its descriptor's status tells, belongs to the generation whose
// postings have the status data.
bool IsSameGeneration(const struct stat& pinyin, const struct stat& data);

// Whether three files, as their descriptors' status tells, are one whole generation (see the
// top of this file).
bool IsWholeGeneration(const struct stat& records, const struct stat& meta,
                       const struct stat& data);

}  // namespace jollix
