#include "shell/StartUp.h"

#include "common/InstallFolder.h"
#include "live/WatchLock.h"

namespace jollix {
namespace {

constexpr char kConfigWriteFailed[] = "打开系统配置文件失败，请与软件开发商联系！";

int build_number = 0;

}  // namespace

IndexConfig& Configuration() {
  static IndexConfig config;
  return config;
}

int BuildNumber() { return build_number; }

StartUpResult EnterInstallationAndReadConfig(Prompter& prompter) {
  if (!EnterInstallFolder()) {
    prompter.Ask("转移到搜索目录失败", nullptr, PromptButtons::kOk);
    return StartUpResult::kNoInstallFolder;
  }
  build_number = kJollixBuildNumber;
  if (!ReadConfig(kConfigFile, &Configuration())) {
    prompter.Ask("读取系统配置文件失败，请与软件开发商联系！", nullptr, PromptButtons::kOk);
    return StartUpResult::kNoConfig;
  }
  return StartUpResult::kReady;
}

bool WriteConfigLf() { return WriteConfig(kConfigFile, Configuration(), LineEnd::kLf); }

NoIndexAnswer AskNoIndexQuestion(bool index_unavailable, Prompter& prompter, Shell& shell,
                                 const EndFunction& end) {
  if (!index_unavailable) return NoIndexAnswer::kNotAsked;
  PromptAnswer answer = prompter.Ask(
      "您没有对硬盘建立索引，不能执行桌面搜索功能，只能搜索互联网信息。现在要退出Jollix超级搜索，"
      "并启动Jollix桌面索引器吗？",
      nullptr, PromptButtons::kYesNo);
  if (answer != PromptAnswer::kYes) return NoIndexAnswer::kNo;
  Configuration().LastIndexTime = 0;
  if (!WriteConfigLf()) {
    prompter.Ask(kConfigWriteFailed, nullptr, PromptButtons::kOk);
    return NoIndexAnswer::kWriteFailed;
  }
  shell.Launch(kIndexerProgram);
  end(kNoIndexHandOverExit);
  return NoIndexAnswer::kHandedOver;  // reached only when end returns (tests)
}

void UpdateIndexNow(Prompter& prompter, Shell& shell, const EndFunction& end) {
  PromptAnswer answer = prompter.Ask(
      "更新索引必须退出Jollix超级搜索，要退出Jollix超级搜索，并启动Jollix桌面索引器吗？",
      "退出Jollix超级搜索", PromptButtons::kYesNo);
  if (answer != PromptAnswer::kYes) return;
  IndexConfig& config = Configuration();
  const int last = config.LastIndexTime;
  config.LastIndexTime = 0;
  if (!WriteConfigLf()) {
    config.LastIndexTime = last;
    prompter.Ask(kConfigWriteFailed, nullptr, PromptButtons::kOk);
    return;
  }
  shell.Launch(kIndexerProgram);
  end(kUpdateNowExit);
}

const char* LiveIndexNotice() {
  if (WatcherRunning(".")) return nullptr;
  return "实时索引没有运行，新改动要等下次索引后才能搜到。启动它："
         "systemctl --user enable --now jollixsearch-watch.service";
}

}  // namespace jollix
