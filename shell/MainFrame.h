// The main window of JollixSearch: menu, toolbar, status bar, the side bar of channel forms on
// the left, and the result area: the result tabs above the details bar "文件属性".
//
// The constructor only stores its ports; Create builds the window in the start-up order:
// installation folder and config.txt, the version check, title, result area, menu, toolbar,
// status bar, the eight channel forms (the desktop pane loads the index and may ask the
// no-index question before the window is ever shown), then the side bar holding them as pages.
//
// Commands are run by id (RunCommand), from the menu, the toolbar and the forms alike. The
// channel commands are rows of ChannelCommandTable(); the window applies them as the
// ChannelWindow they act on.
#pragma once

#include <map>
#include <optional>
#include <vector>

#include "common/Prompter.h"
#include "common/Shell.h"
#include "docking/AutoHideFrame.h"
#include "shell/ChannelCommands.h"
#include "shell/StartUp.h"
#include "shell/VersionCheck.h"

class QAction;
class QListWidget;
class QSplitter;

namespace jollix {

class CDeskSearchDialog;
class CDockPageBar;
class CDocSearchDialog;
class CEducationSearchDialog;
class CResultTabView;
class CTripSearchDialog;
class ChannelPane;
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
class CSplitFrame : public CAutoHideFrame {
 public:
  // A main window is always made a window of its own; this one is a child of the splitter.
  explicit CSplitFrame(QWidget* parent) : CAutoHideFrame(parent) { setWindowFlags(Qt::Widget); }
  QSize sizeHint() const override { return {500, 175}; }
};

class CMainFrame : public CAutoHideFrame, private ChannelWindow {
  Q_OBJECT

 public:
  // The ports outlive the window; end ends the process (EndProcess, or a recorder in tests).
  CMainFrame(Prompter& prompter, Shell& shell, FileIconList& icons, EndFunction end);
  // Stops a desktop search first, as closing does.
  ~CMainFrame() override;

  // Builds the window. False after the message that the installation folder or config.txt
  // could not be had; the window is then not built further.
  bool Create();

  // The folder given on the command line, for the desktop form's folder field.
  void SetCommandLineFolder(const QString& folder);
  // The version servers' TCP port (the version port unless set; tests set the port of a
  // loopback server). Before Create.
  void SetVersionPort(int port) { version_port_ = port; }

  // Runs the command with this menu or toolbar id.
  void RunCommand(int id);
  // The update-now command: quit and start the indexer, after the user agreed.
  void UpdateIndexNow();

  const CheckFlags& Flags() const { return flags_; }
  CResultTabView* ResultView() const { return result_view_; }
  CDockPageBar* SideBar() const { return side_bar_; }
  CDeskSearchDialog* DesktopPane() const { return desktop_pane_; }
  // The channel form on a side-bar page (0 desktop, 1 web pages, ... 7 travel); null for the
  // desktop and other pages.
  ChannelPane* WebForm(int side_page) const;
  QtStatusLine* Status() const { return status_; }
  QListWidget* DetailsList() const { return details_; }
  // The menu items and toolbar buttons of a command id.
  std::vector<QAction*> Actions(int id) const;

 protected:
  // Closing the window stops a running desktop search and waits for its worker before any
  // widget goes: the worker writes rows into the result pages, which Qt destroys before the
  // side bar that holds the desktop pane.
  void closeEvent(QCloseEvent* event) override;

 private:
  void StopDesktopSearch();
  void StartVersionCheck();
  VersionServer VersionServerToAsk() const;
  // The check at start found a newer build: shows its dialog once the window is built.
  void OfferNewerBuild(const VersionDialogTexts& texts);
  void CreateClientArea();
  void CreateMenus();
  void CreateToolBar();
  void CreateAccelerators();
  void CreateStatusBar();
  void CreateChannelForms();
  void CreateSideBar();
  QAction* AddCommandAction(QAction* action, int id);
  void UpdateCheckMarks();

  void RunPaging(bool next);
  void RunSettingsCommand();
  void ShowAbout();
  void MoveFocusToPane(int step);

  // ChannelWindow: what a channel command acts on.
  void SelectFormTab(InnerTabForm form, int tab) override;
  void ShowSidePage(int page) override;
  void RemoveAllTabs() override;
  void AddTabLabel(const char* label) override;
  void PlacePages(const std::vector<int>& pages) override;
  void SelectPosition(int position) override;
  void HideSecondTravelField() override;
  void SetDocumentEngineBoxes(bool google) override;

  Prompter& prompter_;
  Shell& shell_;
  FileIconList& icons_;
  EndFunction end_;
  CheckFlags flags_;
  std::multimap<int, QAction*> actions_;
  QSplitter* splitter_ = nullptr;
  CResultTabView* result_view_ = nullptr;
  QListWidget* details_ = nullptr;
  CDockPageBar* details_bar_ = nullptr;
  CDockPageBar* side_bar_ = nullptr;
  CDeskSearchDialog* desktop_pane_ = nullptr;
  std::vector<ChannelPane*> web_forms_;  // side pages 1..7
  CDocSearchDialog* doc_form_ = nullptr;
  CEducationSearchDialog* education_form_ = nullptr;
  CTripSearchDialog* trip_form_ = nullptr;
  QtStatusLine* status_ = nullptr;
  int version_port_ = kVersionPort;
  bool built_ = false;  // Create has ended: no question of the start-up is up any more
  std::optional<VersionDialogTexts> newer_build_;  // offered while the window was built
};

}  // namespace jollix
