#include "desktop/UiTextRelay.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QPushButton>
#include <string>
#include <thread>
#include <vector>

#include "testing/FakePorts.h"
#include "testing/QtTestApp.h"

namespace jollix {
namespace {

class UiTextRelayTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { testing::EnsureApplication(); }
  // Runs f on another thread and waits for it.
  template <typename F>
  static void OnWorker(F f) {
    std::thread worker(f);
    worker.join();
  }
};

TEST_F(UiTextRelayTest, ShowsAtOnceOnTheUiThreadAndQueuedFromAWorker) {
  UiTextRelay relay;
  std::vector<std::string> shown;
  relay.Send(0, [&] { shown.push_back("here"); });
  EXPECT_EQ(shown, (std::vector<std::string>{"here"}));
  OnWorker([&] { relay.Send(0, [&] { shown.push_back("worker"); }); });
  EXPECT_EQ(shown.size(), 1u);  // not before the user-interface thread runs its events
  QCoreApplication::processEvents();
  EXPECT_EQ(shown, (std::vector<std::string>{"here", "worker"}));
}

TEST_F(UiTextRelayTest, AQueuedTextGivesWayToANewerOneForTheSamePlace) {
  UiTextRelay relay;
  std::vector<std::string> shown;
  OnWorker([&] {
    relay.Send(0, [&] { shown.push_back("old button"); });
    relay.Send(1, [&] { shown.push_back("status"); });
  });
  relay.Send(0, [&] { shown.push_back("new button"); });
  QCoreApplication::processEvents();
  EXPECT_EQ(shown, (std::vector<std::string>{"new button", "status"}));
}

TEST_F(UiTextRelayTest, QueuedTextsDieWithTheRelay) {
  std::vector<std::string> shown;
  {
    UiTextRelay relay;
    OnWorker([&] { relay.Send(0, [&] { shown.push_back("late"); }); });
  }
  QCoreApplication::processEvents();
  EXPECT_TRUE(shown.empty());
}

TEST_F(UiTextRelayTest, TheButtonAndTheStatusPortsReachTheirTargetsInTheUiThread) {
  QPushButton button;
  QtSearchButtonText text(&button);
  testing::FakeStatusLine target;
  RelayedStatusLine status(target);
  OnWorker([&] {
    text.Set("取消");
    status.SetText(1, "找到");
  });
  EXPECT_TRUE(target.texts.empty());
  QCoreApplication::processEvents();
  EXPECT_EQ(button.text(), QString::fromUtf16(u"取消"));
  EXPECT_EQ(target.Last(1), "找到");
  text.Set("Jollix桌面搜索");
  EXPECT_EQ(button.text(), QString::fromUtf16(u"Jollix桌面搜索"));
}

}  // namespace
}  // namespace jollix
