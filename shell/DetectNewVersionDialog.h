// The version dialog CDetectNewVersion (dialog 152), the menu command that opens it, and the
// check at start that shows it only when the server knows a newer build.
#pragma once

#include <QDialog>
#include <functional>

#include "common/Prompter.h"
#include "common/Shell.h"
#include "shell/VersionCheck.h"
#include "shell/VersionClient.h"

class QLabel;
class QPlainTextEdit;

namespace jollix {

class CDetectNewVersion : public QDialog {
  Q_OBJECT

 public:
  // server: where the check button asks. The ports outlive the dialog.
  CDetectNewVersion(const VersionServer& server, int build_number, Prompter& prompter, Shell& shell,
                    QWidget* parent = nullptr);

  const VersionDialogTexts& Texts() const { return texts_; }
  // Fills the members and shows them (the check at start).
  void SetTexts(const VersionDialogTexts& texts);

  // The buttons: 1059 checks (the window keeps painting while it waits, asleep until the
  // check ends; the wait is bounded by the server's limits), 5 opens the download address.
  void Check();
  void Download();

 private:
  void ShowTexts();

  VersionServer server_;
  int build_number_;
  Prompter& prompter_;
  Shell& shell_;
  VersionDialogTexts texts_;
  QLabel* version_ = nullptr;              // 1057
  QPlainTextEdit* description_ = nullptr;  // 1040
};

// The menu command "检测最新版本": the dialog, modal and without owner, asking server for
// BuildNumber().
void RunVersionDialog(const VersionServer& server, Prompter& prompter, Shell& shell);

// The check at start: returns at once. A thread of its own asks the server; when the server
// knows a build newer than build_number, offer runs with the dialog's texts on the
// user-interface thread, through a queued call to receiver (the main window), which decides
// when to show them. Nothing runs once receiver is destroyed, and the thread never keeps the
// program from ending. prompter must live as long as the program.
void StartVersionCheck(QObject* receiver, const VersionServer& server, int build_number,
                       Prompter& prompter, std::function<void(const VersionDialogTexts&)> offer);

// The dialog of the check at start, filled with texts: not modal, so that the main window
// keeps taking input beside it; a window of its own over parent, which closes it when it goes;
// deleted when it is closed.
CDetectNewVersion* ShowNewerBuild(const VersionDialogTexts& texts, const VersionServer& server,
                                  int build_number, Prompter& prompter, Shell& shell,
                                  QWidget* parent);

}  // namespace jollix
