#include "desktop/FileSearchDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QDateTimeEdit>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "common/QtPrompter.h"
#include "desktop/LocalDatePicker.h"
#include "desktop/UiTextRelay.h"

namespace jollix {
namespace {

QString Text(const char16_t* text) { return QString::fromUtf16(text); }

// A label above its field, which the label names for a screen reader.
QLabel* LabelFor(const char16_t* text, QWidget* field, QWidget* parent) {
  auto* label = new QLabel(Text(text), parent);
  label->setBuddy(field);
  field->setAccessibleName(label->text());
  return label;
}

}  // namespace

CFileSearchDialog::CFileSearchDialog(SearchServer& engine, Prompter& prompter, Shell& shell,
                                     StatusLine& status, QWidget* parent)
    : QWidget(parent), prompter_(prompter), shell_(shell) {
  setObjectName("134");
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(4, 4, 4, 4);
  CreateTypeControls();
  CreateTextFields();
  CreateRangeControls();
  CreateSearchButton();
  layout->addStretch(1);

  status_ = std::make_unique<RelayedStatusLine>(status);
  button_text_ = std::make_unique<QtSearchButtonText>(search_button_);
  search_ = std::make_unique<DesktopSearch>(engine, prompter, *status_, *button_text_);
  ShowTab(0);
}

CFileSearchDialog::~CFileSearchDialog() = default;

void CFileSearchDialog::CreateTypeControls() {
  auto* layout = static_cast<QVBoxLayout*>(this->layout());
  select_all_ = new QRadioButton(Text(u"全选"), this);
  select_all_->setObjectName("1004");
  select_none_ = new QRadioButton(Text(u"全不选"), this);
  select_none_->setObjectName("1005");
  select_all_->setChecked(true);
  connect(select_all_, &QRadioButton::clicked, this, [this] { CheckAllRows(true); });
  connect(select_none_, &QRadioButton::clicked, this, [this] { CheckAllRows(false); });

  types_ = new QTreeWidget(this);
  types_->setObjectName("1007");
  types_->setRootIsDecorated(false);
  types_->setSelectionBehavior(QAbstractItemView::SelectRows);
  types_->setColumnCount(2);
  types_->setHeaderLabels({Text(u"扩展名"), Text(u"文件类型描述")});
  types_->header()->setStretchLastSection(false);
  types_->setMinimumHeight(110);
  types_->viewport()->installEventFilter(this);

  auto* row = new QHBoxLayout;
  row->addWidget(LabelFor(u"搜索的文件类型", types_, this));
  row->addStretch(1);
  row->addWidget(select_all_);
  row->addWidget(select_none_);
  layout->addLayout(row);
  layout->addWidget(types_, 1);
}

void CFileSearchDialog::CreateTextFields() {
  auto* layout = static_cast<QVBoxLayout*>(this->layout());
  name_words_ = new QLineEdit(this);
  name_words_->setObjectName("1008");
  layout->addWidget(LabelFor(u"部分或全部文件名：", name_words_, this));
  layout->addWidget(name_words_);
  // Pinyin search, beyond the form's original fields: off at start, it keeps what the user set
  // while the window runs.
  pinyin_ = new QCheckBox(Text(u"拼音"), this);
  pinyin_->setObjectName("pinyin");
  pinyin_->setAccessibleName(Text(u"按拼音或拼音首字母查找中文文件名"));
  pinyin_->setToolTip(Text(u"文件名关键词也按拼音或拼音首字母匹配，如 ndbg 找到“年度报告”"));
  layout->addWidget(pinyin_, 0, Qt::AlignLeft);  // as wide as its text: a click on it hits

  content_words_ = new QLineEdit(this);
  content_words_->setObjectName("1011");
  layout->addWidget(LabelFor(u"文件中的一个词或词组：", content_words_, this));
  layout->addWidget(content_words_);

  folder_ = new QLineEdit(this);
  folder_->setObjectName("1009");
  browse_ = new QPushButton(QStringLiteral("..."), this);
  browse_->setObjectName("1010");
  browse_->setAccessibleName(Text(u"浏览文件夹"));
  browse_->setAutoDefault(true);  // Enter on the focused button presses it, not the search
  browse_->setFixedWidth(browse_->fontMetrics().horizontalAdvance("....") + 16);
  connect(browse_, &QPushButton::clicked, this, &CFileSearchDialog::PickFolder);
  layout->addWidget(LabelFor(u"在下面的文件夹搜索：", folder_, this));
  auto* row = new QHBoxLayout;
  row->addWidget(folder_, 1);
  row->addWidget(browse_);
  layout->addLayout(row);
}

void CFileSearchDialog::CreateRangeControls() {
  auto* layout = static_cast<QVBoxLayout*>(this->layout());
  // From the earliest time the index holds to the moment the form is made, in local time.
  time_from_ = NewLocalDatePicker("1015", 0, this);
  time_to_ = NewLocalDatePicker("1016", QDateTime::currentSecsSinceEpoch(), this);
  auto* range_label = new QLabel(Text(u"文件最后修改时间范围："), this);
  layout->addWidget(range_label);
  auto* dates = new QGridLayout;
  dates->addWidget(LabelFor(u"从", time_from_, this), 0, 0);
  dates->addWidget(time_from_, 0, 1);
  dates->addWidget(LabelFor(u"到", time_to_, this), 1, 0);
  dates->addWidget(time_to_, 1, 1);
  dates->setColumnStretch(1, 1);
  time_from_->setAccessibleDescription(range_label->text());
  time_to_->setAccessibleDescription(range_label->text());
  layout->addLayout(dates);

  size_ = new QComboBox(this);
  size_->setObjectName("1013");
  for (const SizeClass& size : kSizeClasses) size_->addItem(QStringFromGbk(size.Text));
  layout->addWidget(LabelFor(u"文件大小：", size_, this));
  layout->addWidget(size_);

  // The index holds only the last-write time, so the kind of date is kept but never shown.
  date_kind_ = new QComboBox(this);
  date_kind_->setObjectName("1012");
  for (const char* kind : kDateKindTexts) date_kind_->addItem(QStringFromGbk(kind));
  date_kind_->setCurrentIndex(1);
  date_kind_->setAccessibleName(Text(u"日期种类"));
  date_kind_->hide();
  layout->addWidget(date_kind_);
}

void CFileSearchDialog::CreateSearchButton() {
  search_button_ = new QPushButton(QStringFromGbk(kSearchButtonIdle), this);
  search_button_->setObjectName("1017");
  search_button_->setAutoDefault(true);
  connect(search_button_, &QPushButton::clicked, this, &CFileSearchDialog::StartSearch);
  layout()->addWidget(search_button_);
}

void CFileSearchDialog::SetPage(ResultPage* page) { search_->SetPage(page); }

void CFileSearchDialog::SetFolder(const QString& folder) { folder_->setText(folder); }

void CFileSearchDialog::DisableSearchButton() { search_button_->setEnabled(false); }

void CFileSearchDialog::ShowTab(int tab) {
  class_ = tab;
  types_->clear();
  select_all_->setChecked(true);
  for (const FileTypeLine& line : TabFileTypes(tab, prompter_)) {
    auto* item = new QTreeWidgetItem(
        types_, {QStringFromGbk(line.Extension), QStringFromGbk(line.Description)});
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(0, Qt::Checked);
  }
}

FileSearchFields CFileSearchDialog::Fields() const {
  FileSearchFields fields;
  fields.NameWords = GbkFromQString(name_words_->text());
  fields.ContentWords = GbkFromQString(content_words_->text());
  fields.Folder = GbkFromQString(folder_->text());
  fields.TimeFrom = SecondsIn(time_from_);
  fields.TimeTo = SecondsIn(time_to_);
  fields.SizeText = GbkFromQString(size_->currentText());
  fields.DateKindText = GbkFromQString(date_kind_->currentText());
  fields.Class = class_;
  fields.Pinyin = pinyin_->isChecked();
  for (int i = 0; i < types_->topLevelItemCount(); ++i) {
    const QTreeWidgetItem* item = types_->topLevelItem(i);
    if (item->checkState(0) == Qt::Checked) {
      fields.CheckedExtensions.push_back(GbkFromQString(item->text(0)));
    }
  }
  return fields;
}

void CFileSearchDialog::CheckAllRows(bool checked) {
  for (int i = 0; i < types_->topLevelItemCount(); ++i) {
    types_->topLevelItem(i)->setCheckState(0, checked ? Qt::Checked : Qt::Unchecked);
  }
}

void CFileSearchDialog::PickFolder() {
  std::string folder;
  if (shell_.PickFolder("请选择待搜索的文件夹", &folder)) folder_->setText(QStringFromGbk(folder));
}

void CFileSearchDialog::StartSearch() { search_->Click(Fields()); }

void CFileSearchDialog::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      search_button_->click();  // a disabled button does nothing
      event->accept();
      return;
    case Qt::Key_Escape:
      event->accept();  // a form in the side bar never closes
      return;
    default:
      QWidget::keyPressEvent(event);
  }
}

bool CFileSearchDialog::eventFilter(QObject* watched, QEvent* event) {
  if (watched == types_->viewport() && event->type() == QEvent::Resize) {
    const int width = types_->viewport()->width();
    types_->setColumnWidth(0, width * 30 / 100);
    types_->setColumnWidth(1, width * 62 / 100);
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace jollix
