#include "shell/SystemSettingDialog.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "common/QtPrompter.h"

namespace jollix {
namespace {

QString Text(const char16_t* text) { return QString::fromUtf16(text); }

// A report list with full-row selection and grid lines, its id as object name.
QTreeWidget* NewList(int id, const QStringList& columns, QWidget* parent) {
  auto* list = new QTreeWidget(parent);
  list->setObjectName(QString::number(id));
  list->setHeaderLabels(columns);
  list->setRootIsDecorated(false);
  list->setItemsExpandable(false);
  list->setUniformRowHeights(true);
  list->setSelectionMode(QAbstractItemView::ExtendedSelection);
  list->setSelectionBehavior(QAbstractItemView::SelectRows);
  list->setAllColumnsShowFocus(true);
  list->header()->setSectionsMovable(false);
  list->header()->setStretchLastSection(true);
  list->setStyleSheet(
      QStringLiteral("QTreeWidget::item { border-right: 1px solid palette(midlight);"
                     " border-bottom: 1px solid palette(midlight); }"
      "QTreeWidget::item:selected { background: palette(highlight);"
      " color: palette(highlighted-text); }"));
  return list;
}

QPushButton* NewButton(int id, const char16_t* text, QWidget* parent) {
  auto* button = new QPushButton(Text(text), parent);
  button->setObjectName(QString::number(id));
  button->setAutoDefault(false);
  return button;
}

QLabel* NewLabel(const char16_t* text, QWidget* buddy, QWidget* parent) {
  auto* label = new QLabel(Text(text), parent);
  label->setBuddy(buddy);
  buddy->setAccessibleName(label->text());
  return label;
}

QStringList QStrings(const std::vector<std::string>& texts) {
  QStringList list;
  for (const std::string& t : texts) list << QStringFromGbk(t);
  return list;
}

}  // namespace

CSystemSetting::CSystemSetting(Prompter& prompter, Shell& shell, IndexConfig& config,
                               QWidget* parent)
    : QDialog(parent), settings_(prompter, shell, config) {
  setObjectName("150");
  setWindowTitle(Text(u"Jollix超级搜索系统设置"));
  CreateControls();
  settings_.Load();
  ShowFileTypes();
  ShowFolders();
  ShowFields();
}

void CSystemSetting::CreateControls() {
  auto* groups = new QHBoxLayout;
  groups->addWidget(CreateFileTypeGroup(), 1);
  groups->addWidget(CreateFolderGroup(), 1);
  auto* ok = NewButton(1, u"确定", this);
  ok->setDefault(true);
  auto* cancel = NewButton(2, u"取消", this);
  connect(ok, &QPushButton::clicked, this, &CSystemSetting::accept);
  connect(cancel, &QPushButton::clicked, this, &CSystemSetting::reject);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(ok);
  buttons->addWidget(cancel);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(groups, 1);
  layout->addLayout(buttons);
  resize(760, 400);  // 435 x 185 dialog units
}

QWidget* CSystemSetting::CreateFileTypeGroup() {
  auto* group = new QGroupBox(Text(u"文件类型管理"), this);
  file_types_ = NewList(1007, {Text(u"扩展名"), Text(u"文件类型"), Text(u"扩展名描述")}, group);
  extension_ = new QLineEdit(group);
  extension_->setObjectName("1030");
  type_ = new QComboBox(group);
  type_->setObjectName("1053");
  type_->setEditable(true);
  type_->setInsertPolicy(QComboBox::NoInsert);
  type_->addItems(QStrings(TypeClassTexts()));
  description_ = new QLineEdit(group);
  description_->setObjectName("1040");

  auto* fields = new QGridLayout;
  fields->addWidget(NewLabel(u"后缀名：", extension_, group), 0, 0);
  fields->addWidget(extension_, 0, 1);
  fields->addWidget(NewLabel(u"文件类型：", type_, group), 1, 0);
  fields->addWidget(type_, 1, 1);
  fields->addWidget(NewLabel(u"后缀描述：", description_, group), 2, 0);
  fields->addWidget(description_, 2, 1);
  auto* add = NewButton(1033, u"增加", group);
  auto* remove = NewButton(1054, u"删除", group);
  auto* modify = NewButton(1034, u"修改", group);
  auto* buttons = new QHBoxLayout;
  for (QPushButton* b : {add, remove, modify}) buttons->addWidget(b);

  auto* layout = new QVBoxLayout(group);
  layout->addWidget(NewLabel(u"文件类型", file_types_, group));
  layout->addWidget(file_types_, 1);
  layout->addLayout(fields);
  layout->addLayout(buttons);

  connect(file_types_, &QTreeWidget::itemClicked, this, &CSystemSetting::OnFileTypeClicked);
  connect(add, &QPushButton::clicked, this, &CSystemSetting::OnAddFileType);
  connect(remove, &QPushButton::clicked, this, &CSystemSetting::OnDeleteFileTypes);
  connect(modify, &QPushButton::clicked, this, &CSystemSetting::OnModifyFileType);
  return group;
}

QWidget* CSystemSetting::CreateFolderGroup() {
  auto* group = new QGroupBox(Text(u"索引管理"), this);
  folders_ = NewList(1008, {Text(u"待扫描目录（复选框选中表示更新其索引）")}, group);
  folder_ = new QLineEdit(group);
  folder_->setObjectName("1035");
  auto* pick = NewButton(1041, u"...", group);
  pick->setAccessibleName(Text(u"请选择待搜索的文件夹"));
  pick->setFixedWidth(pick->fontMetrics().horizontalAdvance(QStringLiteral("....")) + 24);
  frequency_ = new QComboBox(group);
  frequency_->setObjectName("1055");
  frequency_->addItems(QStrings(FrequencyTexts()));

  auto* fields = new QGridLayout;
  fields->addWidget(NewLabel(u"扫描目录：", folder_, group), 0, 0);
  auto* folder_row = new QHBoxLayout;
  folder_row->addWidget(folder_, 1);
  folder_row->addWidget(pick);
  fields->addLayout(folder_row, 0, 1);
  fields->addWidget(NewLabel(u"索引更新：", frequency_, group), 1, 0);
  fields->addWidget(frequency_, 1, 1);
  auto* add = NewButton(1037, u"增加", group);
  auto* remove = NewButton(1036, u"删除", group);
  auto* modify = NewButton(1038, u"修改", group);
  auto* buttons = new QHBoxLayout;
  for (QPushButton* b : {add, remove, modify}) buttons->addWidget(b);

  auto* layout = new QVBoxLayout(group);
  layout->addWidget(NewLabel(u"扫描目录：", folders_, group));
  layout->addWidget(folders_, 1);
  layout->addLayout(fields);
  layout->addLayout(buttons);

  connect(folders_, &QTreeWidget::itemClicked, this, &CSystemSetting::OnFolderClicked);
  connect(folders_, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* item) {
    if (showing_) return;
    settings_.SetFolderChecked(folders_->indexOfTopLevelItem(item),
                               item->checkState(0) == Qt::Checked);
  });
  connect(add, &QPushButton::clicked, this, &CSystemSetting::OnAddFolder);
  connect(remove, &QPushButton::clicked, this, &CSystemSetting::OnDeleteFolders);
  connect(modify, &QPushButton::clicked, this, &CSystemSetting::OnModifyFolder);
  connect(pick, &QPushButton::clicked, this, &CSystemSetting::OnPickFolder);
  return group;
}

