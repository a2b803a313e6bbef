#include "results/ResultListModel.h"

#include <QThread>
#include <algorithm>

#include "common/Gbk.h"
#include "common/QtPrompter.h"
#include "results/FileIconList.h"

namespace jollix {
namespace {

// A cell's text for display, read in place: an ASCII text (sizes, times, most names) becomes the
// string in one step, other GBK text through the converter.
QString DisplayText(std::string_view gbk) {
  const bool ascii = std::all_of(gbk.begin(), gbk.end(),
                                 [](char c) { return static_cast<unsigned char>(c) < 0x80; });
  if (ascii) return QString::fromLatin1(gbk.data(), static_cast<qsizetype>(gbk.size()));
  return QString::fromStdString(GbkToUtf8Lossy(gbk));
}

}  // namespace

ResultListModel::ResultListModel(std::vector<ResultColumn> columns, FileIconList* icons,
                                 QObject* parent)
    : QAbstractTableModel(parent), columns_(std::move(columns)), icons_(icons) {}

void ResultListModel::DeleteAllRows() {
  {
    std::lock_guard<std::mutex> lock(mu_);
    rows_.Clear();
    std::vector<int>().swap(order_);
    reset_ = true;
  }
  Changed();
}

int ResultListModel::InsertRow(int row, const char* text, int image) {
  {
    std::lock_guard<std::mutex> lock(mu_);
    const int count = rows_.Count();
    if (row < 0 || row > count) row = count;
    rows_.Insert(row, text ? text : "", image);
    if (!order_.empty()) {
      // Rows after the new one move down by one (none when it is added at the end, as the
      // searches add their rows: a sorted page then takes each row without a pass over all).
      if (row < count) {
        for (int& r : order_) r += r >= row;
      }
      order_.push_back(row);
    }
    // A row inserted among the rows the views show shifts them: the views start afresh. (On a
    // sorted page a new row is shown last, so nothing shown moves.)
    if (order_.empty() && row < published_) reset_ = true;
  }
  Changed();
  return row;
}

void ResultListModel::SetCell(int row, int column, const char* text) {
  {
    std::lock_guard<std::mutex> lock(mu_);
    if (row < 0 || row >= rows_.Count() || column < 0 || column >= kMaxColumns) return;
    rows_.SetCell(row, column, text ? text : "");
    MarkChangedLocked(row);
  }
  Changed();
}

void ResultListModel::SetRowData(int row, int64_t data) {
  std::lock_guard<std::mutex> lock(mu_);
  if (row >= 0 && row < rows_.Count()) rows_.SetData(row, data);
}

std::string ResultListModel::Cell(int row, int column) const {
  std::lock_guard<std::mutex> lock(mu_);
  if (row < 0 || row >= rows_.Count()) return "";
  return std::string(rows_.Cell(row, column));
}

int64_t ResultListModel::RowData(int row) const {
  std::lock_guard<std::mutex> lock(mu_);
  return row >= 0 && row < rows_.Count() ? rows_.Data(row) : -1;
}

int ResultListModel::RowCount() const {
  std::lock_guard<std::mutex> lock(mu_);
  return rows_.Count();
}

void ResultListModel::MarkChangedLocked(int row) {
  if (reset_) return;
  // The shown position of the row; a sorted page marks everything it shows.
  const int shown = order_.empty() ? row : 0;
  if (shown >= published_) return;
  const int last = order_.empty() ? row : published_ - 1;
  changed_first_ = changed_first_ < 0 ? shown : std::min(changed_first_, shown);
  changed_last_ = std::max(changed_last_, last);
}

void ResultListModel::Changed() {
  if (QThread::currentThread() == thread()) {
    Publish();
    return;
  }
  if (publish_queued_.exchange(true)) return;
  QMetaObject::invokeMethod(
      this, [this] { Publish(); }, Qt::QueuedConnection);
}

void ResultListModel::Publish() {
  publish_queued_ = false;
  std::unique_lock<std::mutex> lock(mu_);
  const int count = rows_.Count();
  const bool reset = reset_;
  const int first = changed_first_, last = std::min(changed_last_, published_ - 1);
  const int known = published_;
  reset_ = false;
  changed_first_ = changed_last_ = -1;
  lock.unlock();
  // The signals go out without the lock: the views read data() while handling them.
  if (reset) {
    beginResetModel();
    SetPublished(count);
    endResetModel();
    return;
  }
  if (first >= 0 && first <= last) {
    emit dataChanged(index(first, 0), index(last, columnCount() - 1));
  }
  if (count > known) {
    beginInsertRows(QModelIndex(), known, count - 1);
    SetPublished(count);
    endInsertRows();
  }
}

void ResultListModel::SetPublished(int count) {
  std::lock_guard<std::mutex> lock(mu_);
  published_ = count;
}

void ResultListModel::Sort(int column, int flag) {
  Publish();
  emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
  const QModelIndexList persistent = persistentIndexList();
  std::vector<int> was_row(persistent.size());
  std::vector<int> shown_at;
  {
    std::lock_guard<std::mutex> lock(mu_);
    for (qsizetype i = 0; i < persistent.size(); ++i) {
      was_row[i] = ShownToRowLocked(persistent[i].row());
    }
    if (order_.empty()) {
      order_.resize(rows_.Count());
      for (size_t i = 0; i < order_.size(); ++i) order_[i] = static_cast<int>(i);
    }
    rows_.SortOrder(column, flag, &order_);
    shown_at.assign(rows_.Count(), -1);
    for (size_t shown = 0; shown < order_.size(); ++shown)
      shown_at[order_[shown]] = static_cast<int>(shown);
  }
  QModelIndexList moved;
  for (qsizetype i = 0; i < persistent.size(); ++i) {
    const int row = was_row[i];
    const int shown = row >= 0 && row < static_cast<int>(shown_at.size()) ? shown_at[row] : -1;
    moved.append(shown >= 0 && shown < published_ ? index(shown, persistent[i].column())
                                                  : QModelIndex());
  }
  changePersistentIndexList(persistent, moved);
  emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

int ResultListModel::ShownToRowLocked(int shown) const {
  if (order_.empty()) return shown;
  return shown >= 0 && shown < static_cast<int>(order_.size()) ? order_[shown] : -1;
}

int ResultListModel::ShownToRow(int shown) const {
  std::lock_guard<std::mutex> lock(mu_);
  return ShownToRowLocked(shown);
}

int ResultListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : published_;
}

int ResultListModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QVariant ResultListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.column() >= static_cast<int>(columns_.size())) return {};
  if (role == Qt::TextAlignmentRole) {
    return columns_[index.column()].right_aligned ? int(Qt::AlignRight | Qt::AlignVCenter)
                                                  : int(Qt::AlignLeft | Qt::AlignVCenter);
  }
  if (role != Qt::DisplayRole && role != Qt::DecorationRole) return {};
  int image = -1;
  {
    std::lock_guard<std::mutex> lock(mu_);
    const int row = ShownToRowLocked(index.row());
    // Rows a worker removed before the views were told read as empty until then.
    if (row < 0 || row >= rows_.Count()) return {};
    if (role == Qt::DisplayRole) return DisplayText(rows_.Cell(row, index.column()));
    image = rows_.Image(row);
  }
  if (index.column() != 0 || image < 0 || !icons_) return {};
  return icons_->Icon(image);
}

QVariant ResultListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section < 0 ||
      section >= static_cast<int>(columns_.size())) {
    return QAbstractTableModel::headerData(section, orientation, role);
  }
  if (role == Qt::DisplayRole) return QStringFromGbk(columns_[section].header);
  if (role == Qt::TextAlignmentRole) {
    return columns_[section].right_aligned ? int(Qt::AlignRight | Qt::AlignVCenter)
                                           : int(Qt::AlignLeft | Qt::AlignVCenter);
  }
  return {};
}

}  // namespace jollix
