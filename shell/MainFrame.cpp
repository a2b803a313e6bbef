#include "shell/MainFrame.h"

#include <QAction>
#include <QApplication>
#include <QListWidget>
#include <QMenuBar>
#include <QShortcut>
#include <QSplitter>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <algorithm>

#include "channels/DocSearchDialog.h"
#include "channels/EducationSearchDialog.h"
#include "channels/Mp3SearchDialog.h"
#include "channels/NewsSearchDialog.h"
#include "channels/PageSearchDialog.h"
#include "channels/SoftwareSearchDialog.h"
#include "channels/TripSearchDialog.h"
#include "common/QtPrompter.h"
#include "desktop/DeskSearchDialog.h"
#include "docking/DockPageBar.h"
#include "results/FileIconList.h"
#include "results/ListResultView.h"
#include "results/ResultTabView.h"
#include "shell/DetectNewVersionDialog.h"
#include "shell/QtStatusLine.h"
#include "shell/ToolIcons.h"
#include "web/PageFetcher.h"

namespace jollix {
namespace {

QString Text(const char16_t* text) { return QString::fromUtf16(text); }

constexpr int kSideBarId = 1231;
constexpr int kDetailsBarId = 12340;

// While a web search waits for its page, the window repaints and runs its timers; the user's
// input waits until the search is over, so no second search can start.
void ProcessPaintAndTimerEvents() {
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

// The commands whose menu items and toolbar buttons carry check marks.
bool Checkable(int id) {
  static const int kIds[] = {32796, 32795, 32794, 32793, 32797, 32821, 32833, 32802,
                             32803, 32804, 32811, 32849, 32843, 32858, 32887};
  return std::find(std::begin(kIds), std::end(kIds), id) != std::end(kIds);
}

}  // namespace

CMainFrame::CMainFrame(Prompter& prompter, Shell& shell, FileIconList& icons, EndFunction end)
    : CAutoHideFrame(nullptr),
      prompter_(prompter),
      shell_(shell),
      icons_(icons),
      end_(std::move(end)) {
  setObjectName("mainframe");
}

CMainFrame::~CMainFrame() { StopDesktopSearch(); }

void CMainFrame::closeEvent(QCloseEvent* event) {
  StopDesktopSearch();
  CAutoHideFrame::closeEvent(event);
}

void CMainFrame::StopDesktopSearch() {
  if (desktop_pane_) desktop_pane_->StopSearch();
}

bool CMainFrame::Create() {
  if (EnterInstallationAndReadConfig(prompter_) != StartUpResult::kReady) return false;
  StartVersionCheck();
  PageFetcher::SetWaitHook(ProcessPaintAndTimerEvents);
  setWindowTitle(Text(
      u"Jollix超级搜索---搜索桌面、网页、新闻、文档、音乐、论文、国学、词典、软件、天气、列车时刻、"
      u"航班、手机号码归属地...."));
  CreateClientArea();
  CreateMenus();
  CreateToolBar();
  CreateAccelerators();
  CreateStatusBar();
  setDockOptions(dockOptions() | QMainWindow::AllowNestedDocks);
  EnableDocking(Qt::AllDockWidgetAreas);  // after the toolbar: the top strip lies below it
  CreateChannelForms();
  CreateSideBar();
  UpdateCheckMarks();
  if (const char* notice = LiveIndexNotice()) status_->ShowNotice(notice);
  // A newer build found meanwhile is shown from the event loop, once the window is shown.
  built_ = true;
  if (newer_build_) {
    QTimer::singleShot(0, this, [this, texts = *newer_build_] { OfferNewerBuild(texts); });
  }
  return true;
}

// The version check at start runs on a thread of its own and reads only the server addresses
// and the build number set above; it speaks only when the server knows a newer build.
void CMainFrame::StartVersionCheck() {
  jollix::StartVersionCheck(this, VersionServerToAsk(), BuildNumber(), prompter_,
                            [this](const VersionDialogTexts& texts) { OfferNewerBuild(texts); });
}

VersionServer CMainFrame::VersionServerToAsk() const {
  VersionServer server = ConfiguredVersionServer();
  server.Port = version_port_;
  return server;
}

// The answer may come while the window is still being built, when the no-index question may be
// up: the dialog then waits for the window. It never blocks the window beside it.
void CMainFrame::OfferNewerBuild(const VersionDialogTexts& texts) {
  if (!built_) {
    newer_build_ = texts;
    return;
  }
  newer_build_.reset();
  ShowNewerBuild(texts, VersionServerToAsk(), BuildNumber(), prompter_, shell_, this);
}

void CMainFrame::CreateClientArea() {
  splitter_ = new QSplitter(Qt::Vertical, this);
  splitter_->setObjectName("splitter");
  auto* view = new CJollixSearchView(splitter_);
  view->setObjectName("view");
  auto* split_frame = new CSplitFrame(splitter_);
  split_frame->setObjectName("splitframe");
  split_frame->EnableDocking(Qt::AllDockWidgetAreas);

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

QAction* CMainFrame::AddCommandAction(QAction* action, int id) {
  action->setObjectName(QString::number(id));
  action->setCheckable(Checkable(id));
  actions_.emplace(id, action);
  connect(action, &QAction::triggered, this, [this, id] { RunCommand(id); });
  return action;
}

void CMainFrame::CreateMenus() {
  QMenuBar* bar = menuBar();
  bar->setObjectName("128");
  for (const Menu& menu : MainMenus()) {
    QMenu* shown = bar->addMenu(QStringFromGbk(menu.Title));
    for (const MenuEntry& item : menu.Items) {
      if (item.Id == 0) {
        shown->addSeparator();
        continue;
      }
      // "text TAB accelerator": Qt shows the accelerator's text after a TAB itself.
      QAction* action = AddCommandAction(shown->addAction(QStringFromGbk(item.Text)), item.Id);
      action->setEnabled(!item.Disabled);
    }
  }
}

void CMainFrame::CreateToolBar() {
  QToolBar* bar = addToolBar(Text(u"工具栏"));
  bar->setObjectName("toolbar128");
  bar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
  bar->setIconSize(QSize(32, 31));
  bar->setMovable(true);
  std::vector<QToolButton*> buttons;
  for (const ToolButton& b : ToolButtons()) {
    if (b.Id == 0) {
      bar->addSeparator();
      continue;
    }
    const QString label = QStringFromGbk(b.Label);
    QAction* action = AddCommandAction(bar->addAction(ToolIcon(b.Id, label), label), b.Id);
    action->setToolTip(label);
    if (auto* button = qobject_cast<QToolButton*>(bar->widgetForAction(action))) {
      button->setAccessibleName(label);
      buttons.push_back(button);
    }
  }
  // Every button gets the size of the largest (widest and tallest separately).
  QSize largest;
  for (QToolButton* button : buttons) largest = largest.expandedTo(button->sizeHint());
  for (QToolButton* button : buttons) button->setFixedSize(largest);
}

void CMainFrame::CreateAccelerators() {
  for (const Accelerator& key : Accelerators()) {
    auto* shortcut = new QShortcut(QKeySequence(QString::fromLatin1(key.Keys)), this);
    shortcut->setObjectName(QString::fromLatin1(key.Keys));
    connect(shortcut, &QShortcut::activated, this, [this, id = key.Id] { RunCommand(id); });
  }
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

  ChannelContext context;
  context.ports = {status_, &prompter_, &shell_, result_view_, &icons_};
  context.run_command = [this](int id) { RunCommand(id); };
  auto* pages = new CPageSearchDialog(context, this);
  auto* news = new CNewsSearchDialog(context, this);
  doc_form_ = new CDocSearchDialog(context, this);
  auto* music = new CMp3SearchDialog(context, this);
  education_form_ = new CEducationSearchDialog(context, this);
  auto* software = new CSoftwareSearchDialog(context, this);
  trip_form_ = new CTripSearchDialog(context, this);
  web_forms_ = {pages, news, doc_form_, music, education_form_, software, trip_form_};
}

void CMainFrame::CreateSideBar() {
  side_bar_ =
      new CDockPageBar(QStringLiteral("DockPageBar"), this, QSize(300, 0), true, kSideBarId);
  side_bar_->DockAt(Qt::LeftDockWidgetArea);
  static const char16_t* const kTitles[] = {u"桌面搜索", u"网页搜索", u"新闻搜索", u"文档搜索",
                                            u"音乐搜索", u"教育搜索", u"软件搜索", u"出行搜索"};
  // Each page's icon is its channel's toolbar image, so page buttons that lack the room for
  // their titles still tell the channels apart.
  static const int kChannelIds[] = {32796, 32821, 32833, 32802, 32811, 32843, 32849, 32858};
  for (int i = 0; i < 8; ++i) {
    QWidget* page = i == 0 ? static_cast<QWidget*>(desktop_pane_) : web_forms_[i - 1];
    const QString title = Text(kTitles[i]);
    side_bar_->AddPage(page, title, ToolIcon(kChannelIds[i], title));
  }
  side_bar_->ShowPage(0);
}

ChannelPane* CMainFrame::WebForm(int side_page) const {
  if (side_page < 1 || side_page > static_cast<int>(web_forms_.size())) return nullptr;
  return web_forms_[side_page - 1];
}

std::vector<QAction*> CMainFrame::Actions(int id) const {
  std::vector<QAction*> found;
  auto [first, last] = actions_.equal_range(id);
  for (auto it = first; it != last; ++it) found.push_back(it->second);
  return found;
}

void CMainFrame::UpdateCheckMarks() {
  for (auto& [id, action] : actions_) {
    if (action->isCheckable()) action->setChecked(flags_.Checked(id));
  }
}

void CMainFrame::SetCommandLineFolder(const QString& folder) {
  if (desktop_pane_) desktop_pane_->SetFolder(folder);
}

}  // namespace jollix
