// The main window of JollixSearch: toolbar, status bar, the side bar of channel forms on the
// left, and the result area: the result tabs above the details bar "文件属性".
//
// The constructor only stores its ports; Create builds the window in the start-up order:
// installation folder and config.txt, the version check, title, toolbar, status bar, result
// area, the channel forms (the desktop pane loads the index and may ask the no-index question
// before the window is ever shown), then the side bar holding them as pages.
#pragma once

#include <QMainWindow>

#include "common/Prompter.h"
#include "common/Shell.h"
#include "shell/StartUp.h"

class QListWidget;
class QSplitter;

namespace jollix {

class CDeskSearchDialog;
class CDockPageBar;
class CResultTabView;
class FileIconList;
class QtStatusLine;

// The upper row of the client area's splitter: a plain view that starts collapsed.
class CJollixSearchView : public QWidget {
 public:
  explicit CJollixSearchView(QWidget* parent) : QWidget(parent) {}
  QSize sizeHint() const override { return {0, 0}; }
};

// The lower row: a small frame whose client is the result tab view, with the details bar
// docked at its bottom.
class CSplitFrame : public QMainWindow {
 public:
  explicit CSplitFrame(QWidget* parent) : QMainWindow(parent) {}
  QSize sizeHint() const override { return {500, 175}; }
};

class CMainFrame : public QMainWindow {
  Q_OBJECT

 public:
  // The ports outlive the window; end ends the process (EndProcess, or a recorder in tests).
  CMainFrame(Prompter& prompter, Shell& shell, FileIconList& icons, EndFunction end);
  ~CMainFrame() override;

  // Builds the window. False after the message that the installation folder or config.txt
  // could not be had; the window is then not built further.
  bool Create();

  // The folder given on the command line, for the desktop form's folder field.
  void SetCommandLineFolder(const QString& folder);

  // The update-now command: quit and start the indexer, after the user agreed.
  void UpdateIndexNow();

  CResultTabView* ResultView() const { return result_view_; }
  CDockPageBar* SideBar() const { return side_bar_; }
  CDeskSearchDialog* DesktopPane() const { return desktop_pane_; }
  QtStatusLine* Status() const { return status_; }
  QListWidget* DetailsList() const { return details_; }

 private:
  void StartVersionCheck();
  void CreateToolBar();
  void CreateStatusBar();
  void CreateClientArea();
  void CreateChannelForms();
  void CreateSideBar();

  Prompter& prompter_;
  Shell& shell_;
  FileIconList& icons_;
  EndFunction end_;
  QSplitter* splitter_ = nullptr;
  CResultTabView* result_view_ = nullptr;
  QListWidget* details_ = nullptr;
  CDockPageBar* details_bar_ = nullptr;
  CDockPageBar* side_bar_ = nullptr;
  CDeskSearchDialog* desktop_pane_ = nullptr;
  QtStatusLine* status_ = nullptr;
};

}  // namespace jollix
