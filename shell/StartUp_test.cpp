#include "shell/StartUp.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <cstdio>
#include <string>
#include <vector>

#include "testing/FakePorts.h"
#include "testing/TempDir.h"

namespace jollix {
namespace {

using testing::FakePrompter;
using testing::FakeShell;
using testing::ScopedCurrentDir;
using testing::TempDir;

const char kCrLfConfig[] =
    "索引更新频率\t604800\r\n上次索引时间\t1170000000\r\n第一服务器IP\t10.0.0.1\r\n"
    "第二服务器IP\t10.0.0.2\r\n";
const char kRebuildConfigLf[] =
    "索引更新频率\t604800\n上次索引时间\t0\n第一服务器IP\t10.0.0.1\n第二服务器IP\t10.0.0.2\n";

// An installation folder with a config.txt, entered through JOLLIX_HOME as the program does.
class StartUpTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_.Write("config.txt", kCrLfConfig);
    setenv("JOLLIX_HOME", dir_.path().c_str(), 1);
    Configuration() = IndexConfig();
  }
  void TearDown() override { unsetenv("JOLLIX_HOME"); }

  StartUpResult Start() { return EnterInstallationAndReadConfig(prompter_); }
  std::vector<std::string> Texts() const {
    std::vector<std::string> texts;
    for (const auto& m : prompter_.messages()) texts.push_back(m.text);
    return texts;
  }

  TempDir dir_;
  ScopedCurrentDir keep_{"."};  // the test changes folders; put the old one back afterwards
  FakePrompter prompter_;
  FakeShell shell_;
  std::vector<int> ends_;
  EndFunction end_ = [this](int code) { ends_.push_back(code); };
};

TEST_F(StartUpTest, EntersTheInstallationAndReadsConfigWithCrLf) {
  ASSERT_EQ(Start(), StartUpResult::kReady);
  EXPECT_EQ(BuildNumber(), 20070408);
  EXPECT_EQ(Configuration().UpdateFrequency, 604800);
  EXPECT_EQ(Configuration().LastIndexTime, 1170000000);
  EXPECT_STREQ(Configuration().SecondServerAddress, "10.0.0.2");
  EXPECT_TRUE(prompter_.messages().empty());
  struct stat here, home;
  ASSERT_EQ(stat(".", &here), 0);
  ASSERT_EQ(stat(dir_.path().c_str(), &home), 0);
  EXPECT_EQ(here.st_ino, home.st_ino);
}

TEST_F(StartUpTest, EachStartUpFailureHasItsMessageWithTheApplicationTitle) {
  setenv("JOLLIX_HOME", (dir_ / "missing").c_str(), 1);
  EXPECT_EQ(Start(), StartUpResult::kNoInstallFolder);
  setenv("JOLLIX_HOME", dir_.path().c_str(), 1);
  std::remove((dir_ / "config.txt").c_str());
  EXPECT_EQ(Start(), StartUpResult::kNoConfig);
  EXPECT_EQ(Texts(), (std::vector<std::string>{"转移到搜索目录失败",
                                               "读取系统配置文件失败，请与软件开发商联系！"}));
  for (const auto& m : prompter_.messages()) {
    EXPECT_EQ(m.caption, "");
    EXPECT_EQ(m.buttons, PromptButtons::kOk);
  }
}

TEST_F(StartUpTest, NoQuestionWhileTheIndexIsThere) {
  ASSERT_EQ(Start(), StartUpResult::kReady);
  EXPECT_EQ(AskNoIndexQuestion(false, prompter_, shell_, end_), NoIndexAnswer::kNotAsked);
  EXPECT_TRUE(prompter_.messages().empty());
}

// Both hand-overs to the indexer, answered each way.
struct HandOverCase {
  const char* name;
  bool update_now;  // else the no-index question
  PromptAnswer answer;
  bool writable;
  int expected_end;  // 0: the program goes on
  const char* expected_config;
};

class HandOverTest : public StartUpTest, public ::testing::WithParamInterface<HandOverCase> {};

TEST_P(HandOverTest, WritesConfigLfStartsTheIndexerAndEnds) {
  const HandOverCase& c = GetParam();
  ASSERT_EQ(Start(), StartUpResult::kReady);
  if (!c.writable) {  // a folder in its place: no one can write it, not even root
    std::remove((dir_ / "config.txt").c_str());
    dir_.MakeDir("config.txt");
  }
  prompter_.Script(c.answer);
  NoIndexAnswer answer = NoIndexAnswer::kNotAsked;
  if (c.update_now) {
    UpdateIndexNow(prompter_, shell_, end_);
  } else {
    answer = AskNoIndexQuestion(true, prompter_, shell_, end_);
  }

  const auto messages = prompter_.messages();
  ASSERT_GE(messages.size(), 1u);
  if (c.update_now) {
    EXPECT_EQ(messages[0].text,
              "更新索引必须退出Jollix超级搜索，要退出Jollix超级搜索，并启动Jollix桌面索引器吗？");
    EXPECT_EQ(messages[0].caption, "退出Jollix超级搜索");
  } else {
    EXPECT_EQ(messages[0].text,
              "您没有对硬盘建立索引，不能执行桌面搜索功能，只能搜索互联网信息。现在要退出Jollix超级"
              "搜索，并启动Jollix桌面索引器吗？");
    EXPECT_EQ(messages[0].caption, "");
  }
  EXPECT_EQ(messages[0].buttons, PromptButtons::kYesNo);
  if (c.writable) {
    EXPECT_EQ(dir_.Read("config.txt"), c.expected_config);
  }
  if (c.expected_end != 0) {
    EXPECT_EQ(ends_, std::vector<int>{c.expected_end});
    EXPECT_EQ(shell_.launched, std::vector<std::string>{"./JollixIndexer"});
    EXPECT_EQ(messages.size(), 1u);
    if (!c.update_now) {
      EXPECT_EQ(answer, NoIndexAnswer::kHandedOver);
    }
    return;
  }
  EXPECT_TRUE(ends_.empty());
  EXPECT_TRUE(shell_.launched.empty());
  if (c.answer != PromptAnswer::kYes) {
    EXPECT_EQ(messages.size(), 1u);
    if (!c.update_now) {
      EXPECT_EQ(answer, NoIndexAnswer::kNo);
    }
    EXPECT_EQ(Configuration().LastIndexTime, 1170000000);
    return;
  }
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[1].text, "打开系统配置文件失败，请与软件开发商联系！");
  if (c.update_now) {
    EXPECT_EQ(Configuration().LastIndexTime, 1170000000);  // unchanged in memory too
  } else {
    EXPECT_EQ(answer, NoIndexAnswer::kWriteFailed);
    EXPECT_EQ(Configuration().LastIndexTime, 0);  // set before the file was opened
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HandOverTest,
    ::testing::Values(
        HandOverCase{"NoIndexYes", false, PromptAnswer::kYes, true, -2, kRebuildConfigLf},
        HandOverCase{"NoIndexNo", false, PromptAnswer::kNo, true, 0, kCrLfConfig},
        HandOverCase{"NoIndexUnwritable", false, PromptAnswer::kYes, false, 0, ""},
        HandOverCase{"UpdateNowYes", true, PromptAnswer::kYes, true, -3, kRebuildConfigLf},
        HandOverCase{"UpdateNowNo", true, PromptAnswer::kNo, true, 0, kCrLfConfig},
        HandOverCase{"UpdateNowUnwritable", true, PromptAnswer::kYes, false, 0, ""}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace jollix
