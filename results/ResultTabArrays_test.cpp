#include "results/ResultTabArrays.h"

#include <gtest/gtest.h>

namespace jollix {
namespace {

ResultTabArrays Built(int pages) {
  ResultTabArrays arrays;
  for (int i = 0; i < pages; ++i) arrays.AddPage("page" + std::to_string(i));
  return arrays;
}

TEST(ResultTabArrays, AddingPagesFillsBothArraysAndSelectsTheFirst) {
  ResultTabArrays arrays = Built(4);
  EXPECT_EQ(arrays.Labels().size(), 4u);
  EXPECT_EQ(arrays.MasterArray(), (std::vector<int>{0, 1, 2, 3}));
  EXPECT_EQ(arrays.PageArray(), (std::vector<int>{0, 1, 2, 3}));
  EXPECT_EQ(arrays.Current(), 0);
}

TEST(ResultTabArrays, RemovingTabsKeepsThePageArrayAndSelectsNothing) {
  ResultTabArrays arrays = Built(4);
  ASSERT_TRUE(arrays.PlacePages({2}));
  arrays.RemoveAllTabs();
  EXPECT_TRUE(arrays.Labels().empty());
  EXPECT_EQ(arrays.PageArray(), (std::vector<int>{2, 1, 0, 3}));
  EXPECT_EQ(arrays.Current(), -1);
  EXPECT_EQ(arrays.PageAt(0), -1);
  EXPECT_FALSE(arrays.Select(0));
}

TEST(ResultTabArrays, PlacingPagesSwapsThemToTheFirstPositions) {
  struct Case {
    std::vector<int> pages;
    std::vector<int> expected;
  };
  const Case cases[] = {
      {{1, 2, 3}, {1, 2, 3, 0, 4, 5}},
      {{5}, {5, 1, 2, 3, 4, 0}},
      {{0}, {0, 1, 2, 3, 4, 5}},
      {{3, 4, 5}, {3, 4, 5, 0, 1, 2}},
      // Any order works: the page is looked up, not its index.
      {{1, 0}, {1, 0, 2, 3, 4, 5}},
      {{}, {0, 1, 2, 3, 4, 5}},
  };
  for (const Case& c : cases) {
    ResultTabArrays arrays = Built(6);
    ASSERT_TRUE(arrays.PlacePages({4, 5}));  // a previous command's placing is undone first
    EXPECT_TRUE(arrays.PlacePages(c.pages));
    EXPECT_EQ(arrays.PageArray(), c.expected);
  }
}

TEST(ResultTabArrays, PlacingAnUnknownOrRepeatedPageFails) {
  ResultTabArrays arrays = Built(4);
  EXPECT_FALSE(arrays.PlacePages({7}));
  EXPECT_FALSE(arrays.PlacePages({1, 1}));
  EXPECT_EQ(arrays.MasterArray(), (std::vector<int>{0, 1, 2, 3}));
}

TEST(ResultTabArrays, AChannelCommandInItsCallingOrder) {
  ResultTabArrays arrays = Built(6);
  arrays.RemoveAllTabs();
  arrays.AddLabel("a");
  arrays.AddLabel("b");
  arrays.AddLabel("c");
  ASSERT_TRUE(arrays.PlacePages({1, 2, 3}));
  EXPECT_EQ(arrays.Current(), -1);
  EXPECT_TRUE(arrays.Select(1));
  EXPECT_EQ(arrays.Current(), 1);
  EXPECT_EQ(arrays.PageAt(0), 1);
  EXPECT_EQ(arrays.PageAt(1), 2);
  EXPECT_EQ(arrays.PageAt(2), 3);
  // Position 3 holds page 0, but there is no label for it.
  EXPECT_EQ(arrays.PageArray()[3], 0);
  EXPECT_EQ(arrays.PageAt(3), -1);
  EXPECT_FALSE(arrays.Select(3));
  EXPECT_FALSE(arrays.Select(-1));
  EXPECT_EQ(arrays.Current(), 1);
  EXPECT_TRUE(arrays.Select(1));  // selecting the current one again is no failure
  EXPECT_EQ(arrays.Labels(), (std::vector<std::string>{"a", "b", "c"}));
}

}  // namespace
}  // namespace jollix
