// Port: one page of the result tab view, a list of rows with text columns and a row icon.
// Texts are GBK. Row and column numbers start at 0.
#pragma once

#include <cstdint>
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
  // A number carried with a row and never shown: for a desktop row the byte offset of its
  // record line in index/AllFile.dat, so a file action finds the line without a search. -1
  // for a row that carries none.
  virtual void SetRowData(int row, int64_t data) = 0;
  virtual int64_t RowData(int row) const = 0;
};

}  // namespace jollix
