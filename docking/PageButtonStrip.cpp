#include "docking/PageButtonStrip.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QToolButton>
#include <algorithm>

namespace jollix {
namespace {

// The buttons sit one pixel below the strip's top line and leave one pixel at the bottom.
constexpr int kButtonTop = 1;
constexpr int kButtonHeight = kPageStripHeight - 2;
// Room left of the first button and between two buttons.
constexpr int kLeftMargin = 2;
constexpr int kGap = 1;

QFont SmallFont(QFont font) {
  if (font.pointSizeF() > 0) font.setPointSizeF(std::max(6.0, font.pointSizeF() - 1));
  return font;
}

}  // namespace

CPageButtonStrip::CPageButtonStrip(QWidget* parent) : QWidget(parent) {
  setFont(SmallFont(font()));
  setFixedHeight(kPageStripHeight);
  setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
}

int CPageButtonStrip::AddButton(const QString& title, const QIcon& icon) {
  const int index = ButtonCount();
  auto* button = new QToolButton(this);
  button->setObjectName(QString("pagebutton%1").arg(index));
  button->setAutoRaise(true);
  button->setCheckable(true);
  button->setFocusPolicy(Qt::TabFocus);
  button->setText(title);
  button->setToolTip(title);
  button->setAccessibleName(title);
  button->setIcon(icon);
  button->setIconSize(QSize(16, 16));
  // A click toggles the button on its own; the strip undoes that, so that only SetChecked (the
  // bar, once it has shown the page) decides which button is checked.
  connect(button, &QToolButton::clicked, this, [this, button] {
    SetChecked(checked_);
    emit buttonClicked(IndexOf(button));
  });
  button->installEventFilter(this);
  buttons_.push_back({button, MeasureButton(button, title, !icon.isNull())});
  button->show();
  LayOut();
  updateGeometry();
  return index;
}

PageButtonWidths CPageButtonStrip::MeasureButton(QToolButton* button, const QString& title,
                                                 bool has_icon) const {
  // The measured width is the least a button gets; a style that draws wider margins gets its own.
  const int measured = PageButtonWidth(button->fontMetrics().horizontalAdvance(title), has_icon);
  button->setToolButtonStyle(has_icon ? Qt::ToolButtonTextBesideIcon : Qt::ToolButtonTextOnly);
  PageButtonWidths widths;
  widths.full = std::max(measured, button->sizeHint().width());
  if (!has_icon) {
    widths.compact = widths.full;
    return widths;
  }
  button->setToolButtonStyle(Qt::ToolButtonIconOnly);
  widths.compact = std::max(kIconOnlyButtonWidth, button->sizeHint().width());
  return widths;
}

void CPageButtonStrip::RemoveButton(int index) {
  if (index < 0 || index >= ButtonCount()) return;
  QToolButton* button = buttons_[index].button;
  buttons_.erase(buttons_.begin() + index);
  button->removeEventFilter(this);
  // The button may be the one whose drag led here: it goes once its event is done.
  button->setObjectName(QString());
  button->deleteLater();
  button->hide();
  if (checked_ == index) checked_ = -1;
  if (checked_ > index) --checked_;
  if (pressed_ == index) pressed_ = -1;
  if (pressed_ > index) --pressed_;
  for (int i = index; i < ButtonCount(); ++i) {
    buttons_[i].button->setObjectName(QString("pagebutton%1").arg(i));
  }
  LayOut();
  updateGeometry();
}

int CPageButtonStrip::IndexOf(const QObject* button) const {
  for (int i = 0; i < ButtonCount(); ++i) {
    if (buttons_[i].button == button) return i;
  }
  return -1;
}

bool CPageButtonStrip::eventFilter(QObject* watched, QEvent* event) {
  const int index = IndexOf(watched);
  if (index >= 0 && TrackDrag(index, event)) return true;
  return QWidget::eventFilter(watched, event);
}

bool CPageButtonStrip::TrackDrag(int index, QEvent* event) {
  const QEvent::Type type = event->type();
  if (type != QEvent::MouseButtonPress && type != QEvent::MouseMove &&
      type != QEvent::MouseButtonRelease) {
    return false;
  }
  auto* mouse = static_cast<QMouseEvent*>(event);
  const QPoint global = mouse->globalPosition().toPoint();
  if (type == QEvent::MouseButtonPress) {
    if (mouse->button() != Qt::LeftButton) return false;
    pressed_ = index;
    press_pos_ = global;
    dragging_ = false;
    return false;
  }
  if (pressed_ != index) return false;
  if (type == QEvent::MouseMove) {
    if ((global - press_pos_).manhattanLength() >= QApplication::startDragDistance()) {
      dragging_ = true;
    }
    return false;
  }
  if (mouse->button() != Qt::LeftButton) return false;
  const bool dragged = dragging_;
  pressed_ = -1;
  dragging_ = false;
  if (!dragged) return false;
  // The button must still see the release to let go of its pressed look, but it must not take it
  // for a click: it gets it outside its rectangle.
  QToolButton* button = buttons_[index].button;
  QMouseEvent away(QEvent::MouseButtonRelease, QPointF(-1, -1),
                   button->mapToGlobal(QPointF(-1, -1)), Qt::LeftButton, Qt::NoButton,
                   mouse->modifiers());
  button->removeEventFilter(this);
  QApplication::sendEvent(button, &away);
  button->installEventFilter(this);
  emit buttonDragged(index, global);
  return true;
}

void CPageButtonStrip::SetChecked(int index) {
  checked_ = index;
  for (int i = 0; i < ButtonCount(); ++i) buttons_[i].button->setChecked(i == index);
  LayOut();
}

QToolButton* CPageButtonStrip::Button(int index) const {
  if (index < 0 || index >= ButtonCount()) return nullptr;
  return buttons_[index].button;
}

QSize CPageButtonStrip::sizeHint() const {
  int width = kLeftMargin;
  for (const Entry& entry : buttons_) width += entry.widths.full + kGap;
  return QSize(width, kPageStripHeight);
}

QSize CPageButtonStrip::minimumSizeHint() const { return QSize(0, kPageStripHeight); }

void CPageButtonStrip::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  LayOut();
}

void CPageButtonStrip::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setPen(palette().color(QPalette::Mid));
  painter.drawLine(0, 0, width() - 1, 0);
}

void CPageButtonStrip::LayOut() {
  std::vector<PageButtonWidths> widths;
  for (const Entry& entry : buttons_) widths.push_back(entry.widths);
  const int available = width() - kLeftMargin - kGap * ButtonCount();
  const std::vector<bool> titled = FitPageTitles(widths, available, checked_);
  int x = kLeftMargin;
  for (int i = 0; i < ButtonCount(); ++i) {
    QToolButton* button = buttons_[i].button;
    const bool has_icon = !button->icon().isNull();
    if (!has_icon) {
      button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    } else {
      button->setToolButtonStyle(titled[i] ? Qt::ToolButtonTextBesideIcon : Qt::ToolButtonIconOnly);
    }
    const int button_width = titled[i] ? widths[i].full : widths[i].compact;
    button->setGeometry(x, kButtonTop, button_width, kButtonHeight);
    x += button_width + kGap;
  }
}

}  // namespace jollix
