#include "shell/VersionCheck.h"

#include <cstdio>

#include "shell/StartUp.h"

namespace jollix {
namespace {

constexpr int kNotConnected = -5;

std::string LatestVersionText(int version) {
  char text[64];
  std::snprintf(text, sizeof text, "服务器最新版本：%d", version);
  return text;
}

}  // namespace

std::string RunningVersionText(int build_number) {
  char text[64];
  std::snprintf(text, sizeof text, "当前运行程序版本：%d", build_number);
  return text;
}

VersionServer ConfiguredVersionServer() {
  VersionServer server;
  server.FirstAddress = Configuration().FirstServerAddress;
  server.SecondAddress = Configuration().SecondServerAddress;
  return server;
}

int CheckForNewVersion(const VersionServer& server, int build_number, Prompter& prompter,
                       VersionDialogTexts* texts) {
  VersionClient client(server, prompter);
  if (client.Connect() != 0) {
    texts->Description = "连接服务器失败！";
    return kNotConnected;
  }
  const int version = client.Request(build_number);
  client.Close();
  if (version < 0) {
    texts->Description = "检测最新版本失败，请与软件开发商联系！";
    return version;
  }
  texts->VersionText = LatestVersionText(version);
  texts->DownloadAddress = client.DownloadAddress();
  texts->Description =
      version == build_number ? "您目前运行的是最新版本，不需要更新！" : client.Description();
  return version;
}

bool CheckAtStart(const VersionServer& server, int build_number, Prompter& prompter,
                  VersionDialogTexts* texts) {
  VersionClient client(server, prompter);
  if (client.Connect() != 0) return false;
  const int version = client.Request(build_number);
  client.Close();
  if (version <= build_number) return false;
  texts->Description = client.Description();
  texts->VersionText = LatestVersionText(version);
  texts->DownloadAddress = client.DownloadAddress();
  return true;
}

void OpenDownloadPage(Shell& shell, VersionDialogTexts* texts) {
  if (texts->DownloadAddress.empty()) texts->DownloadAddress = kVendorDownloadPage;
  shell.Open(WebAddressTarget(texts->DownloadAddress));  // never a local file
}

}  // namespace jollix
