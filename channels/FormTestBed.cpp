#include "channels/FormTestBed.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QGroupBox>
#include <QPixmap>
#include <QVBoxLayout>
#include <cstdlib>
#include <map>

#include "channels/EducationSearchDialog.h"
#include "channels/FormTabs.h"
#include "channels/SearchState.h"
#include "channels/TripSearchDialog.h"
#include "channels/WebPageSearch.h"

namespace jollix::testing {
namespace {

// The single result tab that a travel or education command puts up, and the inner tab it moves
// its form's strip to.
struct FormTabCommand {
  const char* label;
  int page;
  int inner_tab;
};

const std::map<int, FormTabCommand>& FormTabCommands() {
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

// The width a control needs to show its whole text, or 0 for a control without a text of its
// own.
int TextWidthNeeded(const QWidget* control) {
  if (qobject_cast<const QLabel*>(control) || qobject_cast<const QAbstractButton*>(control)) {
    return control->sizeHint().width();
  }
  if (auto* tabs = qobject_cast<const QTabBar*>(control)) {
    return tabs->count() ? tabs->tabRect(tabs->count() - 1).right() + 1 : 0;  // all tabs in view
  }
  if (auto* group = qobject_cast<const QGroupBox*>(control)) {
    return group->fontMetrics().horizontalAdvance(group->title()) + 16;
  }
  return 0;
}

}  // namespace

FormTestBed::FormTestBed() : proxy_(server), home_(dir.path()) {
  ClearPageLinks();
  SetGoogleWebTrace(nullptr);
  ResultListContext list_context;
  list_context.prompter = &prompter;
  list_context.shell = &shell;
  list_context.details = &details;
  list_context.icons = &icons;
  view = std::make_unique<CResultTabView>(list_context);
  view->resize(900, 500);
  context.ports = SearchPorts{&status, &prompter, &shell, view.get(), &icons};
  context.run_command = [this](int command) { RunMainCommand(command); };
}

FormTestBed::~FormTestBed() {
  ClearPageLinks();
  SetGoogleWebTrace(stdout);
  ResultType = 0;
}

void FormTestBed::RunMainCommand(int command) {
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

void FormTestBed::PutUpTabs(const std::vector<const char*>& labels, const std::vector<int>& pages,
                            int selected) {
  view->RemoveAllTabs();
  for (const char* label : labels) view->AddTabLabel(label);
  ASSERT_TRUE(view->PlacePages(pages));
  ASSERT_TRUE(view->SelectPosition(selected));
}

std::vector<std::string> FormTestBed::Targets() const {
  std::vector<std::string> targets;
  for (const auto& request : server.Requests()) targets.push_back(request.host + request.path);
  return targets;
}

std::string FormTestBed::Status() const { return status.Last(kChannelStatusPane); }

const std::vector<std::string>& FormTestBed::StatusTexts() {
  return status.texts[kChannelStatusPane];
}

std::vector<std::string> FormTestBed::RowCells(int type, int row) const {
  CListResultView* page = view->Page(type);
  std::vector<std::string> cells;
  for (int column = 0; column < page->ColumnCount(); ++column) {
    cells.push_back(page->Cell(row, column));
  }
  return cells;
}

std::vector<std::string> FormTestBed::Rows(int type) const {
  std::vector<std::string> rows;
  CListResultView* page = view->Page(type);
  for (int i = 0; i < page->RowCount(); ++i) rows.push_back(page->Cell(i, 0));
  return rows;
}

void FormTestBed::CheckLayout(QWidget* form, const QString& name) {
  form->resize(300, 600);
  form->show();
  QApplication::processEvents();
  const std::string where = name.toStdString() + ": ";
  for (QWidget* control : form->findChildren<QWidget*>()) {
    if (!control->isVisible()) continue;
    const std::string id = control->objectName().toStdString();
    EXPECT_TRUE(form->rect().contains(QRect(control->mapTo(form, QPoint(0, 0)), control->size())))
        << where << id << " lies outside the form";
    EXPECT_GE(control->width(), TextWidthNeeded(control)) << where << id << " cuts its text";
    if (auto* tabs = qobject_cast<const QTabBar*>(control)) {
      for (int i = 0; i < tabs->count(); ++i) {
        EXPECT_GE(tabs->tabRect(i).width(),
                  tabs->fontMetrics().horizontalAdvance(tabs->tabText(i)) + 8)
            << where << "tab " << i << " cuts its text";
      }
    }
  }
  const QPixmap picture = form->grab();
  EXPECT_EQ(picture.size(), QSize(300, 600));
  if (const char* folder = std::getenv("JOLLIX_FORM_SHOTS")) {
    const QString path = QDir(QString::fromLocal8Bit(folder)).filePath("form-" + name + ".png");
    EXPECT_TRUE(picture.save(path)) << path.toStdString();
  }
}

DialogHost::DialogHost(ChannelPane* form) {
  auto* layout = new QVBoxLayout(&dialog_);
  layout->addWidget(form);
  dialog_.resize(300, 600);
  dialog_.show();
}

}  // namespace jollix::testing
