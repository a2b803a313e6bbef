#include "docking/AutoHideStrip.h"

#include <QAbstractButton>
#include <QAction>
#include <QCursor>
#include <QFontDatabase>
#include <QMouseEvent>
#include <QPainter>

namespace jollix {

// One tab of a strip: a flat button that draws its icon and title along the strip.
class CStripTab : public QAbstractButton {
 public:
  CStripTab(const CAutoHideStrip::Tab& tab, bool vertical, QWidget* parent)
      : QAbstractButton(parent), vertical_(vertical) {
    setText(tab.title);
    setToolTip(tab.title);
    setAccessibleName(tab.title);
    setIcon(tab.icon);
    setFont(CAutoHideStrip::TabFont());
    setFocusPolicy(Qt::NoFocus);
    // A button passes on the moves it does not use (no button pressed) to its strip, which
    // starts the hover time again on each new tab; without tracking they would never come.
    setMouseTracking(true);
  }
  void SetActive(bool active) {
    active_ = active;
    update();
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    const QRect frame = rect().adjusted(0, 0, -1, -1);
    painter.fillRect(rect(),
                     active_ ? palette().color(QPalette::Base) : palette().color(QPalette::Button));
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(frame);
    if (vertical_) {
      // Turned by 90 degrees: the title reads from top to bottom.
      painter.translate(width(), 0);
      painter.rotate(90);
    }
    const int length = vertical_ ? height() : width();
    const int breadth = vertical_ ? width() : height();
    int x = 8;
    if (!icon().isNull()) {
      painter.drawPixmap(x, (breadth - 16) / 2, icon().pixmap(16, 16));
      x += 20;
    }
    painter.setPen(palette().color(QPalette::WindowText));
    painter.setFont(font());
    painter.drawText(QRect(x, 0, length - x, breadth), Qt::AlignVCenter | Qt::AlignLeft, text());
  }

