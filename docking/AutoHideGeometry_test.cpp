#include "docking/AutoHideGeometry.h"

#include <gtest/gtest.h>

#include <string>

namespace jollix {
namespace {

std::string Name(int index) { return std::to_string(index); }

struct CountCase {
  int duration;
  int steps;
};

class SlideStepCountTest : public ::testing::TestWithParam<CountCase> {};

TEST_P(SlideStepCountTest, OneStepPerFiftyMillisecondsAtLeastOne) {
  EXPECT_EQ(SlideStepCount(GetParam().duration), GetParam().steps) << GetParam().duration;
}

INSTANTIATE_TEST_SUITE_P(Cases, SlideStepCountTest,
                         ::testing::Values(CountCase{300, 6}, CountCase{50, 1}, CountCase{49, 1},
                                           CountCase{0, 1}, CountCase{-100, 1}, CountCase{99, 1},
                                           CountCase{100, 2}, CountCase{1000, 20}),
                         [](const auto& info) { return Name(static_cast<int>(info.index)); });

struct ExtentCase {
  int full;
  int step;
  int steps;
  bool out;
  int extent;
};

class SlideExtentTest : public ::testing::TestWithParam<ExtentCase> {};

TEST_P(SlideExtentTest, GrowsOutAndShrinksBack) {
  const ExtentCase& c = GetParam();
  EXPECT_EQ(SlideExtentAtStep(c.full, c.step, c.steps, c.out), c.extent)
      << c.full << " step " << c.step << "/" << c.steps << (c.out ? " out" : " back");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SlideExtentTest,
    ::testing::Values(ExtentCase{300, 0, 6, true, 50}, ExtentCase{300, 1, 6, true, 100},
                      ExtentCase{300, 4, 6, true, 250}, ExtentCase{300, 5, 6, true, 300},
                      ExtentCase{301, 5, 6, true, 301},  // the last step is always whole
                      ExtentCase{301, 0, 6, true, 50},   // rounds down
                      ExtentCase{300, 9, 6, true, 300},  // past the last step
                      ExtentCase{300, 0, 6, false, 250}, ExtentCase{300, 4, 6, false, 50},
                      ExtentCase{300, 5, 6, false, 0},  // hidden after the last step back
                      ExtentCase{160, 0, 1, true, 160}, ExtentCase{160, 0, 1, false, 0},
                      ExtentCase{160, 0, 0, true, 160}),  // no steps counts as one
    [](const auto& info) { return Name(static_cast<int>(info.index)); });

struct RectCase {
  StripSide side;
  int step;
  bool out;
  DockRect rect;
};

class SlideStepRectTest : public ::testing::TestWithParam<RectCase> {};

// A 300 x 240 window at (24, 50); for the top and bottom strips the 240 is the travel.
TEST_P(SlideStepRectTest, AnchorsAtTheStripSide) {
  const RectCase& c = GetParam();
  const DockRect full{24, 50, 300, 240};
  EXPECT_EQ(SlideStepRect(c.side, full, c.step, 6, c.out), c.rect)
      << static_cast<int>(c.side) << " step " << c.step;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SlideStepRectTest,
    ::testing::Values(RectCase{StripSide::kLeft, 0, true, {24, 50, 50, 240}},
                      RectCase{StripSide::kLeft, 5, true, {24, 50, 300, 240}},
                      RectCase{StripSide::kLeft, 2, false, {24, 50, 150, 240}},
                      RectCase{StripSide::kRight, 0, true, {274, 50, 50, 240}},
                      RectCase{StripSide::kRight, 5, true, {24, 50, 300, 240}},
                      RectCase{StripSide::kRight, 3, false, {224, 50, 100, 240}},
                      RectCase{StripSide::kTop, 0, true, {24, 50, 300, 40}},
                      RectCase{StripSide::kTop, 5, true, {24, 50, 300, 240}},
                      RectCase{StripSide::kBottom, 0, true, {24, 250, 300, 40}},
                      RectCase{StripSide::kBottom, 2, true, {24, 170, 300, 120}},
                      RectCase{StripSide::kBottom, 5, false, {24, 290, 300, 0}}),
    [](const auto& info) { return Name(static_cast<int>(info.index)); });

TEST(SlideStepRectTest, LastStepBackIsEmptyOnEverySide) {
  const DockRect full{10, 20, 300, 200};
  for (StripSide side :
       {StripSide::kLeft, StripSide::kTop, StripSide::kRight, StripSide::kBottom}) {
    EXPECT_TRUE(SlideStepRect(side, full, 5, 6, false).IsEmpty()) << static_cast<int>(side);
    EXPECT_FALSE(SlideStepRect(side, full, 4, 6, false).IsEmpty()) << static_cast<int>(side);
    EXPECT_EQ(SlideStepRect(side, full, 5, 6, true), full) << static_cast<int>(side);
  }
}

struct OutRectCase {
  StripSide side;
  DockRect strip;
  int extent;
  int room;
  DockRect rect;
};

class SlideOutRectTest : public ::testing::TestWithParam<OutRectCase> {};

TEST_P(SlideOutRectTest, LiesBesideTheStripTowardsTheInside) {
  const OutRectCase& c = GetParam();
  EXPECT_EQ(SlideOutRect(c.side, c.strip, c.extent, c.room), c.rect);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SlideOutRectTest,
    ::testing::Values(
        // A left strip 24 wide from the frame's edge: the window starts 24 pixels from it.
        OutRectCase{StripSide::kLeft, {0, 40, 24, 500}, 300, 876, {24, 40, 300, 500}},
        // A top strip 22 high under a 40-pixel toolbar: the window starts 22 below its edge.
        OutRectCase{StripSide::kTop, {0, 40, 900, 22}, 160, 500, {0, 62, 900, 160}},
        // The right and bottom windows end at their strips.
        OutRectCase{StripSide::kRight, {876, 40, 24, 500}, 300, 876, {576, 40, 300, 500}},
        OutRectCase{StripSide::kBottom, {0, 556, 900, 22}, 160, 500, {0, 396, 900, 160}},
        // Never deeper than the room, never less than a pixel.
        OutRectCase{StripSide::kLeft, {0, 0, 24, 300}, 300, 200, {24, 0, 200, 300}},
        OutRectCase{StripSide::kRight, {876, 0, 24, 300}, 300, 0, {875, 0, 1, 300}}),
    [](const auto& info) { return Name(static_cast<int>(info.index)); });

TEST(StripTabTest, LengthAddsMarginsAndIcon) {
  EXPECT_EQ(StripTabLength(52, false), 68);
  EXPECT_EQ(StripTabLength(52, true), 88);
  EXPECT_EQ(StripTabLength(-3, false), 16);
}

TEST(StripTabTest, LayOutSeparatesGroups) {
  const std::vector<StripTab> tabs{{60, 0}, {70, 0}, {50, 1}, {40, 1}};
  const std::vector<int> starts = LayOutStripTabs(tabs);
  EXPECT_EQ(starts, (std::vector<int>{2, 64, 144, 196}));
  EXPECT_TRUE(LayOutStripTabs({}).empty());
}

TEST(StripTabTest, TabAtFindsTheCoveringTab) {
  const std::vector<StripTab> tabs{{60, 0}, {70, 0}, {50, 1}};
  const std::vector<int> starts = LayOutStripTabs(tabs);  // 2, 64, 144
  const std::pair<int, int> cases[] = {{0, -1}, {1, -1},  {2, 0},    {61, 0},  {62, -1},
                                       {64, 1}, {133, 1}, {134, -1}, {144, 2}, {194, -1}};
  for (const auto& [offset, tab] : cases)
    EXPECT_EQ(StripTabAt(tabs, starts, offset), tab) << offset;
}

struct DropCase {
  int x;
  int y;
  std::optional<StripSide> side;
};

class PageDropSideTest : public ::testing::TestWithParam<DropCase> {};

// A 900 x 600 frame at (100, 50).
TEST_P(PageDropSideTest, NearestSideInsideFloatingOutside) {
  const DropCase& c = GetParam();
  EXPECT_EQ(PageDropSide({100, 50, 900, 600}, c.x, c.y), c.side) << c.x << "," << c.y;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PageDropSideTest,
    ::testing::Values(DropCase{110, 300, StripSide::kLeft}, DropCase{990, 300, StripSide::kRight},
                      DropCase{500, 60, StripSide::kTop}, DropCase{500, 640, StripSide::kBottom},
                      DropCase{100, 50, StripSide::kLeft},    // corner: a tie goes left
                      DropCase{999, 649, StripSide::kRight},  // right before bottom
                      DropCase{99, 300, std::nullopt}, DropCase{1000, 300, std::nullopt},
                      DropCase{500, 650, std::nullopt}, DropCase{500, 49, std::nullopt}),
    [](const auto& info) { return Name(static_cast<int>(info.index)); });

}  // namespace
}  // namespace jollix
