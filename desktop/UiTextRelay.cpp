#include "desktop/UiTextRelay.h"

#include <QMetaObject>
#include <QObject>
#include <QPushButton>
#include <QThread>

#include "common/QtPrompter.h"

namespace jollix {

void UiTextRelay::Send(int place, std::function<void()> show) {
  uint64_t number;
  {
    std::lock_guard<std::mutex> lock(mu_);
    number = ++sent_;
    latest_[place] = number;
  }
  if (QThread::currentThread() == context_.thread()) {
    show();
    return;
  }
  QMetaObject::invokeMethod(
      &context_,
      [this, place, number, show = std::move(show)] {
        {
          std::lock_guard<std::mutex> lock(mu_);
          if (latest_[place] != number) return;
        }
        show();
      },
      Qt::QueuedConnection);
}

QtSearchButtonText::QtSearchButtonText(QPushButton* button) : button_(button) {}

void QtSearchButtonText::Set(const char* gbk) {
  const QString text = QStringFromGbk(gbk ? gbk : "");
  relay_.Send(0, [this, text] {
    if (button_) button_->setText(text);
  });
}

void RelayedStatusLine::SetText(int pane, const char* text) {
  std::string copy = text ? text : "";
  relay_.Send(pane, [this, pane, copy] { target_.SetText(pane, copy.c_str()); });
}

}  // namespace jollix
