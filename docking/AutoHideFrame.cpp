#include "docking/AutoHideFrame.h"

#include <QApplication>
#include <QCursor>
#include <QLayout>
#include <QToolBar>
#include <algorithm>

#include "docking/AutoHideStrip.h"
#include "docking/SlideOutWindow.h"

namespace jollix {
namespace {

constexpr StripSide kSides[] = {StripSide::kLeft, StripSide::kTop, StripSide::kRight,
                                StripSide::kBottom};

DockRect ToDockRect(const QRect& rect) { return {rect.x(), rect.y(), rect.width(), rect.height()}; }
QRect ToQRect(const DockRect& rect) { return QRect(rect.x, rect.y, rect.width, rect.height); }

}  // namespace

CAutoHideFrame::CAutoHideFrame(QWidget* parent, Qt::WindowFlags flags)
    : QMainWindow(parent, flags), pointer_([] { return QCursor::pos(); }) {
  slide_ = new CSlideOutWindow(this);
  connect(slide_, &CSlideOutWindow::slidBack, this, &CAutoHideFrame::SlidBack);
  connect(slide_, &CSlideOutWindow::closeClicked, this, &CAutoHideFrame::SlideBack);
  connect(slide_, &CSlideOutWindow::pinClicked, this, [this] {
    if (out_) RestoreBar(out_->bar);
  });
  check_timer_.setInterval(kPointerCheckInterval);
  connect(&check_timer_, &QTimer::timeout, this, &CAutoHideFrame::CheckPointer);
}

CAutoHideFrame::~CAutoHideFrame() = default;

void CAutoHideFrame::EnableDocking(Qt::DockWidgetAreas sides) {
  for (StripSide side : kSides) {
    const Qt::DockWidgetArea area = DockAreaOf(side);
    CAutoHideStrip*& strip = strips_[static_cast<int>(side)];
    if (!sides.testFlag(area) || strip != nullptr) continue;
    strip = new CAutoHideStrip(side, this);
    strip->SetPointerSource(pointer_);
    const auto toolbar_area = static_cast<Qt::ToolBarArea>(static_cast<int>(area));
    // A strip on a line of its own, after (inside) the toolbars already on that side.
    if (!ToolBarsIn(toolbar_area).isEmpty()) addToolBarBreak(toolbar_area);
    addToolBar(toolbar_area, strip);
    strip->hide();
    connect(strip, &CAutoHideStrip::tabActivated, this,
            [this, area](int tab) { ShowTab(area, tab); });
    connect(strip, &CAutoHideStrip::pointerEntered, this, [this] { kept_open_ = true; });
    connect(strip, &CAutoHideStrip::pointerLeft, this, [this] { kept_open_ = false; });
  }
  UpdateBarCaptions();
}

QList<QToolBar*> CAutoHideFrame::ToolBarsIn(Qt::ToolBarArea area) const {
  QList<QToolBar*> bars;
  for (QToolBar* bar : findChildren<QToolBar*>(QString(), Qt::FindDirectChildrenOnly)) {
    if (toolBarArea(bar) == area && qobject_cast<CAutoHideStrip*>(bar) == nullptr) bars << bar;
  }
  return bars;
}

CAutoHideStrip* CAutoHideFrame::Strip(Qt::DockWidgetArea side) const {
  const std::optional<StripSide> strip_side = StripSideOf(side);
  return strip_side ? strips_[static_cast<int>(*strip_side)] : nullptr;
}

void CAutoHideFrame::UpdateBarCaptions() {
  for (CDockPageBar* bar : findChildren<CDockPageBar*>(QString(), Qt::FindDirectChildrenOnly)) {
    bar->UpdateCaptionButtons();
  }
}

CAutoHideFrame::CollapsedBar* CAutoHideFrame::Find(const CDockPageBar* bar) {
  for (CollapsedBar& entry : collapsed_) {
    if (bar != nullptr && entry.bar == bar) return &entry;
  }
  return nullptr;
}

const CAutoHideFrame::CollapsedBar* CAutoHideFrame::Find(const CDockPageBar* bar) const {
  return const_cast<CAutoHideFrame*>(this)->Find(bar);
}

bool CAutoHideFrame::IsCollapsed(const CDockPageBar* bar) const { return Find(bar) != nullptr; }

bool CAutoHideFrame::CanCollapse(const CDockPageBar* bar) const {
  if (bar == nullptr || bar->parentWidget() != this || bar->isFloating()) return false;
  if (IsCollapsed(bar) || bar->PageCount() == 0) return false;
  return Strip(dockWidgetArea(const_cast<CDockPageBar*>(bar))) != nullptr;
}

bool CAutoHideFrame::CollapseBar(CDockPageBar* bar) {
  if (!CanCollapse(bar)) return false;
  CollapsedBar entry;
  entry.bar = bar;
  entry.area = dockWidgetArea(bar);
  const bool across_width = IsVerticalStrip(*StripSideOf(entry.area));
  entry.extent = across_width ? bar->width() : bar->height();
  if (entry.extent <= 0) {
    entry.extent = across_width ? bar->DefaultSize().width() : bar->DefaultSize().height();
  }
  entry.shown = bar->ShownPage();
  entry.pages = bar->TakeAllPages();
  for (const CDockPageBar::PageEntry& page : entry.pages) slide_->Hold(page.window);
  bar->hide();
  const Qt::DockWidgetArea area = entry.area;
  collapsed_.push_back(std::move(entry));
  RefreshStrip(area);
  return true;
}

bool CAutoHideFrame::RestoreBar(CDockPageBar* bar) {
  auto it = std::find_if(collapsed_.begin(), collapsed_.end(),
                         [bar](const CollapsedBar& entry) { return entry.bar == bar; });
  if (bar == nullptr || it == collapsed_.end()) return false;
  if (out_ && out_->bar == bar) {
    slide_->HideNow();
    check_timer_.stop();
    out_.reset();
  }
  if (pending_ && pending_->bar == bar) pending_.reset();
  CollapsedBar entry = std::move(*it);
  collapsed_.erase(it);
  bar->PutBackPages(std::move(entry.pages), entry.shown);
  bar->show();
  const bool across_width = IsVerticalStrip(*StripSideOf(entry.area));
  if (entry.extent > 0) {
    resizeDocks({bar}, {entry.extent}, across_width ? Qt::Horizontal : Qt::Vertical);
  }
  RefreshStrip(entry.area);
  bar->UpdateCaptionButtons();
  return true;
}

void CAutoHideFrame::RefreshStrip(Qt::DockWidgetArea area) {
  CAutoHideStrip* strip = Strip(area);
  if (strip == nullptr) return;
  std::vector<CAutoHideStrip::Tab> tabs;
  for (size_t group = 0; group < collapsed_.size(); ++group) {
    if (collapsed_[group].area != area || collapsed_[group].bar == nullptr) continue;
    for (const CDockPageBar::PageEntry& page : collapsed_[group].pages) {
      tabs.push_back({page.title, page.icon, static_cast<int>(group)});
    }
  }
  strip->SetTabs(tabs);
  if (out_ && PageOut() != nullptr) {
    const CollapsedBar* entry = Find(out_->bar);
    if (entry != nullptr && entry->area == area) strip->SetActiveTab(TabOf(*out_));
  }
}

int CAutoHideFrame::TabOf(const PageRef& ref) const {
  const CollapsedBar* target = Find(ref.bar);
  if (target == nullptr) return -1;
  int tab = 0;
  for (const CollapsedBar& entry : collapsed_) {
    if (entry.area != target->area || entry.bar == nullptr) continue;
    if (&entry == target) return tab + ref.page;
    tab += static_cast<int>(entry.pages.size());
  }
  return -1;
}

void CAutoHideFrame::ShowTab(Qt::DockWidgetArea side, int tab) {
  if (tab < 0) return;
  for (const CollapsedBar& entry : collapsed_) {
    if (entry.area != side || entry.bar == nullptr) continue;
    const int count = static_cast<int>(entry.pages.size());
    if (tab < count) {
      ShowCollapsedPage(entry.bar, tab);
      return;
    }
    tab -= count;
  }
}

void CAutoHideFrame::ShowCollapsedPage(CDockPageBar* bar, int page) {
  const CollapsedBar* entry = Find(bar);
  if (entry == nullptr || page < 0 || page >= static_cast<int>(entry->pages.size())) return;
  const bool same = out_ && out_->bar == bar && out_->page == page;
  if (same && slide_->IsOut()) return;
  pending_ = PageRef{bar, page};
  // Another page is out: it makes room first; the slide-out follows once it is back.
  if (slide_->isVisible() && !same) {
    slide_->SlideBack(kSwitchSlideDuration);
    return;
  }
  StartSlideOut();
}

void CAutoHideFrame::StartSlideOut() {
  if (!pending_) return;
  const PageRef ref = *pending_;
  pending_.reset();
  CollapsedBar* entry = Find(ref.bar);
  if (entry == nullptr) return;
  entry->shown = ref.page;  // the page last out is the one the bar shows when it is restored
  // A strip that has just been shown gets its place before the window is put beside it.
  if (layout() != nullptr) layout()->activate();
  const CDockPageBar::PageEntry& page = entry->pages[ref.page];
  slide_->SetPage(page.window, page.title);
  out_ = ref;
  Strip(entry->area)->SetActiveTab(TabOf(ref));
  slide_->SlideOut(*StripSideOf(entry->area), SlideOutRectFor(*entry), kSlideDuration);
  check_timer_.start();
}

void CAutoHideFrame::SlideBack() {
  pending_.reset();
  slide_->SlideBack(kSlideDuration);
}

void CAutoHideFrame::SlidBack() {
  check_timer_.stop();
  if (out_) {
    const CollapsedBar* entry = Find(out_->bar);
    if (entry != nullptr) Strip(entry->area)->SetActiveTab(-1);
  }
  out_.reset();
  StartSlideOut();
}

QWidget* CAutoHideFrame::PageOut() const { return slide_->isVisible() ? slide_->Page() : nullptr; }

// The part of the frame that the docking bars and the client share: the slide-out window may
// cover it, but not the strips, toolbars or status bar around it.
QRect CAutoHideFrame::ClientRect() const {
  QRect client = centralWidget() != nullptr ? centralWidget()->geometry() : QRect();
  for (QDockWidget* dock : findChildren<QDockWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
    if (dock->isVisible() && !dock->isFloating()) client |= dock->geometry();
  }
  return client.isEmpty() ? rect() : client;
}

QRect CAutoHideFrame::SlideOutRectFor(const CollapsedBar& entry) const {
  const StripSide side = *StripSideOf(entry.area);
  const DockRect strip = ToDockRect(Strip(entry.area)->geometry());
  const DockRect client = ToDockRect(ClientRect());
  DockRect line = strip;
  int room = 0;
  if (IsVerticalStrip(side)) {
    line.y = client.y;
    line.height = client.height;
    room = side == StripSide::kLeft ? client.Right() - strip.Right() : strip.x - client.x;
  } else {
    line.x = client.x;
    line.width = client.width;
    room = side == StripSide::kTop ? client.Bottom() - strip.Bottom() : strip.y - client.y;
  }
  return ToQRect(SlideOutRect(side, line, entry.extent, room));
}

void CAutoHideFrame::CheckPointer() {
  if (!slide_->IsOut()) return;
  const QPoint pointer = pointer_();
  if (kept_open_) {
    bool over_strip = false;
    for (CAutoHideStrip* strip : strips_) over_strip |= strip != nullptr && strip->PointerInside();
    if (!over_strip) kept_open_ = false;
  }
  const QRect window(mapToGlobal(slide_->FullRect().topLeft()), slide_->FullRect().size());
  if (window.contains(pointer) || kept_open_) return;
  // A held grab or an open pop-up (a list dropped from a field of the page) keeps the page out.
  if (QWidget::mouseGrabber() != nullptr || QApplication::activePopupWidget() != nullptr) return;
  SlideBack();
}

void CAutoHideFrame::SetPointerSource(std::function<QPoint()> source) {
  pointer_ = std::move(source);
  for (CAutoHideStrip* strip : strips_) {
    if (strip != nullptr) strip->SetPointerSource(pointer_);
  }
}

}  // namespace jollix
