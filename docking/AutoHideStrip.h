// An auto-hide strip: a thin bar along one edge of an auto-hide frame that shows one tab per page
// collapsed on that edge, grouped by the bar the pages came from. It lives in the frame's toolbar
// area of its edge, outside the docking bars, is 24 pixels thick on the left and right (22 on the
// top and bottom) and is shown only while it holds tabs. Tab titles are drawn in Tahoma 13 px
// where the font exists (else the default family at 13 px), turned by 90 degrees on the left and
// right strips. Each tab is a button carrying its title as text and accessible name.
//
// Pointing: resting on a tab for 400 ms, or clicking it, activates it (tabActivated). The hover is
// confirmed against the pointer source when the time is up, so a pointer that moved away in the
// meantime activates nothing. Entering and leaving the strip are reported for the frame's
// kept-open mark.
#pragma once

#include <QIcon>
#include <QTimer>
#include <QToolBar>
#include <functional>
#include <optional>
#include <vector>

#include "docking/AutoHideGeometry.h"

namespace jollix {

class CStripTab;

// The frame edges as docking areas and back.
Qt::DockWidgetArea DockAreaOf(StripSide side);
std::optional<StripSide> StripSideOf(Qt::DockWidgetArea area);

class CAutoHideStrip : public QToolBar {
  Q_OBJECT

 public:
  struct Tab {
    QString title;
    QIcon icon;
    int group = 0;  // tabs of one bar share a group
  };

  // The strip starts without tabs, hidden. Its objectName is "autohide-left" (top, right, bottom).
  CAutoHideStrip(StripSide side, QWidget* parent);

  StripSide Side() const { return side_; }

  // Replaces every tab; shows the strip when there are tabs and hides it otherwise. The active
  // tab is cleared.
  void SetTabs(const std::vector<Tab>& tabs);
  int TabCount() const { return static_cast<int>(tabs_.size()); }
  QString TabTitle(int index) const;
  // The tab's rectangle in strip coordinates; empty when there is no such tab.
  QRect TabRect(int index) const;
  // The tab under `pos` (strip coordinates), or -1.
  int TabAt(const QPoint& pos) const;
  // Marks the tab whose page is out (drawn raised); -1 for none.
  void SetActiveTab(int index);
  int ActiveTab() const { return active_; }

  // Where the pointer is, in screen coordinates (QCursor::pos unless replaced).
  void SetPointerSource(std::function<QPoint()> source);
  // True when the pointer source puts the pointer over the strip.
  bool PointerInside() const;

  // The font of the tab titles.
  static QFont TabFont();

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 signals:
  void tabActivated(int index);
  void pointerEntered();
  void pointerLeft();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void LayOutTabs();
  void TrackHover(const QPoint& pos);
  void HoverTimeUp();
  std::vector<StripTab> Lengths() const;

  StripSide side_;
  std::vector<Tab> tabs_;
  std::vector<CStripTab*> buttons_;
  std::vector<int> starts_;
  int active_ = -1;
  int hover_tab_ = -1;
  QTimer hover_timer_;
  std::function<QPoint()> pointer_;
};

}  // namespace jollix
