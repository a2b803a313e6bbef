// Port: one page of the result tab view, a list of rows with text columns and a row icon.
// Texts are GBK. Row and column numbers start at 0.
#pragma once

#include <string>

namespace jollix {

class ResultPage {
 public:
  virtual ~ResultPage() = default;
  virtual void DeleteAllRows() = 0;
  // Inserts a row at index row with the text of column 0; returns the row's index.
  virtual int InsertRow(int row, const char* text, int image) = 0;
  virtual void SetCell(int row, int column, const char* text) = 0;
  virtual std::string Cell(int row, int column) const = 0;
  virtual int RowCount() const = 0;
};

}  // namespace jollix
