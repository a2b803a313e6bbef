#include "results/ListResultView.h"

#include <QContextMenuEvent>
#include <QFile>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <set>

#include "channels/SearchState.h"
#include "common/QtPrompter.h"
#include "results/DetailLines.h"
#include "results/FileIconList.h"
#include "results/ResultListModel.h"
#include "results/ResultPages.h"

namespace jollix {
namespace {

bool MoveToTrash(const std::string& disk_path) {
  return QFile::moveToTrash(QFile::decodeName(QByteArray::fromStdString(disk_path)));
}

}  // namespace

CListResultView::CListResultView(int type, const ResultListContext& context, QWidget* parent)
    : QTableView(parent),
      type_(type),
      context_(context),
      model_(new ResultListModel(ResultPageColumns(type), context.icons, this)) {
  setObjectName(QString("page%1").arg(type));
  if (const char* title = ResultPageTitle(type)) setAccessibleName(QStringFromGbk(title));
  setModel(model_);
  SetUpList();
  SetUpColumns();
}

CListResultView::~CListResultView() = default;

void CListResultView::SetUpList() {
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setSelectionMode(QAbstractItemView::ExtendedSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setShowGrid(true);
  setWordWrap(false);
  setSortingEnabled(false);  // sorting is the page's own, by its one flag
  setIconSize(QSize(FileIconList::kIconSize, FileIconList::kIconSize));
  setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
  // Fixed row heights keep 100 000 rows cheap to lay out and scroll.
  verticalHeader()->hide();
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  verticalHeader()->setDefaultSectionSize(
      std::max(fontMetrics().height() + 4, FileIconList::kIconSize + 2));
}

void CListResultView::SetUpColumns() {
  QHeaderView* header = horizontalHeader();
  header->setSectionsClickable(true);
  header->setHighlightSections(false);
  header->setStretchLastSection(false);
  header->setSortIndicatorShown(false);
  header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  const auto& columns = model_->Columns();
  const int spanning = LineSpanningColumn(columns);
  for (int c = 0; c < static_cast<int>(columns.size()); ++c) {
    if (columns[c].fraction == 0 && c != spanning) setColumnHidden(c, true);
  }
  // A page without a column of its own width shows its one column across the line, so that a
  // click anywhere on a row selects it and the arrow keys move from row to row.
  if (spanning >= 0) header->setSectionResizeMode(spanning, QHeaderView::Stretch);
  connect(header, &QHeaderView::sectionClicked, this, &CListResultView::SortByColumn);
  connect(header, &QHeaderView::sectionResized, this, [this] {
    if (!applying_widths_) user_resized_ = true;
  });
}

void CListResultView::DeleteAllRows() { model_->DeleteAllRows(); }
int CListResultView::InsertRow(int row, const char* text, int image) {
  return model_->InsertRow(row, text, image);
}
void CListResultView::SetCell(int row, int column, const char* text) {
  model_->SetCell(row, column, text);
}
std::string CListResultView::Cell(int row, int column) const { return model_->Cell(row, column); }
int CListResultView::RowCount() const { return model_->RowCount(); }
void CListResultView::SetRowData(int row, int64_t data) { model_->SetRowData(row, data); }
int64_t CListResultView::RowData(int row) const { return model_->RowData(row); }

int CListResultView::ColumnCount() const { return static_cast<int>(model_->Columns().size()); }

void CListResultView::ApplyColumnWidths(int client_width) {
  if (user_resized_ || client_width <= 0) return;
  applying_widths_ = true;
  const auto& columns = model_->Columns();
  for (int c = 0; c < static_cast<int>(columns.size()); ++c) {
    if (columns[c].fraction == 0) continue;  // present, hidden
    setColumnWidth(c, ColumnWidth(client_width, columns[c].fraction));
  }
  applying_widths_ = false;
}

std::vector<int> CListResultView::SelectedRows() const {
  std::set<int> shown;
  if (QItemSelectionModel* selection = selectionModel()) {
    for (const QItemSelectionRange& range : selection->selection()) {
      for (int r = range.top(); r <= range.bottom(); ++r) shown.insert(r);
    }
  }
  std::vector<int> rows;
  rows.reserve(shown.size());
  for (int r : shown) rows.push_back(model_->ShownToRow(r));
  return rows;
}

void CListResultView::SortByColumn(int column) {
  const int flag = sort_flag_.Flip();
  model_->Sort(column, flag);
  QHeaderView* header = horizontalHeader();
  header->setSortIndicatorShown(true);
  // The mark points up for an ascending sort (flag 0) and down for a descending one. Qt's header
  // draws the arrow of Qt::AscendingOrder pointing down, so the orders are given the other way.
  header->setSortIndicator(column, flag == 1 ? Qt::AscendingOrder : Qt::DescendingOrder);
}

void CListResultView::ShowDetailLines(const std::vector<std::string>& lines) {
  QListWidget* details = context_.details;
  if (!details) return;
  details->setFont(font());
  details->clear();
  for (const std::string& line : lines) details->addItem(QStringFromGbk(line));
}

void CListResultView::RefreshDetails() {
  model_->Publish();
  ShowDetailLines(DetailLines(*this, ColumnCount(), SelectedRows(), ResultType, DetailColumn));
}

void CListResultView::OpenSelected() {
  model_->Publish();
  if (context_.details) context_.details->clear();
  if (!context_.shell || !context_.prompter) return;
  OpenSelectedResult(*this, SelectedRows(), ResultType, UrlColumn, *context_.shell,
                     *context_.prompter, context_.resolve_song);
}

int CListResultView::ChooseMenuItem(const std::vector<MenuItem>& items, const QPoint& global) {
  if (context_.choose_menu_item) return context_.choose_menu_item(items, global);
  QMenu menu(this);
  menu.setObjectName("menu");
  for (const MenuItem& item : items) {
    QAction* action = menu.addAction(QStringFromGbk(item.text));
    action->setObjectName(QString::number(item.id));
    action->setData(item.id);
  }
  QAction* chosen = menu.exec(global);
  return chosen ? chosen->data().toInt() : 0;
}

void CListResultView::ShowContextMenu(const QPoint& global) {
  model_->Publish();
  if (!context_.shell || !context_.prompter) return;
  DesktopFileActions actions(*context_.prompter, *context_.shell,
                             context_.trash ? context_.trash : TrashFunction(MoveToTrash));
  RunDesktopContextMenu(
      *this, SelectedRows(), *context_.prompter,
      [&](const std::vector<MenuItem>& items) { return ChooseMenuItem(items, global); }, actions);
}

void CListResultView::mouseReleaseEvent(QMouseEvent* event) {
  QTableView::mouseReleaseEvent(event);
  if (event->button() == Qt::LeftButton) RefreshDetails();
}

void CListResultView::mouseDoubleClickEvent(QMouseEvent* event) {
  QTableView::mouseDoubleClickEvent(event);
  if (event->button() == Qt::LeftButton) OpenSelected();
}

void CListResultView::keyReleaseEvent(QKeyEvent* event) {
  QTableView::keyReleaseEvent(event);
  RefreshDetails();
}

void CListResultView::contextMenuEvent(QContextMenuEvent* event) {
  event->accept();
  if (ResultType == 0) {
    ShowContextMenu(event->globalPos());
  } else {
    RefreshDetails();
  }
}

}  // namespace jollix
