#include "indexer/QtPrompter.h"

#include <QApplication>
#include <QMessageBox>
#include <QThread>

#include "common/Gbk.h"

namespace jollix {

QString QStringFromGbk(const std::string& gbk) {
  return QString::fromStdString(GbkToUtf8Lossy(gbk));
}

std::string GbkFromQString(const QString& text) { return Utf8ToGbkLossy(text.toStdString()); }

PromptAnswer QtPrompter::Ask(const char* text, const char* caption, PromptButtons buttons) {
  QCoreApplication* app = QCoreApplication::instance();
  if (!app || QThread::currentThread() == app->thread()) return AskHere(text, caption, buttons);
  PromptAnswer answer = PromptAnswer::kOk;
  QMetaObject::invokeMethod(
      app, [&] { answer = AskHere(text, caption, buttons); }, Qt::BlockingQueuedConnection);
  return answer;
}

PromptAnswer QtPrompter::AskHere(const char* text, const char* caption, PromptButtons buttons) {
  QMessageBox::StandardButtons shown = QMessageBox::Ok;
  if (buttons == PromptButtons::kOkCancel) shown = QMessageBox::Ok | QMessageBox::Cancel;
  if (buttons == PromptButtons::kYesNo) shown = QMessageBox::Yes | QMessageBox::No;
  QString title = caption ? QStringFromGbk(caption) : QApplication::applicationDisplayName();
  QMessageBox box(buttons == PromptButtons::kOk ? QMessageBox::Warning : QMessageBox::Question,
                  title, QStringFromGbk(text ? text : ""), shown, parent_);
  switch (box.exec()) {
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
