// The small glyph buttons of a caption: the close cross and the auto-hide pin. A glyph is drawn,
// not taken from a font: white while the pointer is over it, grey (128, 128, 128) otherwise, on
// the dark caption of the slide-out window. PinIcon draws the same pin for the caption of a
// docking bar, in the colours of the bar's palette.
#pragma once

#include <QAbstractButton>
#include <QColor>
#include <QIcon>

namespace jollix {

enum class CaptionGlyphKind { kClose, kPin };

class CCaptionGlyph : public QAbstractButton {
  Q_OBJECT

 public:
  // `text` is the button's accessible name and tooltip.
  CCaptionGlyph(CaptionGlyphKind kind, const QString& text, QWidget* parent);

  // The colour the glyph is drawn in now: white under the pointer, grey otherwise.
  QColor GlyphColor() const;
  bool Hovered() const { return hovered_; }

  QSize sizeHint() const override { return {16, 16}; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;

 private:
  CaptionGlyphKind kind_;
  bool hovered_ = false;
};

// Draws `kind` in `color` centred in `rect`.
void DrawCaptionGlyph(QPainter& painter, CaptionGlyphKind kind, const QRect& rect,
                      const QColor& color);

// A 16 x 16 icon of the pin, drawn in `color`.
QIcon PinIcon(const QColor& color);

}  // namespace jollix
