// The indexer's progress dialog (dialog 102) and its notification-area icon. The dialog starts
// hidden, as a tool window without a taskbar button; the icon's menu shows it. A 2000 ms timer
// refreshes the texts and ends the process once the work thread has finished the run.
#pragma once

#include <QDialog>
#include <functional>

#include "common/Prompter.h"
#include "indexer/ScanProgress.h"

class QLabel;
class QMenu;
class QProgressBar;
class QPushButton;
class QSystemTrayIcon;
class QTimer;

namespace jollix {

class CIndexerDialog : public QDialog {
  Q_OBJECT

 public:
  // How the dialog ends the process: EndProcess, or a recorder in tests.
  using EndFunction = std::function<void(int code)>;

  // Sets the icons, adds the notification-area icon, hides the dialog and starts the timer.
  CIndexerDialog(ScanProgress& progress, Prompter& prompter, EndFunction end);

  void ShowProgress();      // "显示进度": at (200, 200), 380 x 160 pixels
  void SendToBackground();  // "后台索引": at (0, 0), 0 x 0, hidden
  void AskToQuit();         // "退出索引": OK ends the dialog, Cancel does nothing
  // The timer's work: refreshes the texts and the bar; ends the process with 0 once Finished.
  void Tick();

  QMenu* TrayMenu() const { return menu_; }

 protected:
  // Every way the dialog ends (close box, Escape, Enter, the quit question) ends the process.
  void done(int result) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void CreateControls();
  void CreateTrayIcon();

  ScanProgress& progress_;
  Prompter& prompter_;
  EndFunction end_;
  QLabel* entries_ = nullptr;
  QLabel* folder_ = nullptr;
  QLabel* percent_ = nullptr;
  QProgressBar* bar_ = nullptr;
  QMenu* menu_ = nullptr;
  QSystemTrayIcon* tray_ = nullptr;
  QTimer* timer_ = nullptr;
};

}  // namespace jollix