 private:
  bool vertical_;
  bool active_ = false;
};

Qt::DockWidgetArea DockAreaOf(StripSide side) {
  switch (side) {
    case StripSide::kLeft:
      return Qt::LeftDockWidgetArea;
    case StripSide::kTop:
      return Qt::TopDockWidgetArea;
    case StripSide::kRight:
      return Qt::RightDockWidgetArea;
    case StripSide::kBottom:
      return Qt::BottomDockWidgetArea;
  }
  return Qt::NoDockWidgetArea;
}

std::optional<StripSide> StripSideOf(Qt::DockWidgetArea area) {
  switch (area) {
    case Qt::LeftDockWidgetArea:
      return StripSide::kLeft;
    case Qt::TopDockWidgetArea:
      return StripSide::kTop;
    case Qt::RightDockWidgetArea:
      return StripSide::kRight;
    case Qt::BottomDockWidgetArea:
      return StripSide::kBottom;
    default:
      return std::nullopt;
  }
}

namespace {

const char* SideName(StripSide side) {
  switch (side) {
    case StripSide::kLeft:
      return "left";
    case StripSide::kTop:
      return "top";
    case StripSide::kRight:
      return "right";
    case StripSide::kBottom:
      return "bottom";
  }
  return "";
}

}  // namespace

CAutoHideStrip::CAutoHideStrip(StripSide side, QWidget* parent)
    : QToolBar(parent), side_(side), pointer_([] { return QCursor::pos(); }) {
  setObjectName(QString("autohide-%1").arg(SideName(side)));
  setMovable(false);
  setFloatable(false);
  setAllowedAreas(static_cast<Qt::ToolBarArea>(static_cast<int>(DockAreaOf(side))));
  setOrientation(IsVerticalStrip(side) ? Qt::Vertical : Qt::Horizontal);
  // The strip is no toolbar the user can switch on and off.
  toggleViewAction()->setVisible(false);
  setMouseTracking(true);
  if (IsVerticalStrip(side)) {
    setFixedWidth(kVerticalStripThickness);
  } else {
    setFixedHeight(kHorizontalStripThickness);
  }
  hover_timer_.setSingleShot(true);
  hover_timer_.setInterval(kHoverTime);
  connect(&hover_timer_, &QTimer::timeout, this, &CAutoHideStrip::HoverTimeUp);
  hide();
}

QFont CAutoHideStrip::TabFont() {
  QFont font;
  if (QFontDatabase::hasFamily("Tahoma")) font.setFamily("Tahoma");
  font.setPixelSize(13);
  return font;
}

void CAutoHideStrip::SetTabs(const std::vector<Tab>& tabs) {
  // A tab may be the sender of the click that led here: it goes once the event is done.
  for (CStripTab* button : buttons_) {
    button->hide();
    button->setObjectName(QString());
    button->deleteLater();
  }
  buttons_.clear();
  tabs_ = tabs;
  active_ = -1;
  hover_tab_ = -1;
  hover_timer_.stop();
  for (int i = 0; i < TabCount(); ++i) {
    auto* button = new CStripTab(tabs_[i], IsVerticalStrip(side_), this);
    button->setObjectName(QString("tab%1").arg(i));
    connect(button, &QAbstractButton::clicked, this, [this, i] { emit tabActivated(i); });
    button->show();
    buttons_.push_back(button);
  }
  LayOutTabs();
  updateGeometry();
  setVisible(!tabs_.empty());
}

QString CAutoHideStrip::TabTitle(int index) const {
  return index >= 0 && index < TabCount() ? tabs_[index].title : QString();
}

std::vector<StripTab> CAutoHideStrip::Lengths() const {
  const QFontMetrics metrics(TabFont());
  std::vector<StripTab> lengths;
  for (const Tab& tab : tabs_) {
    lengths.push_back(
        {StripTabLength(metrics.horizontalAdvance(tab.title), !tab.icon.isNull()), tab.group});
  }
  return lengths;
}

QRect CAutoHideStrip::TabRect(int index) const {
  if (index < 0 || index >= TabCount()) return {};
  const int length = Lengths()[index].length;
  const int start = starts_[index];
  // A tab leaves one pixel of the strip showing on the side facing the frame's inside.
  if (IsVerticalStrip(side_)) {
    const int x = side_ == StripSide::kLeft ? 1 : 0;
    return QRect(x, start, width() - 1, length);
  }
  const int y = side_ == StripSide::kTop ? 1 : 0;
  return QRect(start, y, length, height() - 1);
}

int CAutoHideStrip::TabAt(const QPoint& pos) const {
  if (!rect().contains(pos)) return -1;
  const int offset = IsVerticalStrip(side_) ? pos.y() : pos.x();
  return StripTabAt(Lengths(), starts_, offset);
}

void CAutoHideStrip::SetActiveTab(int index) {
  active_ = index >= 0 && index < TabCount() ? index : -1;
  for (int i = 0; i < TabCount(); ++i) buttons_[i]->SetActive(i == active_);
}

void CAutoHideStrip::SetPointerSource(std::function<QPoint()> source) {
  pointer_ = std::move(source);
}

bool CAutoHideStrip::PointerInside() const {
  return isVisible() && rect().contains(mapFromGlobal(pointer_()));
}

void CAutoHideStrip::LayOutTabs() {
  starts_ = LayOutStripTabs(Lengths());
  for (int i = 0; i < TabCount(); ++i) buttons_[i]->setGeometry(TabRect(i));
}

QSize CAutoHideStrip::sizeHint() const {
  const std::vector<StripTab> lengths = Lengths();
  const int length = lengths.empty() ? 0 : starts_.back() + lengths.back().length + kStripTabStart;
  return IsVerticalStrip(side_) ? QSize(kVerticalStripThickness, length)
                                : QSize(length, kHorizontalStripThickness);
}

QSize CAutoHideStrip::minimumSizeHint() const {
  return IsVerticalStrip(side_) ? QSize(kVerticalStripThickness, 0)
                                : QSize(0, kHorizontalStripThickness);
}

void CAutoHideStrip::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), palette().color(QPalette::Window).darker(106));
}

void CAutoHideStrip::mouseMoveEvent(QMouseEvent* event) {
  emit pointerEntered();
  TrackHover(event->position().toPoint());
  QToolBar::mouseMoveEvent(event);
}

void CAutoHideStrip::enterEvent(QEnterEvent* event) {
  emit pointerEntered();
  TrackHover(event->position().toPoint());
  QToolBar::enterEvent(event);
}

void CAutoHideStrip::leaveEvent(QEvent* event) {
  hover_timer_.stop();
  hover_tab_ = -1;
  emit pointerLeft();
  QToolBar::leaveEvent(event);
}

void CAutoHideStrip::resizeEvent(QResizeEvent* event) {
  QToolBar::resizeEvent(event);
  LayOutTabs();
}

// The hover time starts again whenever the pointer moves onto another tab.
void CAutoHideStrip::TrackHover(const QPoint& pos) {
  const int tab = TabAt(pos);
  if (tab == hover_tab_) return;
  hover_tab_ = tab;
  if (tab < 0) {
    hover_timer_.stop();
  } else {
    hover_timer_.start();
  }
}

void CAutoHideStrip::HoverTimeUp() {
  const int tab = hover_tab_;
  if (tab < 0 || TabAt(mapFromGlobal(pointer_())) != tab) return;
  emit tabActivated(tab);
}

}  // namespace jollix
