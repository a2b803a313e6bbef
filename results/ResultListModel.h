// The rows of one result page as GBK strings, under a table model that converts them for
// display.
//
// Threads: the row operations (DeleteAllRows, InsertRow, SetCell, SetRowData and the readers)
// may be called from any thread; they change the rows at once, under a lock, so that a reader
// sees every call made so far. The views learn of the changes only on the user-interface thread:
// a call made there publishes at once, a call from another thread asks for one queued Publish,
// which takes every change made until it runs in one go. A worker that writes 100 000 rows thus
// costs the window a few large updates, not 100 000 small ones.
//
// The rows are packed (ResultRows): a row costs a few dozen bytes beside its texts, a cell is
// converted for display only when a view asks for it, and a header click sorts 500 000 rows in
// well under a second.
//
// Row numbers of the row operations are the order in which the rows were inserted; sorting
// changes only the order in which they are shown (ShownToRow maps one to the other).
#pragma once

#include <QAbstractTableModel>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "results/ResultPages.h"
#include "results/ResultRows.h"

namespace jollix {

class FileIconList;

class ResultListModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  // icons may be null (no row icons). The model belongs to the thread that creates it.
  ResultListModel(std::vector<ResultColumn> columns, FileIconList* icons,
                  QObject* parent = nullptr);

  // Row operations, any thread.
  void DeleteAllRows();
  int InsertRow(int row, const char* text, int image);
  void SetCell(int row, int column, const char* text);
  void SetRowData(int row, int64_t data);
  std::string Cell(int row, int column) const;
  int64_t RowData(int row) const;
  int RowCount() const;

  // User-interface thread. Brings the views up to date with the rows.
  void Publish();
  // Shows the rows ordered by column (descending when flag is 1); the selection follows its rows.
  void Sort(int column, int flag);
  // The row shown at position shown.
  int ShownToRow(int shown) const;

  const std::vector<ResultColumn>& Columns() const { return columns_; }

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 private:
  // After a change under the lock: publishes here, or asks for a queued Publish.
  void Changed();
  // Marks a cell change of a row the views already know.
  void MarkChangedLocked(int row);
  int ShownToRowLocked(int shown) const;
  void SetPublished(int count);

  const std::vector<ResultColumn> columns_;
  FileIconList* const icons_;

  mutable std::mutex mu_;
  // A cell beyond the last of these is ignored; no page has more than a handful of columns.
  static constexpr int kMaxColumns = 256;

  ResultRows rows_;
  std::vector<int> order_;  // shown position -> row; empty while nothing is sorted
  int published_ = 0;       // rows the views know of; written on the user-interface thread
  bool reset_ = false;      // the rows were replaced or shifted since the last Publish
  int changed_first_ = -1;  // range of published rows whose cells changed
  int changed_last_ = -1;
  std::atomic<bool> publish_queued_{false};
};

}  // namespace jollix
