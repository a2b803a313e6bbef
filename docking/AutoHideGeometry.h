// The geometry of an auto-hide frame: the strips along its edges that hold the tabs of collapsed
// pages, the slide-out window that shows one of those pages beside its strip, the steps in which
// that window slides out and back, and where a page dragged out of a bar lands. All rectangles are
// in the frame's coordinates; nothing here knows a widget.
#pragma once

#include <optional>
#include <vector>

namespace jollix {

// The edge of the frame that a strip runs along.
enum class StripSide { kLeft, kTop, kRight, kBottom };

// True for the left and right strips, whose tabs run top to bottom with turned text.
inline bool IsVerticalStrip(StripSide side) {
  return side == StripSide::kLeft || side == StripSide::kRight;
}

// Thickness of a strip across its edge: 24 pixels on the left and right, 22 on the top and bottom.
// The slide-out window starts right beside its strip, so it lies 24 pixels from a left strip's
// outer edge and 22 from a top strip's.
inline constexpr int kVerticalStripThickness = 24;
inline constexpr int kHorizontalStripThickness = 22;
inline int StripThickness(StripSide side) {
  return IsVerticalStrip(side) ? kVerticalStripThickness : kHorizontalStripThickness;
}

// Times of the auto-hide frame, in milliseconds.
inline constexpr int kSlideStepInterval = 50;      // between two steps of a slide
inline constexpr int kSlideDuration = 300;         // a slide-out, and a slide-back on leaving
inline constexpr int kSwitchSlideDuration = 50;    // the page that makes room for another one
inline constexpr int kHoverTime = 400;             // resting on a tab until its page shows
inline constexpr int kPointerCheckInterval = 400;  // checking whether the pointer left the page

struct DockRect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;

  int Right() const { return x + width; }    // one past the last column
  int Bottom() const { return y + height; }  // one past the last row
  bool IsEmpty() const { return width <= 0 || height <= 0; }
  bool Contains(int px, int py) const {
    return px >= x && px < Right() && py >= y && py < Bottom();
  }
  friend bool operator==(const DockRect&, const DockRect&) = default;
};

// Number of steps of a slide lasting `duration_ms`: one per 50 ms, at least one.
int SlideStepCount(int duration_ms);

// The window's extent in the direction of travel after step `step` (from 0) of `steps`, for a
// window `full_extent` pixels deep. Sliding out it is (step + 1) / steps of the full extent, so the
// last step gives the full extent; sliding back it is what remains once (step + 1) / steps of the
// way back is done, so the last step gives 0 (hidden). Steps past the last count as the last.
int SlideExtentAtStep(int full_extent, int step, int steps, bool out);

// The window's rectangle after step `step` of `steps`: `full` cut to SlideExtentAtStep in the
// direction of travel and anchored at the strip's side (the left edge stays for a left strip, the
// right edge for a right strip, the top for a top strip, the bottom for a bottom strip). An empty
// rectangle means the window is hidden.
DockRect SlideStepRect(StripSide side, const DockRect& full, int step, int steps, bool out);

// The full rectangle of the slide-out window for a page collapsed on the strip `strip` (its
// rectangle) on `side`: beside the strip towards the inside of the frame, as long as the strip,
// `extent` pixels deep but never deeper than `room` (the free depth from the strip's inner edge to
// the far side of the frame) nor less than 1.
DockRect SlideOutRect(StripSide side, const DockRect& strip, int extent, int room);

// A tab of a strip: its length along the strip and the bar it belongs to.
struct StripTab {
  int length = 0;
  int group = 0;
};

// Room before the first tab, and gaps between tabs of one bar and between bars.
inline constexpr int kStripTabStart = 2;
inline constexpr int kStripTabGap = 2;
inline constexpr int kStripGroupGap = 10;

// Length of a tab whose title is `text_width` pixels wide: 8 pixels each side of the title and
// 20 more for an icon.
int StripTabLength(int text_width, bool has_icon);

// Offset along the strip at which each tab starts: tabs follow each other from kStripTabStart,
// kStripTabGap apart, and kStripGroupGap apart where the group changes.
std::vector<int> LayOutStripTabs(const std::vector<StripTab>& tabs);

// The index of the tab that covers `offset` along the strip, or -1.
int StripTabAt(const std::vector<StripTab>& tabs, const std::vector<int>& starts, int offset);

// Where a page dragged out of a bar and dropped at (x, y) goes: docked at the side of `frame` that
// is nearest to the point when the point lies inside the frame; floating (nullopt) outside it.
// Ties go to the left, then the right, the top and the bottom.
std::optional<StripSide> PageDropSide(const DockRect& frame, int x, int y);

}  // namespace jollix
