// Test bench of the channel forms: the real result tab view, fakes of the other ports, a local
// HTTP server acting as the proxy for every site, and a stand-in for the main window's channel
// commands that records each command id and does what the main window's command does to the
// result view and to the forms' own tab strips (FormTabs.h).
#pragma once

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QString>
#include <QTabBar>
#include <QVBoxLayout>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "channels/ChannelPane.h"
#include "channels/EducationSearchDialog.h"
#include "channels/FormTabs.h"
#include "channels/SearchState.h"
#include "channels/TripSearchDialog.h"
#include "common/QtPrompter.h"
#include "results/ListResultView.h"
#include "results/ResultTabView.h"
#include "testing/FakePorts.h"
#include "testing/HttpTestServer.h"
#include "testing/QtTestApp.h"

namespace jollix::testing {

// A form's control by its id.
template <class T>
T* ControlOf(QWidget* form, const char* id) {
  return form->findChild<T*>(QString::fromLatin1(id));
}

// The single result tab that a travel or education command puts up, and the inner tab it moves
// its form's strip to.
struct FormTabCommand {
  const char* label;
  int page;
  int inner_tab;
};

inline const std::map<int, FormTabCommand>& FormTabCommands() {
  static const std::map<int, FormTabCommand> commands = {
      {kWeatherCommand, {"新浪天气搜索", 20, 0}},
      {kTrainsCommand, {"火车票网列车时刻查询", 21, 1}},
      {kFlightsCommand, {"飞友网航班时刻搜索", 22, 2}},
      {kPhoneRegionCommand, {"手机之家归属地搜索", 25, 3}},
      {kPapersCommand, {"Google Scholar", 13, 0}},
      {kClassicsCommand, {"百度国学", 14, 1}},
      {kIdiomsCommand, {"搜狗词语查询", 15, 2}},
      {kDictionaryCommand, {"百度词典", 16, 3}},
  };
  return commands;
}

class FormTestBench {
 public:
  FormTestBench() : proxy_(server) {  // proxy_ is declared after server
    ClearPageLinks();
    list_context.prompter = &prompter;
    list_context.shell = &shell;
    list_context.details = &details_list;
    view = std::make_unique<CResultTabView>(list_context);
    view->resize(800, 400);
    context.ports = SearchPorts{&status, &prompter, &shell, view.get(), &icons};
    context.run_command = [this](int command) { RunMainCommand(command); };
  }
  ~FormTestBench() { ClearPageLinks(); }

  // What the main window's command does: the form's own strip first (which may run the tab
  // handling and, through it, a further command), then the command's result tab.
  void RunMainCommand(int command) {
    commands.push_back(command);
    auto found = FormTabCommands().find(command);
    if (found == FormTabCommands().end()) return;
    const FormTabCommand& c = found->second;
    if (command >= kWeatherCommand && command <= kPhoneRegionCommand) {
      if (trip) trip->SelectTab(c.inner_tab);
      if (trip && command == kWeatherCommand) trip->HideSecondField();
    } else if (education) {
      education->SelectTab(c.inner_tab);
    }
    PutUpTabs({c.label}, {c.page}, 0);
  }

  // The result view's steps of a channel command.
  void PutUpTabs(const std::vector<const char*>& labels, const std::vector<int>& pages,
                 int selected) {
    view->RemoveAllTabs();
    for (const char* label : labels) view->AddTabLabel(label);
    view->PlacePages(pages);
    view->SelectPosition(selected);
  }

  // The first-column texts of a result page (by result type).
  std::vector<std::string> Rows(int type) const {
    std::vector<std::string> rows;
    CListResultView* page = view->Page(type);
    for (int i = 0; i < page->RowCount(); ++i) rows.push_back(page->Cell(i, 0));
    return rows;
  }
  std::string Status() const { return status.Last(kChannelStatusPane); }

  ApplicationMember application;
  QListWidget details_list;
  ResultListContext list_context;
  HttpTestServer server;
  FakeStatusLine status;
  FakePrompter prompter;
  FakeShell shell;
  FakeIconList icons;
  std::unique_ptr<CResultTabView> view;
  ChannelContext context;
  std::vector<int> commands;  // the main-window commands run, in order
  CTripSearchDialog* trip = nullptr;
  CEducationSearchDialog* education = nullptr;

 private:
  ScopedHttpProxy proxy_;
};

// A form shown inside a dialog, as a dialog would close on Escape if the form let it through.
class DialogHost {
 public:
  explicit DialogHost(ChannelPane* form) {
    auto* layout = new QVBoxLayout(&dialog_);
    layout->addWidget(form);
    dialog_.resize(300, 600);
    dialog_.show();
  }
  QDialog& dialog() { return dialog_; }

 private:
  QDialog dialog_;
};

}  // namespace jollix::testing
