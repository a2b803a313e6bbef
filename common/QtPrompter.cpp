#include "common/QtPrompter.h"

#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QThread>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>

#include "common/Gbk.h"

namespace jollix {

QString QStringFromGbk(const std::string& gbk) {
  return QString::fromStdString(GbkToUtf8Lossy(gbk));
}

std::string GbkFromQString(const QString& text) { return Utf8ToGbkLossy(text.toStdString()); }

// A box asked for from another thread: what the asking thread and the queued call share. The
// box is touched on the user-interface thread only.
struct QtPrompter::Pending {
  std::mutex mu;
  std::condition_variable changed;
  bool answered = false;
  bool given_up = false;  // the asker was stopped: show no box, close the one that is up
  PromptAnswer answer = PromptAnswer::kCancel;
  QPointer<QMessageBox> box;  // while it is up
};

PromptAnswer QtPrompter::Ask(const char* text, const char* caption, PromptButtons buttons) {
  return AskUnlessStopped(text, caption, buttons, std::stop_token());
}

PromptAnswer QtPrompter::AskUnlessStopped(const char* text, const char* caption,
                                          PromptButtons buttons, std::stop_token stop) {
  if (stop.stop_requested()) return PromptAnswer::kCancel;
  QCoreApplication* app = QCoreApplication::instance();
  if (!app || QThread::currentThread() == app->thread()) return AskHere(text, caption, buttons);
  return AskFromOtherThread(text, caption, buttons, std::move(stop));
}

PromptAnswer QtPrompter::AskFromOtherThread(const char* text, const char* caption,
                                            PromptButtons buttons, std::stop_token stop) {
  auto pending = std::make_shared<Pending>();
  std::string text_copy = text ? text : "";
  std::optional<std::string> caption_copy;
  if (caption) caption_copy = caption;
  QMetaObject::invokeMethod(
      QCoreApplication::instance(),
      [this, pending, text_copy, caption_copy, buttons] {
        {
          std::lock_guard<std::mutex> lock(pending->mu);
          if (pending->given_up) return;
        }
        const PromptAnswer answer =
            AskHere(text_copy.c_str(), caption_copy ? caption_copy->c_str() : nullptr, buttons,
                    pending.get());
        std::lock_guard<std::mutex> lock(pending->mu);
        pending->answered = true;
        pending->answer = answer;
        pending->changed.notify_all();
      },
      Qt::QueuedConnection);
  // Runs on the stopping thread: wakes the asker and has the box, if up, closed where it lives.
  std::stop_callback give_up(stop, [pending] {
    {
      std::lock_guard<std::mutex> lock(pending->mu);
      pending->given_up = true;
      pending->changed.notify_all();
    }
    if (QCoreApplication* app = QCoreApplication::instance()) {
      QMetaObject::invokeMethod(
          app,
          [pending] {
            if (QMessageBox* box = pending->box) box->reject();
          },
          Qt::QueuedConnection);
    }
  });
  std::unique_lock<std::mutex> lock(pending->mu);
  pending->changed.wait(lock, [&] { return pending->answered || pending->given_up; });
  return pending->answered ? pending->answer : PromptAnswer::kCancel;
}

PromptAnswer QtPrompter::AskHere(const char* text, const char* caption, PromptButtons buttons,
                                 Pending* pending) {
  QString title = caption ? QStringFromGbk(caption) : QApplication::applicationDisplayName();
  QMessageBox box(buttons == PromptButtons::kOk ? QMessageBox::Warning : QMessageBox::Question,
                  title, QStringFromGbk(text ? text : ""), QMessageBox::NoButton, parent_);
  box.setObjectName("message");
  // The buttons carry the system's own Chinese texts, whatever the desktop's language.
  auto add = [&box](QMessageBox::StandardButton which, const char16_t* label) {
    box.addButton(which)->setText(QString::fromUtf16(label));
  };
  if (buttons == PromptButtons::kYesNo) {
    add(QMessageBox::Yes, u"是(&Y)");
    add(QMessageBox::No, u"否(&N)");
  } else {
    add(QMessageBox::Ok, u"确定");
    if (buttons == PromptButtons::kOkCancel) add(QMessageBox::Cancel, u"取消");
  }
  if (pending) pending->box = &box;  // the user-interface thread alone reads it
  const int chosen = box.exec();
  if (pending) pending->box = nullptr;
  switch (chosen) {
    case QMessageBox::Cancel:
      return PromptAnswer::kCancel;
    case QMessageBox::Yes:
      return PromptAnswer::kYes;
    case QMessageBox::No:
      return PromptAnswer::kNo;
    default:
      return PromptAnswer::kOk;
  }
}

}  // namespace jollix
