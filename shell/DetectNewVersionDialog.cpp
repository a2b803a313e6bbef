#include "shell/DetectNewVersionDialog.h"

#include <QApplication>
#include <QEventLoop>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <memory>
#include <mutex>
#include <thread>

#include "common/QtPrompter.h"
#include "shell/StartUp.h"

namespace jollix {
namespace {

QString Text(const char16_t* text) { return QString::fromUtf16(text); }

QPushButton* NewButton(int id, const char16_t* text, QWidget* parent) {
  auto* button = new QPushButton(Text(text), parent);
  button->setObjectName(QString::number(id));
  button->setAutoDefault(false);
  return button;
}

QLabel* NewLabel(int id, const QString& text, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(QString::number(id));
  return label;
}

// The receiver of the check at start, forgotten when it is destroyed; the lock keeps it alive
// while a call is queued to it.
struct StartCheckTarget {
  std::mutex mu;
  QObject* receiver = nullptr;
};

}  // namespace

CDetectNewVersion::CDetectNewVersion(const VersionServer& server, int build_number,
                                     Prompter& prompter, Shell& shell, QWidget* parent)
    : QDialog(parent),
      server_(server),
      build_number_(build_number),
      prompter_(prompter),
      shell_(shell) {
  setObjectName("152");
  setWindowTitle(QStringLiteral("Dialog"));
  auto* running = NewLabel(1056, QStringFromGbk(RunningVersionText(kJollixBuildNumber)), this);
  version_ = NewLabel(1057, QString(), this);
  auto* heading = NewLabel(1058, Text(u"最新版本描述："), this);
  description_ = new QPlainTextEdit(this);
  description_->setObjectName("1040");
  description_->setReadOnly(true);
  description_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  heading->setBuddy(description_);
  description_->setAccessibleName(heading->text());
  auto* check = NewButton(1059, u"检测新版本", this);
  check->setDefault(true);
  auto* download = NewButton(5, u"下载新版本", this);
  auto* cancel = NewButton(2, u"取  消", this);
  connect(check, &QPushButton::clicked, this, &CDetectNewVersion::Check);
  connect(download, &QPushButton::clicked, this, &CDetectNewVersion::Download);
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(check);
  buttons->addWidget(download);
  buttons->addStretch(1);
  buttons->addWidget(cancel);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(running);
  layout->addWidget(version_);
  layout->addWidget(heading);
  layout->addWidget(description_, 1);
  layout->addLayout(buttons);
  resize(500, 250);  // 284 x 132 dialog units
  ShowTexts();
}

void CDetectNewVersion::SetTexts(const VersionDialogTexts& texts) {
  texts_ = texts;
  ShowTexts();
}

void CDetectNewVersion::ShowTexts() {
  version_->setText(QStringFromGbk(texts_.VersionText));
  description_->setPlainText(QStringFromGbk(texts_.Description));
}

void CDetectNewVersion::Check() {
  // The check runs beside the window, which keeps painting (but takes no input) until it ends.
  // The wait sleeps in an event loop that the check's end quits; a quit posted before the loop
  // runs still ends it.
  VersionDialogTexts texts = texts_;
  QEventLoop wait;
  std::thread worker([&] {
    CheckForNewVersion(server_, build_number_, prompter_, &texts);
    QMetaObject::invokeMethod(&wait, &QEventLoop::quit, Qt::QueuedConnection);
  });
  wait.exec(QEventLoop::ExcludeUserInputEvents);
  worker.join();
  SetTexts(texts);
}

void CDetectNewVersion::Download() { OpenDownloadPage(shell_, &texts_); }

void RunVersionDialog(const VersionServer& server, Prompter& prompter, Shell& shell) {
  CDetectNewVersion dialog(server, BuildNumber(), prompter, shell);
  dialog.exec();
}

void StartVersionCheck(QObject* receiver, const VersionServer& server, int build_number,
                       Prompter& prompter, std::function<void(const VersionDialogTexts&)> offer) {
  auto target = std::make_shared<StartCheckTarget>();
  target->receiver = receiver;
  QObject::connect(receiver, &QObject::destroyed, [target] {
    std::lock_guard<std::mutex> lock(target->mu);
    target->receiver = nullptr;
  });
  std::thread([target, server, build_number, &prompter, offer = std::move(offer)] {
    VersionDialogTexts texts;
    if (!CheckAtStart(server, build_number, prompter, &texts)) return;
    std::lock_guard<std::mutex> lock(target->mu);
    if (!target->receiver) return;
    QMetaObject::invokeMethod(
        target->receiver, [texts, offer] { offer(texts); }, Qt::QueuedConnection);
  }).detach();
}

CDetectNewVersion* ShowNewerBuild(const VersionDialogTexts& texts, const VersionServer& server,
                                  int build_number, Prompter& prompter, Shell& shell,
                                  QWidget* parent) {
  auto* dialog = new CDetectNewVersion(server, build_number, prompter, shell, parent);
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  dialog->setModal(false);
  dialog->SetTexts(texts);
  dialog->show();
  return dialog;
}

}  // namespace jollix
