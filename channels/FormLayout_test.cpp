// The software, education and travel forms laid out at the side bar's size (the travel form on
// each of its tabs): every visible control lies inside the form and has room for its whole text.
// When JOLLIX_FORM_SHOTS names a folder, each picture is saved there as forms2-<name>.png for a
// person to look at.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QGroupBox>
#include <QPixmap>
#include <cstdlib>

#include "channels/EducationSearchDialog.h"
#include "channels/FormTestBench.h"
#include "channels/SoftwareSearchDialog.h"
#include "channels/TripSearchDialog.h"

namespace jollix {
namespace {

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

void CheckLayout(QWidget* form, const QString& name) {
  form->resize(300, 600);
  form->show();
  QApplication::processEvents();
  for (QWidget* control : form->findChildren<QWidget*>()) {
    if (!control->isVisible()) continue;
    const std::string id = control->objectName().toStdString();
    EXPECT_TRUE(form->rect().contains(QRect(control->mapTo(form, QPoint(0, 0)), control->size())))
        << name.toStdString() << ": " << id << " lies outside the form";
    EXPECT_GE(control->width(), TextWidthNeeded(control))
        << name.toStdString() << ": " << id << " cuts its text";
    if (auto* tabs = qobject_cast<const QTabBar*>(control)) {
      for (int i = 0; i < tabs->count(); ++i) {
        EXPECT_GE(tabs->tabRect(i).width(),
                  tabs->fontMetrics().horizontalAdvance(tabs->tabText(i)) + 8)
            << name.toStdString() << ": tab " << i << " cuts its text";
      }
    }
  }
  const QPixmap picture = form->grab();
  EXPECT_EQ(picture.size(), QSize(300, 600));
  if (const char* folder = std::getenv("JOLLIX_FORM_SHOTS")) {
    const QString path = QDir(QString::fromLocal8Bit(folder)).filePath("forms2-" + name + ".png");
    EXPECT_TRUE(picture.save(path)) << path.toStdString();
  }
}

TEST(FormLayout, EveryFormFitsTheSideBar) {
  testing::FormTestBench bench;
  CSoftwareSearchDialog software(bench.context);
  CheckLayout(&software, "software");
  CEducationSearchDialog education(bench.context);
  CheckLayout(&education, "education");
  CTripSearchDialog travel(bench.context);
  CheckLayout(&travel, "travel-start");
  for (int tab : {1, 2, 3, 0}) {
    travel.SelectTab(tab);
    CheckLayout(&travel, QString("travel-%1").arg(tab));
  }
}

}  // namespace
}  // namespace jollix
