#include "docking/DockPageBar.h"

#include <QAbstractButton>
#include <QMainWindow>
#include <QStackedLayout>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "docking/AutoHideFrame.h"
#include "docking/AutoHideStrip.h"
#include "docking/CaptionGlyph.h"
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
  CreatePin();
  // A bar that is torn off floats at its default size rather than at the size it had docked.
  connect(this, &QDockWidget::topLevelChanged, this, [this](bool floating) {
    if (!floating) return;
    resize(default_size_.width() > 0 ? default_size_.width() : width(),
           default_size_.height() > 0 ? default_size_.height() : height());
  });
  // The caption's buttons are placed by the bar's layout, which runs after these signals.
  auto update_pin = [this] { QTimer::singleShot(0, this, &CDockPageBar::UpdateCaptionButtons); };
  connect(this, &QDockWidget::topLevelChanged, this, update_pin);
  connect(this, &QDockWidget::dockLocationChanged, this, update_pin);
  connect(this, &QDockWidget::featuresChanged, this, update_pin);
}

void CDockPageBar::CreatePin() {
  pin_ = new QToolButton(this);
  pin_->setObjectName("pin");
  pin_->setAutoRaise(true);
  pin_->setFocusPolicy(Qt::NoFocus);
  pin_->setIcon(PinIcon(palette().color(QPalette::WindowText)));
  pin_->setIconSize(QSize(12, 12));
  const QString text = QString::fromUtf16(u"自动隐藏");
  pin_->setToolTip(text);
  pin_->setAccessibleName(text);
  pin_->hide();
  connect(pin_, &QToolButton::clicked, this, [this] {
    if (auto* frame = qobject_cast<CAutoHideFrame*>(frame_)) frame->CollapseBar(this);
  });
}

void CDockPageBar::UpdateCaptionButtons() {
  auto* frame = qobject_cast<CAutoHideFrame*>(frame_);
  const bool captioned = titleBarWidget() == nullptr;
  if (frame == nullptr || !captioned || !frame->CanCollapse(this)) {
    pin_->hide();
    return;
  }
  // Left of the float button, else of the close button, else at the caption's right end.
  QRect anchor;
  for (const char* name : {"qt_dockwidget_floatbutton", "qt_dockwidget_closebutton"}) {
    auto* button = findChild<QAbstractButton*>(name, Qt::FindDirectChildrenOnly);
    if (button != nullptr && button->isVisibleTo(this) &&
        (anchor.isNull() || button->x() < anchor.x())) {
      anchor = button->geometry();
    }
  }
  const int caption = widget() != nullptr ? widget()->y() : 20;
  if (anchor.isNull()) anchor = QRect(width() - 2, 2, 0, std::max(12, caption - 4));
  const int side = anchor.height() > 0 ? anchor.height() : 16;
  pin_->setGeometry(anchor.x() - side - 1, anchor.y(), side, side);
  pin_->show();
  pin_->raise();
}

void CDockPageBar::resizeEvent(QResizeEvent* event) {
  QDockWidget::resizeEvent(event);
  UpdateCaptionButtons();
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
  connect(strip_, &CPageButtonStrip::buttonDragged, this, &CDockPageBar::PageButtonDragged);
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
  AppendPage({page, title, icon});
  if (shown_ < 0) ShowPage(0);
}

void CDockPageBar::AppendPage(const PageEntry& page) {
  page.window->hide();
  // The stack makes the page area the page's parent and sizes the page to it.
  stack_->addWidget(page.window);
  // The stack shows the first page it gets; which page is shown is the bar's choice.
  if (shown_ >= 0) stack_->setCurrentWidget(pages_[shown_].window);
  pages_.push_back(page);
  strip_->AddButton(page.title, page.icon);
  strip_->setVisible(PageCount() >= 2);
}

CDockPageBar::PageEntry CDockPageBar::TakePage(int index) {
  if (!HasPage(index)) return {};
  const PageEntry page = pages_[index];
  pages_.erase(pages_.begin() + index);
  strip_->RemoveButton(index);
  strip_->setVisible(PageCount() >= 2);
  stack_->removeWidget(page.window);
  page.window->hide();
  page.window->setParent(nullptr);
  if (index < shown_) {
    --shown_;
  } else if (index == shown_) {
    shown_ = -1;
    ShowPage(std::min(index, PageCount() - 1));
  }
  if (shown_ >= 0) {
    stack_->setCurrentWidget(pages_[shown_].window);
    strip_->SetChecked(shown_);
  }
  return page;
}

std::vector<CDockPageBar::PageEntry> CDockPageBar::TakeAllPages() {
  shown_ = -1;
  std::vector<PageEntry> pages;
  while (PageCount() > 0) pages.push_back(TakePage(0));
  return pages;
}

void CDockPageBar::PutBackPages(std::vector<PageEntry> pages, int shown) {
  for (const PageEntry& page : pages) {
    if (page.window != nullptr) AppendPage(page);
  }
  ShowPage(HasPage(shown) ? shown : 0);
}

CDockPageBar* CDockPageBar::MovePageToNewBar(int index, const QPoint& global_drop) {
  if (!HasPage(index)) return nullptr;
  const PageEntry page = TakePage(index);
  auto* bar = new CDockPageBar(QStringLiteral("New Bar"), frame_, default_size_, true, kNewBarId);
  bar->AddPage(page.window, page.title, page.icon);
  const QRect frame(frame_->mapToGlobal(QPoint(0, 0)), frame_->size());
  const std::optional<StripSide> side = PageDropSide(
      {frame.x(), frame.y(), frame.width(), frame.height()}, global_drop.x(), global_drop.y());
  // A floating bar is docked first, so that it can be docked back by dragging it.
  bar->DockAt(side ? DockAreaOf(*side) : Qt::LeftDockWidgetArea);
  bar->show();
  if (!side) {
    bar->setFloating(true);
    bar->move(global_drop);
  }
  return bar;
}

void CDockPageBar::PageButtonDragged(int index, const QPoint& global_pos) {
  const QRect bar(mapToGlobal(QPoint(0, 0)), size());
  if (bar.contains(global_pos)) return;
  MovePageToNewBar(index, global_pos);
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

QIcon CDockPageBar::PageIcon(int index) const {
  return HasPage(index) ? pages_[index].icon : QIcon();
}

void CDockPageBar::SetText(const QString& text) {
  setWindowTitle(text);
  setAccessibleName(text);
}

}  // namespace jollix
