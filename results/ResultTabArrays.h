// The arrays behind the result tab view, as plain data: the tab labels, the page array (the page
// that each tab position shows), the master array (every page in creation order, so a page's
// index there is its result type) and the selected position.
//
// Labels and pages are separate on purpose: a channel command removes all labels, adds its own
// and then places its pages at the first positions, and a page keeps its rows while it has no
// label. Pages are named by their master index.
#pragma once

#include <string>
#include <vector>

namespace jollix {

class ResultTabArrays {
 public:
  // Appends a page under its title (GBK) to the labels and to both arrays; the first page added
  // becomes the selected one. Used while the pages are built.
  void AddPage(const std::string& title);

  // Deletes every label; the page array stays as it is. No position is selected afterwards.
  void RemoveAllTabs();
  // Appends a label (GBK) at the end of the strip.
  void AddLabel(const std::string& label);
  // Copies the master array into the page array, then brings pages[0], pages[1], ... to the
  // positions 0, 1, ... by swapping entries, so every page stays in the array once (pages
  // {1, 2, 3} give positions 0..3 the pages 1, 2, 3, 0). False, with the page array left as
  // the copy, when a page is not in the master array.
  bool PlacePages(const std::vector<int>& pages);
  // Selects a position; false (and no change) at or beyond the number of labels.
  bool Select(int position);

  // The selected position, or -1 when there is none.
  int Current() const { return current_; }
  // The page shown at a position below the number of labels, else -1.
  int PageAt(int position) const;

  const std::vector<std::string>& Labels() const { return labels_; }
  const std::vector<int>& PageArray() const { return pages_; }
  const std::vector<int>& MasterArray() const { return master_; }

 private:
  std::vector<std::string> labels_;
  std::vector<int> pages_;
  std::vector<int> master_;
  int current_ = -1;
};

}  // namespace jollix
