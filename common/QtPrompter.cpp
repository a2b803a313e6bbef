#include "common/QtPrompter.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
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
