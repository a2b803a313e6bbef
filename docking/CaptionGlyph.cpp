#include "docking/CaptionGlyph.h"

#include <QPainter>
#include <QPixmap>

namespace jollix {
namespace {

void DrawCross(QPainter& painter, const QRect& rect) {
  const QPointF centre = QRectF(rect).center();
  const qreal arm = 3.5;
  painter.drawLine(centre + QPointF(-arm, -arm), centre + QPointF(arm, arm));
  painter.drawLine(centre + QPointF(-arm, arm), centre + QPointF(arm, -arm));
}

// A pin lying on its side: the needle on the left, the plate, then the body.
void DrawPin(QPainter& painter, const QRect& rect, const QColor& color) {
  const QPointF c = QRectF(rect).center();
  painter.drawLine(c + QPointF(-6, 0), c + QPointF(-3, 0));
  painter.drawLine(c + QPointF(-3, -4), c + QPointF(-3, 4));
  painter.drawRect(QRectF(c + QPointF(-2, -2.5), c + QPointF(4, 2.5)));
  painter.fillRect(QRectF(c + QPointF(1, -2.5), c + QPointF(4, 2.5)), color);
  painter.drawLine(c + QPointF(5, -3), c + QPointF(5, 3));
}

}  // namespace

CCaptionGlyph::CCaptionGlyph(CaptionGlyphKind kind, const QString& text, QWidget* parent)
    : QAbstractButton(parent), kind_(kind) {
  setText(text);
  setToolTip(text);
  setAccessibleName(text);
  setFocusPolicy(Qt::NoFocus);
  setCursor(Qt::ArrowCursor);
  setAttribute(Qt::WA_Hover);
}

QColor CCaptionGlyph::GlyphColor() const {
  return hovered_ ? QColor(Qt::white) : QColor(128, 128, 128);
}

void CCaptionGlyph::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  DrawCaptionGlyph(painter, kind_, rect(), GlyphColor());
}

void CCaptionGlyph::enterEvent(QEnterEvent* event) {
  hovered_ = true;
  update();
  QAbstractButton::enterEvent(event);
}

void CCaptionGlyph::leaveEvent(QEvent* event) {
  hovered_ = false;
  update();
  QAbstractButton::leaveEvent(event);
}

void DrawCaptionGlyph(QPainter& painter, CaptionGlyphKind kind, const QRect& rect,
                      const QColor& color) {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, kind == CaptionGlyphKind::kClose);
  painter.setPen(QPen(color, kind == CaptionGlyphKind::kClose ? 1.6 : 1.0));
  painter.setBrush(Qt::NoBrush);
  if (kind == CaptionGlyphKind::kClose) {
    DrawCross(painter, rect);
  } else {
    DrawPin(painter, rect, color);
  }
  painter.restore();
}

QIcon PinIcon(const QColor& color) {
  QPixmap pixmap(16, 16);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  DrawCaptionGlyph(painter, CaptionGlyphKind::kPin, pixmap.rect(), color);
  painter.end();
  return QIcon(pixmap);
}

}  // namespace jollix
