// CListResultView: one result page of the result tab view, a report-style list of rows whose
// texts the channels fill through the ResultPage port.
//
// Threads: the port's operations may be called from any thread (the desktop search writes its
// rows from its worker); see ResultListModel. Everything else runs on the user-interface thread.
//
// The list sorts on a header click, refreshes the details list on a click or key release, opens
// the selected result on a double-click and, on the desktop page (ResultType 0), offers the file
// menu on a right-click. The work is done by the core (ResultSort, DetailLines, OpenResult,
// DesktopFileActions); the list reads its selection and shows what comes back.
#pragma once

#include <QTableView>
#include <vector>

#include "common/ResultPage.h"
#include "results/ResultListContext.h"
#include "results/ResultSort.h"

namespace jollix {

class ResultListModel;

class CListResultView : public QTableView, public ResultPage {
  Q_OBJECT

 public:
  // The page of result type type (0..25), with that page's columns. context's pointers must
  // outlive the view.
  CListResultView(int type, const ResultListContext& context, QWidget* parent = nullptr);
  ~CListResultView() override;

  // ResultPage, any thread. Row numbers are the order of insertion, whatever the sort shows.
  void DeleteAllRows() override;
  int InsertRow(int row, const char* text, int image) override;
  void SetCell(int row, int column, const char* text) override;
  std::string Cell(int row, int column) const override;
  int RowCount() const override;
  void SetRowData(int row, int64_t data) override;
  int64_t RowData(int row) const override;

  int Type() const { return type_; }
  int ColumnCount() const;
  ResultListModel* Model() const { return model_; }
  int SortFlagValue() const { return sort_flag_.value(); }

  // Sets the column widths from the page's fractions of client_width, unless the user has
  // resized a column of this page; columns of fraction 0 stay hidden, except the one column of
  // a page that has no other (LineSpanningColumn), which always fills the line.
  void ApplyColumnWidths(int client_width);

  // The selected rows as port row numbers, in the order shown.
  std::vector<int> SelectedRows() const;

  // The list's reactions, also reachable without mouse events.
  void SortByColumn(int column);
  void RefreshDetails();
  void OpenSelected();
  void ShowContextMenu(const QPoint& global);

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  void SetUpList();
  void SetUpColumns();
  void ShowDetailLines(const std::vector<std::string>& lines);
  int ChooseMenuItem(const std::vector<MenuItem>& items, const QPoint& global);

  const int type_;
  ResultListContext context_;
  ResultListModel* model_;
  SortFlag sort_flag_;
  bool applying_widths_ = false;
  bool user_resized_ = false;
};

}  // namespace jollix
