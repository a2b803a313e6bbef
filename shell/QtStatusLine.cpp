#include "shell/QtStatusLine.h"

#include <QLabel>
#include <QStatusBar>
#include <QThread>

#include "common/QtPrompter.h"

namespace jollix {

QtStatusLine::QtStatusLine(QStatusBar* bar) : QObject(bar) {
  // A pane's accessible name is its text, as a label without a name of its own gives it (and
  // announces each new text); what the pane is for goes into the description.
  message_ = new QLabel(QString::fromUtf16(u"就绪"), bar);
  message_->setObjectName("pane0");
  message_->setAccessibleDescription(QString::fromUtf16(u"状态"));
  // The channel pane is as wide as its welcome text and the blanks after it.
  const QString welcome = QString::fromUtf16(u"Jollix文件搜索欢迎您！") + QString(20, ' ');
  channel_ = new QLabel(welcome, bar);
  channel_->setObjectName("pane1");
  channel_->setAccessibleDescription(QString::fromUtf16(u"搜索进度"));
  channel_->setMinimumWidth(channel_->sizeHint().width());
  notice_ = new QLabel(bar);
  notice_->setObjectName("notice");
  notice_->setAccessibleDescription(QString::fromUtf16(u"状态"));
  notice_->hide();
  bar->addWidget(message_, 1);
  bar->addWidget(notice_, 1);
  bar->addPermanentWidget(channel_);
}

void QtStatusLine::SetText(int pane, const char* text) {
  const QString shown = QStringFromGbk(text ? text : "");
  if (QThread::currentThread() == thread()) {
    Show(pane, shown);
    return;
  }
  QMetaObject::invokeMethod(
      this, [this, pane, shown] { Show(pane, shown); }, Qt::QueuedConnection);
}

QLabel* QtStatusLine::Pane(int pane) const { return pane == kMessagePane ? message_ : channel_; }

void QtStatusLine::Show(int pane, const QString& text) {
  if (!notice_->isHidden()) {
    notice_->hide();
    message_->show();
  }
  Pane(pane)->setText(text);
}

void QtStatusLine::ShowNotice(const char* text) {
  notice_->setText(QStringFromGbk(text));
  message_->hide();
  notice_->show();
}

}  // namespace jollix
