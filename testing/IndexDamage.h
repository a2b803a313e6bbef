// Damages a built index in an installation folder the ways a crash, a full disk or a failed
// run leave one, for tests of everything that loads an index.
#pragma once

#include <string>

namespace jollix::testing {

enum class IndexDamage {
  kPostingsTruncated,   // index/IndexData.ind lost its last posting
  kListPastEnd,         // the first non-empty type list's length runs far past the postings
  kLengthsOff,          // one character list is a posting longer, so the lists do not add up
  kRecordsTruncated,    // index/AllFile.dat holds its first line only: offsets past its end
  kPostingPastRecords,  // the last posting of the character list of '.' lies past the records
  kRecordsOlder,        // record lines of an earlier run beside this run's lists
  kPostingsNewer,       // postings of a later run beside this run's directory
};

// Every damage, for tables of cases.
inline constexpr IndexDamage kIndexDamages[] = {
    IndexDamage::kPostingsTruncated, IndexDamage::kListPastEnd,        IndexDamage::kLengthsOff,
    IndexDamage::kRecordsTruncated,  IndexDamage::kPostingPastRecords, IndexDamage::kRecordsOlder,
    IndexDamage::kPostingsNewer,
};

const char* IndexDamageName(IndexDamage damage);

// Whether a loader can see the damage without reading a posting list: all but
// kPostingPastRecords, which shows when a search reads the list of '.'.
bool SeenAtLoad(IndexDamage damage);

// Damages the index of the installation folder install (built by the indexer, with at least
// one file whose name holds a '.'). Apart from the two damages of mixed runs, the three files
// are then given one common last-write time, so that each damage is judged by its own check and
// not by the files' stamps. Throws when the index is not as expected.
void DamageIndex(const std::string& install, IndexDamage damage);

}  // namespace jollix::testing
