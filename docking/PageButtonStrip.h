// The row of page buttons along the bottom of a docking bar: one flat, checkable tool button per
// page with the page's icon and title. The strip lays the buttons out itself, left to right, so
// that it never demands more width than the bar has: when the titles do not all fit, the buttons of
// the pages not shown drop to their icons (see FitPageTitles). Each button carries its page's
// title as text, tooltip and accessible name whatever form it takes.
//
// A button pressed and dragged farther than the platform's start-drag distance is a page being
// dragged out: its release is reported (buttonDragged) instead of a click, and the bar decides from
// the release point whether the page leaves it.
#pragma once

#include <QIcon>
#include <QPoint>
#include <QWidget>
#include <vector>

#include "docking/PageStrip.h"

class QToolButton;

namespace jollix {

class CPageButtonStrip : public QWidget {
  Q_OBJECT

 public:
  explicit CPageButtonStrip(QWidget* parent);

  // Appends a button for a page; returns its index (the page's index in the bar).
  int AddButton(const QString& title, const QIcon& icon);
  // Removes the button at `index`; the buttons after it move up one index. The checked button
  // keeps its mark; removing the checked button leaves none checked.
  void RemoveButton(int index);
  // Checks the button at `index` and unchecks the others; -1 unchecks all.
  void SetChecked(int index);
  int ButtonCount() const { return static_cast<int>(buttons_.size()); }
  // The button at `index`, or nullptr when there is none.
  QToolButton* Button(int index) const;

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 signals:
  // The user clicked the button at `index` (also when it is already checked).
  void buttonClicked(int index);
  // The user dragged the button at `index` beyond the start-drag distance and released it at
  // `global_pos` (screen coordinates).
  void buttonDragged(int index, QPoint global_pos);

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct Entry {
    QToolButton* button = nullptr;
    PageButtonWidths widths;
  };

  // Places every button and gives it its titled or compact form for the current width.
  void LayOut();
  PageButtonWidths MeasureButton(QToolButton* button, const QString& title, bool has_icon) const;
  int IndexOf(const QObject* button) const;
  // Follows a press, move and release on a button; true when the release ends a drag.
  bool TrackDrag(int index, QEvent* event);

  std::vector<Entry> buttons_;
  int checked_ = -1;
  int pressed_ = -1;       // the button under a held left button, -1 for none
  QPoint press_pos_;       // where it was pressed, in screen coordinates
  bool dragging_ = false;  // the pointer went beyond the start-drag distance
};

}  // namespace jollix
