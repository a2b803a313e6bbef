// The test bed of the channel form tests: the real result tab view, the ports the main window
// hands to the forms (fakes, apart from the icon list), the loopback test server acting as the
// HTTP proxy for every site, so that a form's search runs end to end without the network, and a
// stand-in for the main window's channel commands that records each command id and does what
// the main window's command does to the result view and to the forms' own tab strips
// (FormTabs.h). The current folder is a temp folder, where tests put the icon placeholders they
// need.
#pragma once

#include <gtest/gtest.h>

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QString>
#include <QTabBar>
#include <QTest>
#include <memory>
#include <string>
#include <vector>

#include "channels/ChannelPane.h"
#include "results/FileIconList.h"
#include "results/ListResultView.h"
#include "results/ResultTabView.h"
#include "testing/FakePorts.h"
#include "testing/HttpTestServer.h"
#include "testing/QtTestApp.h"
#include "testing/TempDir.h"

namespace jollix {

class CEducationSearchDialog;
class CTripSearchDialog;

namespace testing {

class FormTestBed : public ::testing::Test {
 protected:
  FormTestBed();
  ~FormTestBed() override;

  // The stand-in for the main window's command runner (context.run_command): records the
  // command, then moves the form's own strip (trip or education, when set), which may run the
  // tab handling and through it a further command, then puts up the command's result tab.
  void RunMainCommand(int command);

  // The steps of a channel command: the labels (GBK) as tabs over pages, position selected.
  void PutUpTabs(const std::vector<const char*>& labels, const std::vector<int>& pages,
                 int selected);

  // "host/path?query" of every request the sites received, in order.
  std::vector<std::string> Targets() const;
  // The last text written into the channel status pane, and all of them in order.
  std::string Status() const;
  const std::vector<std::string>& StatusTexts();
  // The cells of a row of the page of a result type, and the first-column texts of its rows.
  std::vector<std::string> RowCells(int type, int row) const;
  std::vector<std::string> Rows(int type) const;

  // Lays the form out at the side bar's size, shown, and checks that every visible control lies
  // inside the form and shows its whole text (a tab strip: every tab in view, each wide enough
  // for its text). Saves the picture as form-<name>.png in the folder $JOLLIX_FORM_SHOTS when
  // that is set.
  static void CheckLayout(QWidget* form, const QString& name);

  ApplicationMember application_;
  HttpTestServer server;
  FakeStatusLine status;
  FakePrompter prompter;
  FakeShell shell;
  FileIconList icons;
  QListWidget details;
  std::unique_ptr<CResultTabView> view;
  ChannelContext context;
  TempDir dir;
  std::vector<int> commands;  // the main-window commands run, in order
  CTripSearchDialog* trip = nullptr;
  CEducationSearchDialog* education = nullptr;

 private:
  ScopedHttpProxy proxy_;
  ScopedCurrentDir home_;
};

// A form shown inside a dialog, as a dialog would close on Escape if the form let it through.
class DialogHost {
 public:
  explicit DialogHost(ChannelPane* form);
  QDialog& dialog() { return dialog_; }

 private:
  QDialog dialog_;
};

// A control of a form by its objectName, failing the test when it is missing.
template <class T>
T* Control(QWidget* form, const char* id) {
  T* control = form->findChild<T*>(QString::fromLatin1(id));
  EXPECT_NE(control, nullptr) << id;
  return control;
}

inline QString Text(const char16_t* text) { return QString::fromUtf16(text); }

}  // namespace testing
}  // namespace jollix
