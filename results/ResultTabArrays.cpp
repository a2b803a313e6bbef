#include "results/ResultTabArrays.h"

#include <algorithm>
#include <utility>

namespace jollix {

void ResultTabArrays::AddPage(const std::string& title) {
  const int page = static_cast<int>(master_.size());
  labels_.push_back(title);
  master_.push_back(page);
  pages_.push_back(page);
  if (current_ < 0) current_ = 0;
}

void ResultTabArrays::RemoveAllTabs() {
  labels_.clear();
  current_ = -1;
}

void ResultTabArrays::AddLabel(const std::string& label) { labels_.push_back(label); }

bool ResultTabArrays::PlacePages(const std::vector<int>& pages) {
  pages_ = master_;
  for (size_t position = 0; position < pages.size(); ++position) {
    auto found = std::find(pages_.begin() + static_cast<long>(std::min(position, pages_.size())),
                           pages_.end(), pages[position]);
    if (found == pages_.end()) return false;
    std::swap(pages_[position], *found);
  }
  return true;
}

bool ResultTabArrays::Select(int position) {
  if (position < 0 || position >= static_cast<int>(labels_.size())) return false;
  current_ = position;
  return true;
}

int ResultTabArrays::PageAt(int position) const {
  if (position < 0 || position >= static_cast<int>(labels_.size())) return -1;
  if (position >= static_cast<int>(pages_.size())) return -1;
  return pages_[position];
}

}  // namespace jollix