void CSystemSetting::ReadFields() {
  SettingFields& f = settings_.Fields();
  f.Extension = GbkFromQString(extension_->text());
  f.TypeText = GbkFromQString(type_->currentText());
  f.Description = GbkFromQString(description_->text());
  f.Folder = GbkFromQString(folder_->text());
  f.FrequencyText = GbkFromQString(frequency_->currentText());
}

void CSystemSetting::ShowFields() {
  const SettingFields& f = settings_.Fields();
  extension_->setText(QStringFromGbk(f.Extension));
  type_->setEditText(QStringFromGbk(f.TypeText));
  description_->setText(QStringFromGbk(f.Description));
  folder_->setText(QStringFromGbk(f.Folder));
  frequency_->setCurrentIndex(frequency_->findText(QStringFromGbk(f.FrequencyText)));
}

void CSystemSetting::ShowFileTypes() {
  const std::vector<int> selected = SelectedRows(file_types_);
  file_types_->clear();
  for (const FileTypeRow& row : settings_.FileTypes()) {
    file_types_->addTopLevelItem(
        new QTreeWidgetItem({QStringFromGbk(row.Extension), QStringFromGbk(row.TypeText),
                             QStringFromGbk(row.Description)}));
  }
  for (int row : selected) {
    if (QTreeWidgetItem* item = file_types_->topLevelItem(row)) item->setSelected(true);
  }
}

