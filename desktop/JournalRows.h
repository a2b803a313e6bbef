// How the engine takes the journal of the live index (common/RecordJournal.h) with the posting
// lists: the latest line of every entry the journal names is one more candidate, examined after
// the candidates of the lists with exactly the same tests and shown in the same row format; a
// record of index/AllFile.dat whose entry the journal names is passed over, whatever its kind
// byte says, since the journal's line replaced it.
//
// A journal candidate is its place among the journal's lines with kJournalCandidate set: no
// posting reaches that bit (postings are signed 32-bit offsets), so both kinds of candidates
// share one array and the journal's come last.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "common/RecordJournal.h"

namespace jollix {

inline constexpr uint32_t kJournalCandidate = 0x80000000u;

inline bool IsJournalCandidate(uint32_t candidate) { return (candidate & kJournalCandidate) != 0; }

// Appends a candidate for the latest line of every entry that the journal holds as present.
void AppendJournalCandidates(const JournalView& journal, std::vector<uint32_t>* candidates);

// The journal line of a journal candidate.
std::string_view JournalLine(const JournalView& journal, uint32_t candidate);

// Whether a record of index/AllFile.dat (its folder field and name) is replaced by the journal.
inline bool ReplacedByJournal(const JournalView& journal, std::string_view folder,
                              std::string_view name) {
  return !journal.Empty() && journal.Names(PathHash(folder, name));
}

}  // namespace jollix
