#include "results/ResultRows.h"

#include <gtest/gtest.h>

#include <random>

#include "results/ResultSort.h"

namespace jollix {
namespace {

// Texts that sort awkwardly: empty, ASCII and GBK, texts ending at or just past 8 and 16 bytes
// (the sort compares 8 bytes at a time), long shared beginnings, padded sizes, high bytes.
const std::vector<std::string>& Pool() {
  static const std::vector<std::string> pool = {
      "",
      "a",
      "ab",
      "abcdefg",
      "abcdefgh",
      "abcdefgha",
      "abcdefgh中",
      "abcdefghabcdefgh",
      "abcdefghabcdefgh ",
      "/home/user/照片/2024/",
      "/home/user/照片/2025/",
      "/home/user/照片/",
      "/home/user/report/",
      "           9",
      "          10",
      "  4294967295",
      "中",
      "中文",
      "中文文件夹",
      "中文文件夹a",
      "文本文件",
      "Z",
      "\x7f",
      "\xff\xfe",
      "2024-01-02 03:04",
  };
  return pool;
}

// rows rows of up to three columns filled from the pool; some rows lack the last columns.
std::vector<ResultRow> RandomRows(std::mt19937& random, int rows) {
  std::vector<ResultRow> out(rows);
  for (int r = 0; r < rows; ++r) {
    const int columns = 1 + static_cast<int>(random() % 3);
    for (int c = 0; c < columns; ++c) out[r].cells.push_back(Pool()[random() % Pool().size()]);
    out[r].data = r;
  }
  return out;
}

ResultRows Packed(const std::vector<ResultRow>& rows) {
  ResultRows packed;
  for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
    packed.Insert(r, rows[r].cells[0], -1);
    for (int c = 1; c < static_cast<int>(rows[r].cells.size()); ++c) {
      packed.SetCell(r, c, rows[r].cells[c]);
    }
  }
  return packed;
}

TEST(ResultRows, SortsInTheOrderOfTheReferenceSortForEveryColumnAndFlag) {
  std::mt19937 random(7);
  for (int round = 0; round < 20; ++round) {
    const std::vector<ResultRow> rows = RandomRows(random, 1 + round * 37);
    const ResultRows packed = Packed(rows);
    // Start from a shuffled order, as after an earlier sort: ties keep that order.
    std::vector<int> start(rows.size());
    for (size_t i = 0; i < start.size(); ++i) start[i] = static_cast<int>(i);
    std::shuffle(start.begin(), start.end(), random);
    for (int column = 0; column < 4; ++column) {
      for (int flag = 0; flag < 2; ++flag) {
        std::vector<int> expected = start, got = start;
        SortRowOrder(rows, column, flag, &expected);
        packed.SortOrder(column, flag, &got);
        ASSERT_EQ(got, expected) << "round " << round << " column " << column << " flag " << flag;
      }
    }
  }
}

// Random inserts anywhere, cell writes to any row (the row just inserted, mostly, as the
// searches fill rows), longer and shorter rewrites and enough of them to compact the blocks:
// every cell, icon and row data reads back as a plain list of rows holds them.
TEST(ResultRows, KeepsEveryCellThroughInsertsAndRewritesAnywhere) {
  std::mt19937 random(11);
  std::vector<ResultRow> expected;
  ResultRows packed;
  for (int step = 0; step < 15000; ++step) {
    const int count = static_cast<int>(expected.size());
    const unsigned what = random() % 10;
    if (count == 0 || what < 3) {
      const int row = what == 0 && count > 0 ? static_cast<int>(random() % count) : count;
      std::string text = Pool()[random() % Pool().size()];
      const int image = static_cast<int>(random() % 5) - 1;
      packed.Insert(row, text, image);
      expected.insert(expected.begin() + row, ResultRow{{text}, image, -1});
      continue;
    }
    const int row = what < 8 ? count - 1 : static_cast<int>(random() % count);
    const int column = static_cast<int>(random() % 6);
    std::string text = Pool()[random() % Pool().size()];
    if (random() % 50 == 0) text = std::string(5000 + random() % 3000, 'x');  // beyond a block
    packed.SetCell(row, column, text);
    auto& cells = expected[row].cells;
    if (static_cast<int>(cells.size()) <= column) cells.resize(column + 1);
    cells[column] = text;
    const int64_t data = static_cast<int64_t>(random());
    packed.SetData(row, data);
    expected[row].data = data;
  }
  ASSERT_EQ(packed.Count(), static_cast<int>(expected.size()));
  for (int r = 0; r < packed.Count(); ++r) {
    ASSERT_EQ(packed.Image(r), expected[r].image) << r;
    ASSERT_EQ(packed.Data(r), expected[r].data) << r;
    for (int c = 0; c < 7; ++c) ASSERT_EQ(packed.Cell(r, c), expected[r].Cell(c)) << r << " " << c;
  }
  packed.Clear();
  EXPECT_EQ(packed.Count(), 0);
  packed.Insert(0, "again", 3);
  EXPECT_EQ(packed.Cell(0, 0), "again");
  EXPECT_EQ(packed.Cell(0, 1), "");
}

}  // namespace
}  // namespace jollix
