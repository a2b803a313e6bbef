#include "docking/SlideOutWindow.h"

#include <QFontDatabase>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QStackedLayout>
#include <QVBoxLayout>

#include "docking/CaptionGlyph.h"

namespace jollix {
namespace {

constexpr int kCaptionHeight = 20;
const QColor kCaptionColor(52, 72, 104);

QRect ToQRect(const DockRect& rect) { return QRect(rect.x, rect.y, rect.width, rect.height); }
DockRect ToDockRect(const QRect& rect) { return {rect.x(), rect.y(), rect.width(), rect.height()}; }

QFont CaptionFont() {
  QFont font;
  if (QFontDatabase::hasFamily("Tahoma")) font.setFamily("Tahoma");
  font.setPointSizeF(8.5);
  return font;
}

}  // namespace

CSlideOutWindow::CSlideOutWindow(QWidget* frame) : QWidget(frame) {
  setObjectName("AutoHideFloatWnd");
  timer_.setInterval(kSlideStepInterval);
  connect(&timer_, &QTimer::timeout, this, &CSlideOutWindow::Step);
  CreateContent();
  hide();
}

void CSlideOutWindow::CreateContent() {
  content_ = new QFrame(this);
  content_->setObjectName("content");
  content_->setFrameShape(QFrame::Box);
  content_->setFrameShadow(QFrame::Plain);
  content_->setLineWidth(1);
  content_->setAutoFillBackground(true);
  auto* layout = new QVBoxLayout(content_);
  layout->setContentsMargins(1, 1, 1, 1);
  layout->setSpacing(0);
  layout->addWidget(CreateCaption());
  auto* client = new QWidget(content_);
  client->setObjectName("client");
  pages_ = new QStackedLayout(client);
  pages_->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(client, 1);
}

QWidget* CSlideOutWindow::CreateCaption() {
  auto* caption = new QWidget(content_);
  caption->setObjectName("caption");
  caption->setFixedHeight(kCaptionHeight);
  caption->setAutoFillBackground(true);
  QPalette palette = caption->palette();
  palette.setColor(QPalette::Window, kCaptionColor);
  palette.setColor(QPalette::WindowText, Qt::white);
  caption->setPalette(palette);
  auto* layout = new QHBoxLayout(caption);
  layout->setContentsMargins(6, 0, 2, 0);
  layout->setSpacing(2);
  title_ = new QLabel(caption);
  title_->setObjectName("title");
  title_->setFont(CaptionFont());
  layout->addWidget(title_, 1);
  pin_ = new CCaptionGlyph(CaptionGlyphKind::kPin, QString::fromUtf16(u"停靠"), caption);
  pin_->setObjectName("pin");
  layout->addWidget(pin_);
  close_ = new CCaptionGlyph(CaptionGlyphKind::kClose, QString::fromUtf16(u"关闭"), caption);
  close_->setObjectName("close");
  layout->addWidget(close_);
  connect(pin_, &QAbstractButton::clicked, this, &CSlideOutWindow::pinClicked);
  connect(close_, &QAbstractButton::clicked, this, &CSlideOutWindow::closeClicked);
  return caption;
}

void CSlideOutWindow::Hold(QWidget* page) {
  if (page == nullptr) return;
  page->hide();
  pages_->addWidget(page);
  if (page_ != nullptr) pages_->setCurrentWidget(page_);
}

void CSlideOutWindow::SetPage(QWidget* page, const QString& title) {
  if (page == nullptr || pages_->indexOf(page) < 0) return;
  page_ = page;
  pages_->setCurrentWidget(page);
  title_->setText(title);
  title_->setAccessibleName(title);
}

QWidget* CSlideOutWindow::Page() const {
  // A page that its bar took back is no longer this window's.
  if (page_ == nullptr || pages_->indexOf(page_) < 0) return nullptr;
  return page_;
}

QString CSlideOutWindow::Title() const { return title_->text(); }

void CSlideOutWindow::SlideOut(StripSide side, const QRect& full, int duration_ms) {
  side_ = side;
  full_ = full;
  StartSlide(duration_ms, true);
}

void CSlideOutWindow::SlideBack(int duration_ms) {
  if (isHidden()) return;
  StartSlide(duration_ms, false);
}

void CSlideOutWindow::HideNow() {
  timer_.stop();
  out_ = false;
  hide();
}

void CSlideOutWindow::StartSlide(int duration_ms, bool out) {
  timer_.stop();
  out_ = out;
  steps_ = SlideStepCount(duration_ms);
  step_ = 0;
  Step();
  if (step_ < steps_) timer_.start();
}

void CSlideOutWindow::Step() {
  const int step = step_++;
  const DockRect rect = SlideStepRect(side_, ToDockRect(full_), step, steps_, out_);
  const bool last = step_ >= steps_;
  if (last) timer_.stop();
  if (rect.IsEmpty()) {
    hide();
  } else {
    setGeometry(ToQRect(rect));
    PlaceContent();
    raise();
    show();
  }
  emit stepped(step, steps_, out_);
  if (!last) return;
  if (out_) {
    emit slidOut();
  } else {
    emit slidBack();
  }
}

void CSlideOutWindow::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  PlaceContent();
}

// The content keeps the full size; its edge facing the inside of the frame follows the window's
// moving edge.
void CSlideOutWindow::PlaceContent() {
  QPoint offset(0, 0);
  if (side_ == StripSide::kLeft) offset.setX(width() - full_.width());
  if (side_ == StripSide::kTop) offset.setY(height() - full_.height());
  content_->setGeometry(QRect(offset, full_.size()));
}

}  // namespace jollix
