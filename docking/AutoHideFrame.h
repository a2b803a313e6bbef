// A frame window whose docking bars can be collapsed to the frame's edges. EnableDocking gives each
// chosen side an auto-hide strip (CAutoHideStrip); collapsing a CDockPageBar docked on such a side
// takes its pages out of it, hides it and puts one tab per page on that side's strip. Pointing at
// a tab for 400 ms or clicking it slides that page out in the slide-out window
// ("AutoHideFloatWnd", CSlideOutWindow) beside the strip; the page slides back when the pointer
// has left it (checked every 400 ms), when its close glyph is clicked, or when another page is
// shown. Restoring the bar puts its pages back in their order, shows the page it showed and shows
// the bar in its place again.
//
// "Kept open": while the pointer is over a strip the page that is out stays out; leaving the strip
// clears the mark. The pointer check slides the page back only when the pointer is outside the
// slide-out window, the page is not kept open and no widget holds the mouse grab. The mark is also
// cleared by the check when the pointer source no longer puts the pointer over the strip, so a
// leave event that never came cannot keep a page out for ever.
//
// The pointer position comes from a replaceable source (QCursor::pos by default), so that tests
// can move a pointer of their own. Call EnableDocking once the frame's toolbars exist: a top strip
// sits on a toolbar line of its own below them, next to the docking area.
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <QTimer>
#include <functional>
#include <optional>
#include <vector>

#include "docking/AutoHideGeometry.h"
#include "docking/DockPageBar.h"

namespace jollix {

class CAutoHideStrip;
class CSlideOutWindow;

class CAutoHideFrame : public QMainWindow {
  Q_OBJECT

 public:
  explicit CAutoHideFrame(QWidget* parent = nullptr, Qt::WindowFlags flags = {});
  ~CAutoHideFrame() override;

  // Creates the auto-hide strip of every side in `sides` that has none yet. Bars of the frame
  // update their caption's pin.
  void EnableDocking(Qt::DockWidgetAreas sides);
  // The strip along `side`, nullptr when docking was not enabled there.
  CAutoHideStrip* Strip(Qt::DockWidgetArea side) const;
  CSlideOutWindow* SlideOutWindow() const { return slide_; }

  // True when `bar` is a bar of this frame, docked (not floating, not collapsed) on a side with a
  // strip, and holds at least one page.
  bool CanCollapse(const CDockPageBar* bar) const;
  // Collapses `bar` to the strip of its side. False (nothing changes) unless CanCollapse.
  bool CollapseBar(CDockPageBar* bar);
  // Puts the pages of the collapsed `bar` back into it and shows it where it was docked. A page
  // of the bar that is out is hidden at once. False when `bar` is not collapsed.
  bool RestoreBar(CDockPageBar* bar);
  bool IsCollapsed(const CDockPageBar* bar) const;

  // Shows page `page` of the collapsed `bar` in the slide-out window. Nothing happens when that
  // page is already out and visible (or on its way out), or when there is no such page. Another
  // page that is out first slides back in one step; then the page slides out in 300 ms.
  void ShowCollapsedPage(CDockPageBar* bar, int page);
  // Shows the page of tab `tab` on the strip of `side`.
  void ShowTab(Qt::DockWidgetArea side, int tab);
  // Slides the page that is out back in 300 ms.
  void SlideBack();
  // The page in the slide-out window while the window is shown, else nullptr.
  QWidget* PageOut() const;
  bool KeptOpen() const { return kept_open_; }

  void SetPointerSource(std::function<QPoint()> source);

 private:
  struct CollapsedBar {
    QPointer<CDockPageBar> bar;
    Qt::DockWidgetArea area = Qt::NoDockWidgetArea;
    int extent = 0;  // the bar's depth across its side when it was collapsed
    int shown = -1;  // the page it showed, then the page last slid out
    std::vector<CDockPageBar::PageEntry> pages;
  };
  struct PageRef {
    CDockPageBar* bar = nullptr;
    int page = -1;
  };

  CollapsedBar* Find(const CDockPageBar* bar);
  const CollapsedBar* Find(const CDockPageBar* bar) const;
  void RefreshStrip(Qt::DockWidgetArea area);
  int TabOf(const PageRef& ref) const;
  void StartSlideOut();
  void SlidBack();
  QRect SlideOutRectFor(const CollapsedBar& entry) const;
  QRect ClientRect() const;
  void CheckPointer();
  void UpdateBarCaptions();
  // The frame's toolbars in `area`, strips left out.
  QList<QToolBar*> ToolBarsIn(Qt::ToolBarArea area) const;

  CAutoHideStrip* strips_[4] = {nullptr, nullptr, nullptr, nullptr};
  CSlideOutWindow* slide_ = nullptr;
  std::vector<CollapsedBar> collapsed_;
  std::optional<PageRef> out_;      // the page in the slide-out window
  std::optional<PageRef> pending_;  // the page to slide out once the window is back
  bool kept_open_ = false;
  QTimer check_timer_;
  std::function<QPoint()> pointer_;
};

}  // namespace jollix
