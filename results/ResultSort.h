// Sorting a result page by a clicked column.
//
// Each click on a header flips the page's one sort flag (so the first click on a fresh page
// sorts descending, the next ascending, whichever column is clicked) and sorts the rows by the
// GBK bytes of the clicked column compared as unsigned values: a plain text order, so "10"
// stands before "9", while the desktop sizes, padded to 12 characters, come out by value.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace jollix {

// One row of a result page: its column texts (GBK), icon index and row data.
struct ResultRow {
  std::vector<std::string> cells;
  int image = -1;
  int64_t data = -1;

  // The text in column, empty for a column the row has no text in.
  const std::string& Cell(int column) const;
};

// The per-page sort flag: 0 ascending, 1 descending; 0 on a fresh page.
class SortFlag {
 public:
  // Flips the flag for a header click and returns the new value.
  int Flip() { return flag_ ^= 1; }
  int value() const { return flag_; }

 private:
  int flag_ = 0;
};

// Byte-wise unsigned comparison of two texts: negative, 0 or positive.
int CompareCellTexts(const std::string& a, const std::string& b);

// Orders order (indices into rows) by the texts of column, descending when flag is 1. The sort
// is stable: rows with equal texts keep their relative order.
void SortRowOrder(const std::vector<ResultRow>& rows, int column, int flag,
                  std::vector<int>* order);

// Sorts rows in place by the texts of column, descending when flag is 1; stable.
void SortResultRows(std::vector<ResultRow>* rows, int column, int flag);

}  // namespace jollix
