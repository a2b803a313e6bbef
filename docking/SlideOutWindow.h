// The slide-out window of an auto-hide frame ("AutoHideFloatWnd"): a child window of the frame,
// above everything else in it, that shows one collapsed page beside its strip. It has a caption
// with the page's title (Tahoma 8.5 pt where the font exists), a pin that puts the page's bar back
// in its place and a close glyph that slides the page back; the page fills the rest.
//
// Sliding: a slide of d ms runs SlideStepCount(d) steps, the first at once and then one every
// 50 ms. Each step gives the window the rectangle SlideStepRect computes, anchored at the strip's
// side; the page inside keeps its full size and moves with the window's leading edge, so it slides
// in rather than being squeezed. After the last step out the window has its full rectangle; after
// the last step back it is hidden.
//
// The window keeps the pages of every collapsed bar (hidden) while they are not in their bars, so
// that their parent is always a live window of the frame.
#pragma once

#include <QPointer>
#include <QRect>
#include <QTimer>
#include <QWidget>

#include "docking/AutoHideGeometry.h"

class QFrame;
class QLabel;
class QStackedLayout;

namespace jollix {

class CCaptionGlyph;

class CSlideOutWindow : public QWidget {
  Q_OBJECT

 public:
  // Hidden until the first slide-out. `frame` becomes its parent.
  explicit CSlideOutWindow(QWidget* frame);

  // Takes `page` into the window's keeping, hidden; the window becomes its parent.
  void Hold(QWidget* page);
  // Makes `page` (held) the page the window shows, with `title` in the caption. The window's
  // position does not change.
  void SetPage(QWidget* page, const QString& title);
  // The page the window shows, nullptr when none.
  QWidget* Page() const;
  QString Title() const;

  // Slides the window out from the strip on `side` to `full` (frame coordinates) in
  // SlideStepCount(duration_ms) steps. A slide under way is dropped.
  void SlideOut(StripSide side, const QRect& full, int duration_ms);
  // Slides the window back towards its strip; nothing when it is hidden.
  void SlideBack(int duration_ms);
  // Hides the window at once, dropping any slide.
  void HideNow();

  bool IsSliding() const { return timer_.isActive(); }
  bool IsSlidingBack() const { return IsSliding() && !out_; }
  // The window is out, or on its way out.
  bool IsOut() const { return isVisible() && out_; }
  QRect FullRect() const { return full_; }
  StripSide Side() const { return side_; }

 signals:
  // A step of a slide was applied: `step` of `steps` (from 0), out or back.
  void stepped(int step, int steps, bool out);
  void slidOut();   // the last step out is done
  void slidBack();  // the last step back is done; the window is hidden
  void closeClicked();
  void pinClicked();

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void CreateContent();
  QWidget* CreateCaption();
  void StartSlide(int duration_ms, bool out);
  void Step();
  void PlaceContent();

  QFrame* content_ = nullptr;
  QLabel* title_ = nullptr;
  QStackedLayout* pages_ = nullptr;
  QPointer<QWidget> page_;
  CCaptionGlyph* close_ = nullptr;
  CCaptionGlyph* pin_ = nullptr;
  QTimer timer_;
  StripSide side_ = StripSide::kLeft;
  QRect full_;
  int step_ = 0;
  int steps_ = 1;
  bool out_ = false;
};

}  // namespace jollix
