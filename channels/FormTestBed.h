// The test bed of the channel form tests: the real result tab view, the ports the main window
// hands to the forms (fakes, apart from the icon list), and the loopback test server acting as
// the HTTP proxy for every site, so that a form's search runs end to end without the network.
// The current folder is a temp folder, where tests put the icon placeholders they need.
#pragma once

#include <gtest/gtest.h>

#include <QDialog>
#include <QListWidget>
#include <QString>
#include <QTest>
#include <QVBoxLayout>
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

namespace jollix::testing {

class FormTestBed : public ::testing::Test {
 protected:
  FormTestBed();
  ~FormTestBed() override;

  // The steps of a channel command: the labels (GBK) as tabs over pages, position selected.
  void PutUpTabs(const std::vector<const char*>& labels, const std::vector<int>& pages,
                 int selected);

  // "host/path?query" of every request the sites received, in order.
  std::vector<std::string> Targets() const;
  // The texts written into the channel status pane, in order.
  const std::vector<std::string>& Status();
  // The cells of a row of the page of a result type.
  std::vector<std::string> RowCells(int type, int row) const;

  // Escape in the query field and on the form itself, with the form in a dialog (which closes on
  // an Escape that reaches it): the dialog and the form stay shown, and nothing is searched.
  template <class Form>
  void CheckEscapeIsSwallowed() {
    QDialog host;
    auto* layout = new QVBoxLayout(&host);
    auto* form = new Form(context, &host);
    layout->addWidget(form);
    host.show();
    QTest::keyClick(form->QueryField(), Qt::Key_Escape);
    QTest::keyClick(form, Qt::Key_Escape);
    EXPECT_TRUE(host.isVisible());
    EXPECT_TRUE(form->isVisible());
    EXPECT_TRUE(server.Requests().empty());
    EXPECT_TRUE(prompter.messages().empty());
  }

  // Lays the form out at the side bar's size, shown, and checks that every visible control lies
  // inside the form and shows its whole text. Saves the picture as forms1-<name>.png in the
  // folder $JOLLIX_FORM_SHOTS when that is set.
  static void CheckLayout(QWidget* form, const char* name);

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

 private:
  ScopedHttpProxy proxy_;
  ScopedCurrentDir home_;
};

// A control of a form by its objectName, failing the test when it is missing.
template <class T>
T* Control(QWidget* form, const char* id) {
  T* control = form->findChild<T*>(QString::fromLatin1(id));
  EXPECT_NE(control, nullptr) << id;
  return control;
}

inline QString Text(const char16_t* text) { return QString::fromUtf16(text); }

}  // namespace jollix::testing
