#include "docking/DockPageBar.h"

#include <QMainWindow>
#include <QStackedLayout>
#include <QVBoxLayout>

#include "docking/PageButtonStrip.h"

namespace jollix {

CDockPageBar::CDockPageBar(const QString& text, QMainWindow* frame, QSize default_size,
                           bool gripper, int id)
    : QDockWidget(frame), frame_(frame), default_size_(default_size) {
  setObjectName(QString::number(id));
  setAllowedAreas(Qt::AllDockWidgetAreas);
  setFeatures(DockWidgetClosable | DockWidgetMovable | DockWidgetFloatable);
  SetText(text);
  CreateGripper(gripper);
  CreateClient();
  // A bar that is torn off floats at its default size rather than at the size it had docked.
  connect(this, &QDockWidget::topLevelChanged, this, [this](bool floating) {
    if (!floating) return;
    resize(default_size_.width() > 0 ? default_size_.width() : width(),
           default_size_.height() > 0 ? default_size_.height() : height());
  });
}

void CDockPageBar::CreateGripper(bool gripper) {
  // An empty title widget takes the place of the caption; QDockWidget's own caption draws the
  // window text with the close and float buttons.
  if (!gripper) setTitleBarWidget(new QWidget(this));
}

void CDockPageBar::CreateClient() {
  auto* client = new QWidget(this);
  client->setObjectName("client");
  auto* layout = new QVBoxLayout(client);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  auto* pages = new QWidget(client);
  pages->setObjectName("pages");
  stack_ = new QStackedLayout(pages);
  stack_->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(pages, 1);
  strip_ = new CPageButtonStrip(client);
  strip_->setObjectName("pagebuttons");
  strip_->hide();
  layout->addWidget(strip_);
  connect(strip_, &CPageButtonStrip::buttonClicked, this, &CDockPageBar::ShowPage);
  setWidget(client);
}

void CDockPageBar::DockAt(Qt::DockWidgetArea area) {
  frame_->addDockWidget(area, this);
  const bool across_width = area == Qt::LeftDockWidgetArea || area == Qt::RightDockWidgetArea;
  const int extent = across_width ? default_size_.width() : default_size_.height();
  if (extent <= 0) return;
  frame_->resizeDocks({this}, {extent}, across_width ? Qt::Horizontal : Qt::Vertical);
}

void CDockPageBar::AddPage(QWidget* page, const QString& title, const QIcon& icon) {
  if (page == nullptr) return;
  page->hide();
  // The stack makes the page area the page's parent and sizes the page to it.
  stack_->addWidget(page);
  pages_.push_back({page, title, icon});
  strip_->AddButton(title, icon);
  strip_->setVisible(PageCount() >= 2);
  if (shown_ < 0) ShowPage(0);
}

void CDockPageBar::ShowPage(int index) {
  if (index == shown_ || !HasPage(index)) return;
  shown_ = index;
  stack_->setCurrentWidget(pages_[index].window);
  SetText(pages_[index].title);
  strip_->SetChecked(index);
  emit pageShown(index);
}

QWidget* CDockPageBar::Page(int index) const {
  return HasPage(index) ? pages_[index].window : nullptr;
}

QString CDockPageBar::PageTitle(int index) const {
  return HasPage(index) ? pages_[index].title : QString();
}

void CDockPageBar::SetText(const QString& text) {
  setWindowTitle(text);
  setAccessibleName(text);
}

}  // namespace jollix
