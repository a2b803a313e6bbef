// jollix index [--now]: the indexer's run in the terminal, with progress on standard error.
#include <cstdio>
#include <cstring>
#include <string>

#include "cli/Command.h"
#include "common/ConfigFile.h"
#include "common/Fatal.h"
#include "common/InstallFolder.h"
#include "common/LocalTime.h"
#include "common/ScanFolderFile.h"
#include "indexer/IndexRun.h"

namespace jollix::cli {
namespace {

constexpr int kFailed = 255;  // the indexer's -1

void PrintUsage(FILE* out) {
  std::fprintf(out,
               "usage: jollix index [--now]\n\n"
               "Scans the folders of index/ScanFolder.txt and builds the desktop index when a run\n"
               "is due by config.txt (its update frequency after the last index time). A first\n"
               "run writes index/ScanFolder.txt with your home folder when it is missing.\n\n"
               "  --now   set the last index time to 0 first, so the run is due at once\n");
}

// Sets LastIndexTime to 0, as the main program's update-now command does.
bool ResetLastIndexTime() {
  IndexConfig config;
  if (!ReadConfig(kConfigFile, &config)) return false;
  config.LastIndexTime = 0;
  return WriteConfig(kConfigFile, config, LineEnd::kLf);
}

// When the run is not due, says when it will be and returns true.
bool ExplainNotDue() {
  IndexConfig config;
  if (!ReadConfig(kConfigFile, &config) || IsRunDue(CurrentTime(), config)) return false;
  const int64_t next = static_cast<int64_t>(config.LastIndexTime) + config.UpdateFrequency;
  const std::string when = FormatLocalTime(next);
  std::fprintf(stderr,
               "jollix index: the index is up to date; the next run is due at %s.\n"
               "Use 'jollix index --now' to rebuild it now.\n",
               when.c_str());
  return true;
}

int IndexMain(int argc, char** argv) {
  bool now = false;
  for (int i = 1; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--now")) {
      now = true;
    } else if (!std::strcmp(argv[i], "--help") || !std::strcmp(argv[i], "-h")) {
      PrintUsage(stdout);
      return 0;
    } else {
      std::fprintf(stderr, "jollix index: unknown argument '%s'\n\n", argv[i]);
      PrintUsage(stderr);
      return kUsageError;
    }
  }
  SetConsoleUtf8(true);
  if (!EnterInstallFolder()) {
    std::fprintf(stderr, "jollix index: cannot enter the installation folder %s\n",
                 InstallFolder().c_str());
    return kFailed;
  }
  if (!EnsureScanFolders(kScanFolderFile)) {
    std::fprintf(stderr, "jollix index: cannot write %s\n", kScanFolderFile);
    return kFailed;
  }
  if (now && !ResetLastIndexTime()) {
    std::fprintf(stderr, "jollix index: cannot update %s\n", kConfigFile);
    return kFailed;
  }
  if (ExplainNotDue()) return kFailed;
  ConsolePrompter prompter;
  return RunWithProgressLines(prompter, TheScanProgress(), stderr);
}

}  // namespace

JOLLIX_COMMAND("index", "build the desktop index when it is due (--now: at once)", IndexMain);

}  // namespace jollix::cli
