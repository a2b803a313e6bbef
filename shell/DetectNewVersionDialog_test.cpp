#include "shell/DetectNewVersionDialog.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <cstdlib>
#include <ctime>
#include <functional>

#include "testing/FakePorts.h"
#include "testing/FakeVersionServer.h"
#include "testing/QtTestApp.h"

namespace jollix {
namespace {

using testing::FakeVersionServer;
using testing::VersionInformationReply;

constexpr int kBuild = 20070408;

QString Text(const char16_t* text) { return QString::fromUtf16(text); }

class CDetectNewVersionTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { testing::EnsureApplication(); }

  VersionServer At(int port) {
    VersionServer server;
    server.FirstAddress = server.SecondAddress = "127.0.0.1";
    server.Port = port;
    server.MachineIdPath = "/nonexistent";
    return server;
  }
  template <typename T>
  T* Control(QWidget& dialog, int id) {
    T* control = dialog.findChild<T*>(QString::number(id));
    EXPECT_NE(control, nullptr) << id;
    return control;
  }

  testing::FakePrompter prompter_;
  testing::FakeShell shell_;
};

TEST_F(CDetectNewVersionTest, ShowsItsLabelsAndButtons) {
  CDetectNewVersion dialog(At(1), kBuild, prompter_, shell_);
  EXPECT_EQ(dialog.objectName(), "152");
  EXPECT_EQ(dialog.windowTitle(), "Dialog");
  EXPECT_EQ(Control<QLabel>(dialog, 1056)->text(), Text(u"当前运行程序版本：20070408"));
  EXPECT_EQ(Control<QLabel>(dialog, 1057)->text(), Text(u"服务器最新版本："));
  EXPECT_EQ(Control<QLabel>(dialog, 1058)->text(), Text(u"最新版本描述："));
  EXPECT_EQ(Control<QPlainTextEdit>(dialog, 1040)->toPlainText(), "");
  EXPECT_EQ(Control<QPlainTextEdit>(dialog, 1040)->accessibleName(), Text(u"最新版本描述："));
  EXPECT_EQ(Control<QPushButton>(dialog, 1059)->text(), Text(u"检测新版本"));
  EXPECT_EQ(Control<QPushButton>(dialog, 5)->text(), Text(u"下载新版本"));
  EXPECT_EQ(Control<QPushButton>(dialog, 2)->text(), Text(u"取  消"));
}

TEST_F(CDetectNewVersionTest, CheckButtonShowsTheAnswerAndDownloadOpensItsAddress) {
  FakeVersionServer fake(
      VersionInformationReply("20080101\tJollix\thttp://dl.example/new\n更快的搜索"));
  CDetectNewVersion dialog(At(fake.port()), kBuild, prompter_, shell_);
  Control<QPushButton>(dialog, 1059)->click();
  EXPECT_EQ(Control<QLabel>(dialog, 1057)->text(), Text(u"服务器最新版本：20080101"));
  EXPECT_EQ(Control<QPlainTextEdit>(dialog, 1040)->toPlainText(), Text(u"更快的搜索"));
  Control<QPushButton>(dialog, 5)->click();
  EXPECT_EQ(shell_.opened, std::vector<std::string>{"http://dl.example/new"});
  if (const char* shots = std::getenv("JOLLIX_SHOT_DIR")) {
    dialog.show();
    dialog.grab().save(QString(shots) + "/version-dialog.png");
  }
}

TEST_F(CDetectNewVersionTest, CheckButtonWithoutServerSaysTheConnectionFailed) {
  int port;
  {
    FakeVersionServer gone("");
    port = gone.port();
  }
  CDetectNewVersion dialog(At(port), kBuild, prompter_, shell_);
  Control<QPushButton>(dialog, 1059)->click();
  EXPECT_EQ(Control<QPlainTextEdit>(dialog, 1040)->toPlainText(), Text(u"连接服务器失败！"));
}

// Processes events for up to ms milliseconds, or until done() holds.
void ProcessEventsFor(int ms, const std::function<bool()>& done) {
  QElapsedTimer timer;
  timer.start();
  while (!done() && timer.elapsed() < ms) QApplication::processEvents(QEventLoop::AllEvents, 10);
}

// Runs the check at start against a server and returns the description of every version
// dialog that came up within the wait (closing each).
QStringList DialogsAtStart(FakeVersionServer& fake, const VersionServer& server,
                           testing::FakePrompter& prompter, testing::FakeShell& shell) {
  QObject window;
  QStringList shown;
  QTimer closer;
  QObject::connect(&closer, &QTimer::timeout, [&] {
    for (QWidget* w : QApplication::topLevelWidgets()) {
      auto* dialog = qobject_cast<CDetectNewVersion*>(w);
      if (!dialog || !dialog->isVisible()) continue;
      shown << dialog->findChild<QPlainTextEdit*>("1040")->toPlainText();
      dialog->reject();
    }
  });
  closer.start(10);
  StartVersionCheck(&window, server, kBuild, prompter, [&](const VersionDialogTexts& texts) {
    ShowNewerBuild(texts, server, kBuild, prompter, shell, nullptr);
  });
  testing::ProcessEventsUntil([&] { return !fake.Requests().empty(); });
  // The answer has gone: wait for the dialog, or long enough that a silent check would have
  // shown one by now.
  ProcessEventsFor(500, [&] { return !shown.empty(); });
  return shown;
}

TEST_F(CDetectNewVersionTest, StartCheckShowsTheDialogOnlyForANewerBuild) {
  FakeVersionServer newer(VersionInformationReply("20080101\tJ\thttp://a\n新版"));
  EXPECT_EQ(DialogsAtStart(newer, At(newer.port()), prompter_, shell_), QStringList{Text(u"新版")});
  FakeVersionServer same(VersionInformationReply("20070408\tJ\thttp://a\n同版"));
  EXPECT_EQ(DialogsAtStart(same, At(same.port()), prompter_, shell_), QStringList{});
}

TEST_F(CDetectNewVersionTest, StartCheckShowsNothingAfterTheWindowIsGone) {
  FakeVersionServer newer(VersionInformationReply("20080101\tJ\thttp://a\n新版"));
  {
    QObject window;
    StartVersionCheck(&window, At(newer.port()), kBuild, prompter_,
                      [](const VersionDialogTexts&) { ADD_FAILURE() << "offered"; });
  }
  testing::ProcessEventsUntil([&] { return !newer.Requests().empty(); });
  ProcessEventsFor(500, [] { return false; });
}

double ProcessCpuSeconds() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + now.tv_nsec / 1e9;
}

