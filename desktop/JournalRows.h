// How the engine takes the journal of the live index (common/RecordJournal.h) with the posting
// lists: the latest line of every entry the journal names is one more candidate, examined after
// the candidates of the lists with exactly the same tests and shown in the same row format; a
// record of index/AllFile.dat whose entry the journal names is passed over, whatever its kind
// byte says, since the journal's line replaced it.
//
// A search reads the journal twice, as the live index may write while it runs: once before the
// records (the entries it names then replace their records), and once more after them, for the
// journal's candidates. A record that the live index replaces meanwhile is written to the journal
// before it is marked withdrawn, so the second reading holds its replacement whenever the search
// found the record withdrawn; and when the search found it still in place and showed it, the
// replacement is passed over. Each entry is shown once. A journal replaced meanwhile (a fold
// published a newer generation and began its journal) is read on to the end of the file first
// read, which got its last line before the fold. A journal of the loaded generation that began
// only while the records were read (the watcher's start, or just after its fold) was not read
// first: the records are read again, with it.
//
// A journal candidate is its place among the journal's lines with kJournalCandidate set: no
// posting reaches that bit (postings are signed 32-bit offsets).
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "common/RecordJournal.h"

namespace jollix {

inline constexpr uint32_t kJournalCandidate = 0x80000000u;

inline bool IsJournalCandidate(uint32_t candidate) { return (candidate & kJournalCandidate) != 0; }

// Appends a candidate for the latest line of every entry that the journal holds as present,
// but for an entry whose latest line came after the first read_before lines and whose record
// was shown (shown: the PathHash of every record shown, sorted).
void AppendJournalCandidates(const JournalView& journal, size_t read_before,
                             const std::vector<uint64_t>& shown, std::vector<uint32_t>* candidates);

// The journal line of a journal candidate.
std::string_view JournalLine(const JournalView& journal, uint32_t candidate);

// Whether a record of index/AllFile.dat (its folder field and name) is replaced by the journal.
inline bool ReplacedByJournal(const JournalView& journal, std::string_view folder,
                              std::string_view name) {
  return !journal.Empty() && journal.Names(PathHash(folder, name));
}

}  // namespace jollix
