// The row of page buttons along the bottom of a docking bar: one flat, checkable tool button per
// page with the page's icon and title. The strip lays the buttons out itself, left to right, so
// that it never demands more width than the bar has: when the titles do not all fit, the buttons of
// the pages not shown drop to their icons (see FitPageTitles). Each button carries its page's
// title as text, tooltip and accessible name whatever form it takes.
#pragma once

#include <QIcon>
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

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  struct Entry {
    QToolButton* button = nullptr;
    PageButtonWidths widths;
  };

  // Places every button and gives it its titled or compact form for the current width.
  void LayOut();
  PageButtonWidths MeasureButton(QToolButton* button, const QString& title, bool has_icon) const;

  std::vector<Entry> buttons_;
  int checked_ = -1;
};

}  // namespace jollix
