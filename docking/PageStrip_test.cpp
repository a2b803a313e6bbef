#include "docking/PageStrip.h"

#include <gtest/gtest.h>

namespace jollix {
namespace {

TEST(PageButtonWidthTest, AddsNinePixelsAndEighteenMoreForAnIcon) {
  EXPECT_EQ(PageButtonWidth(48, false), 57);
  EXPECT_EQ(PageButtonWidth(48, true), 75);
  EXPECT_EQ(PageButtonWidth(0, false), 9);
}

struct FitCase {
  const char* name;
  std::vector<PageButtonWidths> widths;
  int available;
  int shown;
  std::vector<bool> titled;
};

class FitPageTitlesTest : public ::testing::TestWithParam<FitCase> {};

TEST_P(FitPageTitlesTest, KeepsTitlesWhereTheyFit) {
  const FitCase& c = GetParam();
  EXPECT_EQ(FitPageTitles(c.widths, c.available, c.shown), c.titled) << c.name;
}

const PageButtonWidths kIcon{75, 27};
const PageButtonWidths kNoIcon{57, 57};

INSTANTIATE_TEST_SUITE_P(
    Cases, FitPageTitlesTest,
    ::testing::Values(
        FitCase{"no buttons", {}, 0, -1, {}},
        FitCase{"all fit exactly", {kIcon, kIcon, kIcon}, 225, 1, {true, true, true}},
        FitCase{"one pixel short keeps only the shown title",
                {kIcon, kIcon, kIcon},
                224,
                1,
                {false, true, false}},
        FitCase{"nothing shown drops every title", {kIcon, kIcon}, 100, -1, {false, false}},
        FitCase{"a button without icon keeps its title",
                {kIcon, kNoIcon, kIcon},
                100,
                0,
                {true, true, false}},
        FitCase{"eight side-bar pages in 300 pixels",
                std::vector<PageButtonWidths>(8, kIcon),
                300,
                7,
                {false, false, false, false, false, false, false, true}}),
    [](const ::testing::TestParamInfo<FitCase>& info) { return std::to_string(info.index); });

}  // namespace
}  // namespace jollix
