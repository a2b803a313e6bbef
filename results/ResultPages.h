// The 26 result pages of the result tab view: their titles and columns, in creation order. A
// page's index is its result type (ResultType).
//
// Column widths are fractions of the page's client width; a fraction of 0 makes a column that
// is present (its text serves the details list and the double-click) but hidden.
#pragma once

#include <vector>

namespace jollix {

inline constexpr int kResultPageCount = 26;

struct ResultColumn {
  const char* header;  // GBK
  double fraction;     // of the client width; 0: hidden
  bool right_aligned = false;
};

// One step of building a page's header: column is inserted in front of position at.
struct ColumnInsert {
  int at;
  ResultColumn column;
};

// The title (GBK) under which page is added while the pages are built; null outside 0..25.
const char* ResultPageTitle(int page);

// The insertions that build the header of page, in the order they are made. The document pages
// (8 to 10) insert "文件名" first and then "类型" in front of it, so that "类型" stands leftmost
// and takes each row's item text. Empty outside 0..25.
std::vector<ColumnInsert> ResultPageColumnInserts(int page);

// The columns of page from left to right, as the insertions leave them.
std::vector<ResultColumn> ResultPageColumns(int page);

// The column that a page whose columns are all of fraction 0 (the idiom and dictionary pages)
// shows across the whole line, or -1 when the page has a column of its own width. Such a page
// would otherwise show no cell at all, and a row without a cell can be neither clicked nor
// reached with the arrow keys, so its text would never reach the details list.
int LineSpanningColumn(const std::vector<ResultColumn>& columns);

// The width of a column: client_width times fraction, truncated toward zero, of which only the
// low 16 bits are kept (the width travels as a 16-bit quantity).
int ColumnWidth(int client_width, double fraction);

}  // namespace jollix