double WallSeconds() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<double>(now.tv_sec) + now.tv_nsec / 1e9;
}

// While the check button waits for a server that never answers, the process sleeps: a wait that
// polls would keep a core busy for the whole wait.
TEST_F(CDetectNewVersionTest, CheckButtonWaitsWithoutKeepingACoreBusy) {
  FakeVersionServer silent("", false);
  VersionServer server = At(silent.port());
  server.ReceiveMs = 800;
  CDetectNewVersion dialog(server, kBuild, prompter_, shell_);
  const double cpu = ProcessCpuSeconds(), wall = WallSeconds();
  Control<QPushButton>(dialog, 1059)->click();
  const double used = ProcessCpuSeconds() - cpu, waited = WallSeconds() - wall;
  EXPECT_EQ(Control<QPlainTextEdit>(dialog, 1040)->toPlainText(),
            Text(u"检测最新版本失败，请与软件开发商联系！"));
  EXPECT_LT(used, waited / 3) << "cpu " << used << " s in " << waited << " s";
}

// A screen reader hears the description box by its caption and reads the description itself as
// the box's text, also after the texts change.
TEST_F(CDetectNewVersionTest, ScreenReadersReadTheDescription) {
  CDetectNewVersion dialog(At(1), kBuild, prompter_, shell_);
  VersionDialogTexts texts = dialog.Texts();
  texts.Description = "更快的搜索，更少的等待";
  dialog.SetTexts(texts);
  QAccessibleInterface* box =
      QAccessible::queryAccessibleInterface(Control<QPlainTextEdit>(dialog, 1040));
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(box->text(QAccessible::Name), Text(u"最新版本描述："));
  EXPECT_EQ(box->text(QAccessible::Value), Text(u"更快的搜索，更少的等待"));
  QAccessibleInterface* heading =
      QAccessible::queryAccessibleInterface(Control<QLabel>(dialog, 1058));
  EXPECT_EQ(heading->text(QAccessible::Name), Text(u"最新版本描述："));
}

}  // namespace
}  // namespace jollix
