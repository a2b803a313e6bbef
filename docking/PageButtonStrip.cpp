#include "docking/PageButtonStrip.h"

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
  connect(button, &QToolButton::clicked, this, [this, index] {
    SetChecked(checked_);
    emit buttonClicked(index);
  });
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
