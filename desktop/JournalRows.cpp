#include "desktop/JournalRows.h"

#include <algorithm>

#include "common/FileRecord.h"

namespace jollix {

void AppendJournalCandidates(const JournalView& journal, size_t read_before,
                             const std::vector<uint64_t>& shown,
                             std::vector<uint32_t>* candidates) {
  const std::vector<JournalView::Entry>& entries = journal.Entries();
  for (size_t i = 0; i < entries.size(); ++i) {
    const JournalView::Entry& e = entries[i];
    if (!e.Latest || e.Kind == kWithdrawnRecord) continue;
    if (i >= read_before && std::binary_search(shown.begin(), shown.end(), e.Path)) continue;
    candidates->push_back(kJournalCandidate | static_cast<uint32_t>(i));
  }
}

std::string_view JournalLine(const JournalView& journal, uint32_t candidate) {
  const size_t i = candidate & ~kJournalCandidate;
  if (i >= journal.Entries().size()) return {};
  return journal.Line(journal.Entries()[i]);
}

}  // namespace jollix
