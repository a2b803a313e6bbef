#include "docking/PageStrip.h"

namespace jollix {

int PageButtonWidth(int text_width, bool has_icon) { return text_width + 9 + (has_icon ? 18 : 0); }

std::vector<bool> FitPageTitles(const std::vector<PageButtonWidths>& widths, int available,
                                int shown) {
  int total = 0;
  for (const PageButtonWidths& width : widths) total += width.full;
  std::vector<bool> titled(widths.size(), true);
  if (total <= available) return titled;
  for (int i = 0; i < static_cast<int>(widths.size()); ++i) {
    titled[i] = i == shown || widths[i].compact >= widths[i].full;
  }
  return titled;
}

}  // namespace jollix
