#include "shell/MainFrame.h"

#include <QAction>
#include <QApplication>
#include <QListWidget>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>

#include "common/QtPrompter.h"
#include "desktop/DeskSearchDialog.h"
#include "docking/DockPageBar.h"
#include "results/FileIconList.h"
#include "results/ListResultView.h"
#include "results/ResultTabView.h"
#include "shell/QtStatusLine.h"

namespace jollix {
namespace {

QString Text(const char16_t* text) { return QString::fromUtf16(text); }

constexpr int kSideBarId = 1231;
constexpr int kDetailsBarId = 12340;

// A toolbar button's icon: the desktop theme's, else one of the style's own.
QIcon ToolIcon(const char* theme_name, QStyle::StandardPixmap fallback) {
  return QIcon::fromTheme(theme_name, QApplication::style()->standardIcon(fallback));
}

}  // namespace

CMainFrame::CMainFrame(Prompter& prompter, Shell& shell, FileIconList& icons, EndFunction end)
    : prompter_(prompter), shell_(shell), icons_(icons), end_(std::move(end)) {
  setObjectName("mainframe");
}

CMainFrame::~CMainFrame() = default;

bool CMainFrame::Create() {
  if (EnterInstallationAndReadConfig(prompter_) != StartUpResult::kReady) return false;
  StartVersionCheck();
  setWindowTitle(Text(
      u"Jollix超级搜索---搜索桌面、网页、新闻、文档、音乐、论文、国学、词典、软件、天气、列车时刻、"
      u"航班、手机号码归属地...."));
  CreateClientArea();
  CreateToolBar();
  CreateStatusBar();
  setDockOptions(dockOptions() | QMainWindow::AllowNestedDocks);
  CreateChannelForms();
  CreateSideBar();
  return true;
}

// The version check at start runs on a thread of its own and reads only the server addresses
// and the build number set above; its client is not part of this program yet.
void CMainFrame::StartVersionCheck() {}

void CMainFrame::CreateClientArea() {
  splitter_ = new QSplitter(Qt::Vertical, this);
  splitter_->setObjectName("splitter");
  auto* view = new CJollixSearchView(splitter_);
  view->setObjectName("view");
  auto* split_frame = new CSplitFrame(splitter_);
  split_frame->setObjectName("splitframe");
  split_frame->setWindowFlags(Qt::Widget);

  details_ = CreateDetailsList();

  ResultListContext context;
  context.prompter = &prompter_;
  context.shell = &shell_;
  context.details = details_;
  context.icons = &icons_;
  result_view_ = new CResultTabView(context, split_frame);
  split_frame->setCentralWidget(result_view_);

  details_bar_ =
      new CDockPageBar(Text(u"文件属性"), split_frame, QSize(230, 160), true, kDetailsBarId);
  details_bar_->AddPage(details_, Text(u"文件属性"));
  details_bar_->DockAt(Qt::BottomDockWidgetArea);

  splitter_->addWidget(view);
  splitter_->addWidget(split_frame);
  splitter_->setCollapsible(0, true);
  splitter_->setStretchFactor(1, 1);
  splitter_->setSizes({0, 1});
  setCentralWidget(splitter_);
}

void CMainFrame::CreateToolBar() {
  QToolBar* bar = addToolBar(Text(u"工具栏"));
  bar->setObjectName("128");
  bar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
  bar->setIconSize(QSize(32, 31));
  auto add = [bar](int id, const char16_t* label, QIcon icon) {
    QAction* action = bar->addAction(icon, Text(label));
    action->setObjectName(QString::number(id));
    action->setToolTip(Text(label));
    return action;
  };
  QAction* desktop = add(32796, u"桌面", ToolIcon("user-desktop", QStyle::SP_DesktopIcon));
  desktop->setCheckable(true);
  desktop->setChecked(true);
  connect(desktop, &QAction::triggered, this, [this, desktop] {
    desktop->setChecked(true);
    side_bar_->ShowPage(0);
  });
  bar->addSeparator();
  QAction* help = add(32885, u"帮助", ToolIcon("help-contents", QStyle::SP_DialogHelpButton));
  connect(help, &QAction::triggered, this, [this] { shell_.Open("JollixHelp.chm"); });
  QAction* quit = add(57665, u"退出", ToolIcon("application-exit", QStyle::SP_DialogCloseButton));
  connect(quit, &QAction::triggered, this, [this] { end_(0); });
}

void CMainFrame::CreateStatusBar() {
  QStatusBar* bar = statusBar();
  bar->setObjectName("statusbar");
  status_ = new QtStatusLine(bar);
}

void CMainFrame::CreateChannelForms() {
  desktop_pane_ = new CDeskSearchDialog(prompter_, shell_, *status_, icons_, this);
  desktop_pane_->setObjectName("130");
  desktop_pane_->SetDesktopPage(result_view_->Page(0));
  // The no-index question closes the desktop pane's set-up.
  const bool unavailable = desktop_pane_->IndexUnavailable();
  if (AskNoIndexQuestion(unavailable, prompter_, shell_, end_) == NoIndexAnswer::kNo) {
    desktop_pane_->DisableSearchButton();
  }
}

void CMainFrame::CreateSideBar() {
  side_bar_ =
      new CDockPageBar(QStringLiteral("DockPageBar"), this, QSize(300, 0), true, kSideBarId);
  side_bar_->DockAt(Qt::LeftDockWidgetArea);
  side_bar_->AddPage(desktop_pane_, Text(u"桌面搜索"));
  side_bar_->ShowPage(0);
}

void CMainFrame::SetCommandLineFolder(const QString& folder) {
  if (desktop_pane_) desktop_pane_->SetFolder(folder);
}

void CMainFrame::UpdateIndexNow() { jollix::UpdateIndexNow(prompter_, shell_, end_); }

}  // namespace jollix
