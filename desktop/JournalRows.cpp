#include "desktop/JournalRows.h"

#include "common/FileRecord.h"

namespace jollix {

void AppendJournalCandidates(const JournalView& journal, std::vector<uint32_t>* candidates) {
  const std::vector<JournalView::Entry>& entries = journal.Entries();
  for (size_t i = 0; i < entries.size(); ++i) {
    if (entries[i].Latest && entries[i].Kind != kWithdrawnRecord) {
      candidates->push_back(kJournalCandidate | static_cast<uint32_t>(i));
    }
  }
}

std::string_view JournalLine(const JournalView& journal, uint32_t candidate) {
  const size_t i = candidate & ~kJournalCandidate;
  if (i >= journal.Entries().size()) return {};
  return journal.Line(journal.Entries()[i]);
}

}  // namespace jollix
