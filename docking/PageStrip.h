// Measuring and fitting the page buttons of a docking bar. A bar that holds several pages shows one
// button per page in a strip along its bottom edge; these rules decide how wide each button is and
// which buttons keep their titles when the strip is too narrow for all of them.
#pragma once

#include <vector>

namespace jollix {

// Height of the page-button strip at the bottom of a bar holding two or more pages.
inline constexpr int kPageStripHeight = 27;

// Width of a page button whose title is `text_width` pixels wide in the button font: the title
// plus 9 pixels, plus 18 more when the button shows an icon.
int PageButtonWidth(int text_width, bool has_icon);

// Width of a button that shows only its icon.
inline constexpr int kIconOnlyButtonWidth = 27;

// The two widths a page button can take: with its title, and in the compact form. A button without
// an icon cannot drop its title, so its compact width is its full width.
struct PageButtonWidths {
  int full = 0;
  int compact = 0;
};

// Decides, for each button, whether it shows its title in a strip `available` pixels wide. When
// the full widths fit, every button shows its title. Otherwise only the button of the shown page
// (`shown`, -1 for none) keeps its title and the others shrink to their compact widths, so the
// strip never asks for more room than the bar has; what still does not fit is cut off at the right.
std::vector<bool> FitPageTitles(const std::vector<PageButtonWidths>& widths, int available,
                                int shown);

}  // namespace jollix
