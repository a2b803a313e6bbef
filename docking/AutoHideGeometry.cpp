#include "docking/AutoHideGeometry.h"

#include <algorithm>

namespace jollix {

int SlideStepCount(int duration_ms) { return std::max(1, duration_ms / kSlideStepInterval); }

int SlideExtentAtStep(int full_extent, int step, int steps, bool out) {
  steps = std::max(1, steps);
  const int done = std::clamp(step + 1, 1, steps);
  // 64-bit so that a huge window cannot overflow the product.
  const int travelled = static_cast<int>(static_cast<long long>(full_extent) * done / steps);
  return out ? travelled : full_extent - travelled;
}

DockRect SlideStepRect(StripSide side, const DockRect& full, int step, int steps, bool out) {
  DockRect rect = full;
  switch (side) {
    case StripSide::kLeft:
      rect.width = SlideExtentAtStep(full.width, step, steps, out);
      break;
    case StripSide::kRight:
      rect.width = SlideExtentAtStep(full.width, step, steps, out);
      rect.x = full.Right() - rect.width;
      break;
    case StripSide::kTop:
      rect.height = SlideExtentAtStep(full.height, step, steps, out);
      break;
    case StripSide::kBottom:
      rect.height = SlideExtentAtStep(full.height, step, steps, out);
      rect.y = full.Bottom() - rect.height;
      break;
  }
  return rect;
}

DockRect SlideOutRect(StripSide side, const DockRect& strip, int extent, int room) {
  const int depth = std::max(1, std::min(extent, room));
  switch (side) {
    case StripSide::kLeft:
      return {strip.Right(), strip.y, depth, strip.height};
    case StripSide::kRight:
      return {strip.x - depth, strip.y, depth, strip.height};
    case StripSide::kTop:
      return {strip.x, strip.Bottom(), strip.width, depth};
    case StripSide::kBottom:
      return {strip.x, strip.y - depth, strip.width, depth};
  }
  return {};
}

int StripTabLength(int text_width, bool has_icon) {
  return std::max(0, text_width) + 16 + (has_icon ? 20 : 0);
}

std::vector<int> LayOutStripTabs(const std::vector<StripTab>& tabs) {
  std::vector<int> starts;
  starts.reserve(tabs.size());
  int offset = kStripTabStart;
  for (size_t i = 0; i < tabs.size(); ++i) {
    if (i > 0) offset += tabs[i].group == tabs[i - 1].group ? kStripTabGap : kStripGroupGap;
    starts.push_back(offset);
    offset += tabs[i].length;
  }
  return starts;
}

int StripTabAt(const std::vector<StripTab>& tabs, const std::vector<int>& starts, int offset) {
  const size_t count = std::min(tabs.size(), starts.size());
  for (size_t i = 0; i < count; ++i) {
    if (offset >= starts[i] && offset < starts[i] + tabs[i].length) return static_cast<int>(i);
  }
  return -1;
}

std::optional<StripSide> PageDropSide(const DockRect& frame, int x, int y) {
  if (!frame.Contains(x, y)) return std::nullopt;
  const int left = x - frame.x;
  const int right = frame.Right() - 1 - x;
  const int top = y - frame.y;
  const int bottom = frame.Bottom() - 1 - y;
  const int nearest = std::min({left, right, top, bottom});
  if (nearest == left) return StripSide::kLeft;
  if (nearest == right) return StripSide::kRight;
  if (nearest == top) return StripSide::kTop;
  return StripSide::kBottom;
}

}  // namespace jollix