void CSystemSetting::ShowFolders() {
  showing_ = true;
  const std::vector<int> selected = SelectedRows(folders_);
  folders_->clear();
  for (const FolderRow& row : settings_.Folders()) {
    auto* item = new QTreeWidgetItem({QStringFromGbk(row.Folder)});
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(0, row.Checked ? Qt::Checked : Qt::Unchecked);
    folders_->addTopLevelItem(item);
  }
  for (int row : selected) {
    if (QTreeWidgetItem* item = folders_->topLevelItem(row)) item->setSelected(true);
  }
  showing_ = false;
}

std::vector<int> CSystemSetting::SelectedRows(QTreeWidget* list) {
  std::vector<int> rows;
  for (QTreeWidgetItem* item : list->selectedItems()) {
    rows.push_back(list->indexOfTopLevelItem(item));
  }
  std::sort(rows.begin(), rows.end());
  return rows;
}

void CSystemSetting::FitColumns() {
  const int width = file_types_->viewport()->width();
  file_types_->setColumnWidth(0, width * 3 / 10);
  file_types_->setColumnWidth(1, width * 3 / 10);
  folders_->setColumnWidth(0, folders_->viewport()->width());
}

void CSystemSetting::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  FitColumns();
}

void CSystemSetting::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  FitColumns();
}

void CSystemSetting::OnFileTypeClicked() {
  ReadFields();
  settings_.ClickFileTypes(SelectedRows(file_types_));
  ShowFields();
}

void CSystemSetting::OnFolderClicked() {
  ReadFields();
  settings_.ClickFolders(SelectedRows(folders_));
  ShowFields();
}

void CSystemSetting::OnAddFileType() {
  ReadFields();
  const int row = settings_.AddFileType();
  if (row < 0) return;
  ShowFileTypes();
  file_types_->scrollToItem(file_types_->topLevelItem(row));
}

void CSystemSetting::OnDeleteFileTypes() {
  settings_.DeleteFileTypes(SelectedRows(file_types_));
  file_types_->clearSelection();
  ShowFileTypes();
}

void CSystemSetting::OnModifyFileType() {
  ReadFields();
  settings_.ModifyFileType();
  ShowFileTypes();
}

void CSystemSetting::OnAddFolder() {
  ReadFields();
  const int row = settings_.AddFolder();
  if (row < 0) return;
  folders_->clearSelection();
  ShowFolders();
  folders_->scrollToItem(folders_->topLevelItem(row));
}

void CSystemSetting::OnDeleteFolders() {
  settings_.DeleteFolders(SelectedRows(folders_));
  folders_->clearSelection();
  ShowFolders();
}

void CSystemSetting::OnModifyFolder() {
  ReadFields();
  settings_.ModifyFolder();
  ShowFolders();
}

void CSystemSetting::OnPickFolder() {
  ReadFields();
  if (settings_.PickFolder()) ShowFields();
}

void CSystemSetting::accept() {
  ReadFields();
  switch (settings_.Save()) {
    case SaveResult::kSaved:
      QDialog::accept();
      return;
    case SaveResult::kIndexFilesFailed:
      QDialog::reject();
      return;
    case SaveResult::kConfigFailed:
      return;  // stays open; the index files are written
  }
}

}  // namespace jollix
