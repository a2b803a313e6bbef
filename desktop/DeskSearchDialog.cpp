#include "desktop/DeskSearchDialog.h"

#include <QGroupBox>
#include <QKeyEvent>
#include <QTabBar>
#include <QVBoxLayout>

#include "common/QtPrompter.h"
#include "desktop/FileSearchDialog.h"
#include "desktop/MailSearchDialog.h"
#include "desktop/QueryRules.h"

namespace jollix {

CDeskSearchDialog::CDeskSearchDialog(Prompter& prompter, Shell& shell, StatusLine& status,
                                     IconList& icons, QWidget* parent)
    : QWidget(parent), engine_(std::make_unique<SearchServer>(prompter, icons)) {
  setObjectName("130");
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(2, 2, 2, 2);
  auto* group = new QGroupBox(QString::fromUtf16(u"桌面搜索"), this);
  group->setObjectName("desk_group");
  layout->addWidget(group);
  auto* inside = new QVBoxLayout(group);
  inside->setContentsMargins(4, 4, 4, 4);
  inside->setSpacing(0);

  tabs_ = new QTabBar(group);
  CreateTabs();
  inside->addWidget(tabs_);
  file_form_ = new CFileSearchDialog(*engine_, prompter, shell, status, group);
  mail_form_ = new CMailSearchDialog(group);
  mail_form_->hide();
  inside->addWidget(file_form_, 1);
  inside->addWidget(mail_form_, 1);
  connect(tabs_, &QTabBar::currentChanged, this, &CDeskSearchDialog::OnTabChanged);
}

CDeskSearchDialog::~CDeskSearchDialog() {
  delete file_form_;  // its worker uses the engine, which goes before the children would
}

void CDeskSearchDialog::CreateTabs() {
  tabs_->setObjectName("desk_tabs");
  tabs_->setAccessibleName(QString::fromUtf16(u"搜索的文件种类"));
  tabs_->setExpanding(false);
  tabs_->setUsesScrollButtons(true);
  for (const char* text : kDesktopTabTexts) tabs_->addTab(QStringFromGbk(text));
  tabs_->setCurrentIndex(0);
}

void CDeskSearchDialog::DisableSearchButton() { file_form_->DisableSearchButton(); }

void CDeskSearchDialog::SetDesktopPage(ResultPage* page) { file_form_->SetPage(page); }

void CDeskSearchDialog::SetFolder(const QString& folder) { file_form_->SetFolder(folder); }

void CDeskSearchDialog::StopSearch() { file_form_->Search().Stop(); }

bool CDeskSearchDialog::SelectTab(int tab) {
  if (tab < 0 || tab >= kDesktopTabCount) return false;
  tabs_->setCurrentIndex(tab);  // signals currentChanged only when the selection changes
  return true;
}

int CDeskSearchDialog::SelectedTab() const { return tabs_->currentIndex(); }

void CDeskSearchDialog::OnTabChanged(int tab) {
  if (tab < 0) return;
  file_form_->show();
  mail_form_->hide();
  file_form_->ShowTab(tab);
}

void CDeskSearchDialog::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    event->accept();  // the pane lives in the side bar and never closes
    return;
  }
  QWidget::keyPressEvent(event);
}

}  // namespace jollix
