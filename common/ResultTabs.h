// Port: the tabs of the result view, as the search actions see them. Each tab position shows
// one ResultPage; a channel command decides which pages stand at which positions.
#pragma once

#include "common/ResultPage.h"

namespace jollix {

class ResultTabs {
 public:
  virtual ~ResultTabs() = default;
  // The position of the selected tab (0, 1, ...), or -1 when there is none.
  virtual int SelectedIndex() const = 0;
  // The page at a tab position, or null when the position is not below the number of tabs.
  // The page lives as long as the view.
  virtual ResultPage* PageAt(int index) = 0;
};

}  // namespace jollix
