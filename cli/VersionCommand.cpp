// jollix version [--port N]: the version check of the menu command "检测最新版本" from the
// terminal. Asks the version servers of config.txt and prints the three texts of the version
// dialog, one UTF-8 line each: the server's newest version, the description, the download
// address. A stop order of the server ends the command with status 252, as it ends the window.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "cli/Command.h"
#include "common/Fatal.h"
#include "common/Gbk.h"
#include "shell/StartUp.h"
#include "shell/VersionCheck.h"

namespace jollix::cli {
namespace {

constexpr int kCheckFailed = 1;

void PrintUsage(FILE* out) {
  std::fprintf(out,
               "usage: jollix version [--port N]\n\n"
               "Asks the version server (the addresses of config.txt) whether a newer build\n"
               "exists and prints the server's newest version, its description and the download\n"
               "address, one line each. Exit status 1 when the check failed.\n\n"
               "  --port N   the server's TCP port (default %d)\n",
               kVersionPort);
}

bool ParsePort(const char* text, int* port) {
  char* end = nullptr;
  long value = std::strtol(text, &end, 10);
  if (!*text || *end || value < 1 || value > 65535) return false;
  *port = static_cast<int>(value);
  return true;
}

void PrintLine(const std::string& gbk) {
  std::printf("%s\n", GbkToUtf8Lossy(gbk).c_str());
}

int VersionMain(int argc, char** argv) {
  int port = kVersionPort;
  for (int i = 1; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--help") || !std::strcmp(argv[i], "-h")) {
      PrintUsage(stdout);
      return 0;
    }
    if (!std::strcmp(argv[i], "--port") && i + 1 < argc && ParsePort(argv[i + 1], &port)) {
      ++i;
      continue;
    }
    std::fprintf(stderr, "jollix version: bad argument '%s'\n\n", argv[i]);
    PrintUsage(stderr);
    return kUsageError;
  }
  SetConsoleUtf8(true);
  ConsolePrompter prompter;
  if (EnterInstallationAndReadConfig(prompter) != StartUpResult::kReady) return kCheckFailed;
  VersionServer server = ConfiguredVersionServer();
  server.Port = port;
  VersionDialogTexts texts;
  const int result = CheckForNewVersion(server, BuildNumber(), prompter, &texts);
  PrintLine(texts.VersionText);
  PrintLine(texts.Description);
  PrintLine(texts.DownloadAddress);
  return result < 0 ? kCheckFailed : 0;
}

}  // namespace

JOLLIX_COMMAND("version", "ask the version server whether a newer build exists", VersionMain);

}  // namespace jollix::cli
