#include "results/ResultSort.h"

#include <algorithm>
#include <cstring>

namespace jollix {

const std::string& ResultRow::Cell(int column) const {
  static const std::string kEmpty;
  return column >= 0 && column < static_cast<int>(cells.size()) ? cells[column] : kEmpty;
}

int CompareCellTexts(const std::string& a, const std::string& b) {
  const size_t common = std::min(a.size(), b.size());
  // memcmp compares as unsigned char, so high GBK bytes sort after ASCII.
  if (int diff = std::memcmp(a.data(), b.data(), common); diff != 0) return diff;
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

void SortRowOrder(const std::vector<ResultRow>& rows, int column, int flag,
                  std::vector<int>* order) {
  std::stable_sort(order->begin(), order->end(), [&](int a, int b) {
    const std::string& left = rows[a].Cell(column);
    const std::string& right = rows[b].Cell(column);
    return flag == 1 ? CompareCellTexts(right, left) < 0 : CompareCellTexts(left, right) < 0;
  });
}

void SortResultRows(std::vector<ResultRow>* rows, int column, int flag) {
  std::vector<int> order(rows->size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = static_cast<int>(i);
  SortRowOrder(*rows, column, flag, &order);
  std::vector<ResultRow> sorted;
  sorted.reserve(rows->size());
  for (int i : order) sorted.push_back(std::move((*rows)[i]));
  *rows = std::move(sorted);
}

}  // namespace jollix
