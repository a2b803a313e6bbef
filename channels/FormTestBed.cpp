#include "channels/FormTestBed.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <cstdlib>

#include "channels/SearchState.h"
#include "channels/WebPageSearch.h"

namespace jollix::testing {

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
}

FormTestBed::~FormTestBed() {
  ClearPageLinks();
  SetGoogleWebTrace(stdout);
  ResultType = 0;
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

const std::vector<std::string>& FormTestBed::Status() { return status.texts[kChannelStatusPane]; }

std::vector<std::string> FormTestBed::RowCells(int type, int row) const {
  CListResultView* page = view->Page(type);
  std::vector<std::string> cells;
  for (int column = 0; column < page->ColumnCount(); ++column) {
    cells.push_back(page->Cell(row, column));
  }
  return cells;
}

namespace {

// The width a control needs to show its whole text.
int TextWidthNeeded(QWidget* control) {
  if (auto* label = qobject_cast<QLabel*>(control)) return label->sizeHint().width();
  if (auto* button = qobject_cast<QAbstractButton*>(control)) return button->sizeHint().width();
  return 0;
}

}  // namespace

void FormTestBed::CheckLayout(QWidget* form, const char* name) {
  form->resize(300, 600);
  form->show();
  QApplication::processEvents();
  for (QWidget* control : form->findChildren<QWidget*>()) {
    if (!control->isVisible()) continue;
    QRect inside(control->mapTo(form, QPoint(0, 0)), control->size());
    EXPECT_TRUE(form->rect().contains(inside))
        << name << ": " << control->objectName().toStdString() << " lies outside the form";
    EXPECT_GE(control->width(), TextWidthNeeded(control))
        << name << ": " << control->objectName().toStdString() << " cuts its text";
    if (auto* group = qobject_cast<QGroupBox*>(control)) {
      EXPECT_GE(group->width(), group->fontMetrics().horizontalAdvance(group->title()) + 16)
          << name << ": the group cuts its title";
    }
  }
  QPixmap picture = form->grab();
  EXPECT_EQ(picture.size(), QSize(300, 600));
  if (const char* folder = std::getenv("JOLLIX_FORM_SHOTS")) {
    QString path =
        QDir(QString::fromLocal8Bit(folder)).filePath(QString("forms1-%1.png").arg(name));
    EXPECT_TRUE(picture.save(path)) << path.toStdString();
  }
}

}  // namespace jollix::testing
