#include "results/ResultSort.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace jollix {
namespace {

std::vector<ResultRow> Rows(const std::vector<std::string>& texts) {
  std::vector<ResultRow> rows;
  int data = 0;
  for (const std::string& t : texts) rows.push_back({{"name", t}, -1, data++});
  return rows;
}

std::vector<std::string> Column(const std::vector<ResultRow>& rows, int column) {
  std::vector<std::string> texts;
  for (const ResultRow& r : rows) texts.push_back(r.Cell(column));
  return texts;
}

TEST(SortFlag, FirstClickSortsDescendingThenItAlternates) {
  SortFlag flag;
  EXPECT_EQ(flag.value(), 0);
  EXPECT_EQ(flag.Flip(), 1);
  EXPECT_EQ(flag.Flip(), 0);
  EXPECT_EQ(flag.Flip(), 1);
  EXPECT_EQ(flag.value(), 1);
}

TEST(CompareCellTexts, ComparesBytesAsUnsignedValues) {
  EXPECT_LT(CompareCellTexts("10", "9"), 0);
  EXPECT_LT(CompareCellTexts("a", "ab"), 0);
  EXPECT_EQ(CompareCellTexts("ab", "ab"), 0);
  EXPECT_GT(CompareCellTexts("b", "ab"), 0);
  // A GBK character (high bytes) sorts after every ASCII text.
  EXPECT_GT(CompareCellTexts("中", "zzz"), 0);
  EXPECT_LT(CompareCellTexts("", "a"), 0);
}

TEST(SortResultRows, UnpaddedNumbersSortAsText) {
  auto rows = Rows({"9", "10", "100", "2"});
  SortResultRows(&rows, 1, 0);
  EXPECT_EQ(Column(rows, 1), (std::vector<std::string>{"10", "100", "2", "9"}));
  SortResultRows(&rows, 1, 1);
  EXPECT_EQ(Column(rows, 1), (std::vector<std::string>{"9", "2", "100", "10"}));
}

TEST(SortResultRows, PaddedSizesSortByValue) {
  std::vector<std::string> sizes;
  for (unsigned size : {9u, 4294967295u, 10u, 0u, 123456u}) {
    char text[16];
    std::snprintf(text, sizeof text, "%12u", size);
    sizes.push_back(text);
  }
  auto rows = Rows(sizes);
  SortResultRows(&rows, 1, 0);
  std::vector<int64_t> order;
  for (const ResultRow& r : rows) order.push_back(r.data);
  EXPECT_EQ(order, (std::vector<int64_t>{3, 0, 2, 4, 1}));
}

TEST(SortResultRows, IsStableAndKeepsEachRowWhole) {
  auto rows = Rows({"b", "a", "b", "a"});
  SortResultRows(&rows, 1, 1);
  std::vector<int64_t> order;
  for (const ResultRow& r : rows) order.push_back(r.data);
  EXPECT_EQ(order, (std::vector<int64_t>{0, 2, 1, 3}));
  // A missing column counts as empty text.
  auto uneven = Rows({"x", "y"});
  uneven[1].cells.resize(1);
  SortResultRows(&uneven, 1, 0);
  EXPECT_EQ(uneven[0].data, 1);
}

TEST(SortRowOrder, OrdersIndicesWithoutMovingRows) {
  const auto rows = Rows({"c", "a", "b"});
  std::vector<int> order = {0, 1, 2};
  SortRowOrder(rows, 1, 0, &order);
  EXPECT_EQ(order, (std::vector<int>{1, 2, 0}));
  SortRowOrder(rows, 1, 1, &order);
  EXPECT_EQ(order, (std::vector<int>{0, 2, 1}));
}

}  // namespace
}  // namespace jollix
