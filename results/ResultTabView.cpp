#include "results/ResultTabView.h"

#include <QListWidget>
#include <QSignalBlocker>
#include <QStackedWidget>
#include <QTabBar>
#include <QVBoxLayout>

#include "common/QtPrompter.h"
#include "results/ListResultView.h"
#include "results/ResultPages.h"

namespace jollix {

QListWidget* CreateDetailsList(QWidget* parent) {
  auto* details = new QListWidget(parent);
  details->setObjectName("details");
  details->setAccessibleName(QString::fromUtf16(u"文件属性"));
  details->setSelectionMode(QAbstractItemView::SingleSelection);
  return details;
}

CResultTabView::CResultTabView(const ResultListContext& context, QWidget* parent)
    : QWidget(parent) {
  CreateTabBar();
  CreatePages(context);
  RemoveAllTabs();
  AddTabLabel(ResultPageTitle(0));
  SelectPosition(0);
}

void CResultTabView::CreateTabBar() {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  tabs_ = new QTabBar(this);
  tabs_->setObjectName("tabs");
  tabs_->setAccessibleName(QString::fromUtf16(u"搜索结果"));
  tabs_->setExpanding(false);
  tabs_->setDrawBase(true);
  stack_ = new QStackedWidget(this);
  blank_ = new QWidget(stack_);
  stack_->addWidget(blank_);
  layout->addWidget(tabs_);
  layout->addWidget(stack_, 1);
  connect(tabs_, &QTabBar::currentChanged, this, &CResultTabView::OnTabChanged);
}

void CResultTabView::CreatePages(const ResultListContext& context) {
  for (int type = 0; type < kResultPageCount; ++type) {
    auto* page = new CListResultView(type, context, stack_);
    stack_->addWidget(page);
    pages_.push_back(page);
    arrays_.AddPage(ResultPageTitle(type));
    QSignalBlocker block(tabs_);
    tabs_->addTab(QStringFromGbk(ResultPageTitle(type)));
  }
  ShowCurrentPage();
}

ResultPage* CResultTabView::PageAt(int index) { return PageAtPosition(index); }

void CResultTabView::RemoveAllTabs() {
  arrays_.RemoveAllTabs();
  QSignalBlocker block(tabs_);
  while (tabs_->count() > 0) tabs_->removeTab(0);
  ShowCurrentPage();
}

void CResultTabView::AddTabLabel(const char* gbk) {
  const std::string label = gbk ? gbk : "";
  arrays_.AddLabel(label);
  QSignalBlocker block(tabs_);
  tabs_->addTab(QStringFromGbk(label));
}

bool CResultTabView::PlacePages(const std::vector<int>& pages) {
  const bool placed = arrays_.PlacePages(pages);
  ShowCurrentPage();
  return placed;
}

bool CResultTabView::SelectPosition(int position) {
  if (!arrays_.Select(position)) return false;
  {
    QSignalBlocker block(tabs_);
    tabs_->setCurrentIndex(position);
  }
  ShowCurrentPage();
  return true;
}

CListResultView* CResultTabView::PageAtPosition(int position) const {
  return Page(arrays_.PageAt(position));
}

CListResultView* CResultTabView::Page(int type) const {
  return type >= 0 && type < static_cast<int>(pages_.size()) ? pages_[type] : nullptr;
}

void CResultTabView::ShowCurrentPage() {
  CListResultView* page = PageAtPosition(arrays_.Current());
  const bool had_focus = stack_->currentWidget() && stack_->currentWidget()->hasFocus();
  stack_->setCurrentWidget(page ? static_cast<QWidget*>(page) : blank_);
  if (page && had_focus) page->setFocus();
}

void CResultTabView::OnTabChanged(int position) {
  // The user's click: what is shown changes, ResultType stays.
  if (arrays_.Select(position)) ShowCurrentPage();
}

void CResultTabView::ApplyColumnWidths() {
  // Every page lies over the same area; its client width is that area within the page's frame.
  for (CListResultView* page : pages_) {
    page->ApplyColumnWidths(stack_->contentsRect().width() - 2 * page->frameWidth());
  }
}

void CResultTabView::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  ApplyColumnWidths();
}

void CResultTabView::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  ApplyColumnWidths();
}

}  // namespace jollix
