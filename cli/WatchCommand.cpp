// jollix watch: keeps the index of the '_' folders of index/ScanFolder.txt live, in the
// foreground, until SIGTERM or SIGINT (exit status 0).
#include <poll.h>
#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "cli/Command.h"
#include "cli/ConsolePorts.h"
#include "common/Fatal.h"
#include "common/InstallFolder.h"
#include "common/ScanFolderFile.h"
#include "live/LiveIndex.h"
#include "live/WatchLock.h"
#include "live/Watcher.h"

namespace jollix::cli {
namespace {

constexpr int kFailed = 255;
constexpr int kAlreadyWatched = 1;
// How often the index folder is looked at for an index run's new generation or a changed
// ScanFolder.txt: four file statuses a second, nothing to speak of when idle.
constexpr int kLookEveryMs = 1000;

void PrintUsage(FILE* out) {
  std::fprintf(
      out,
      "usage: jollix watch\n\n"
      "Keeps the desktop index of the folders marked for scanning in\n"
      "index/ScanFolder.txt live: every file or folder created, deleted, renamed or\n"
      "changed below them is searchable within a second. Builds the index first when\n"
      "there is none, and brings in what changed while nothing watched. Runs in the\n"
      "foreground until SIGTERM or SIGINT (Ctrl+C); one watcher per installation.\n"
      "'jollix index' and JollixIndexer may run meanwhile: their new index is taken up.\n\n"
      "Exit status: 0 when stopped by a signal, 1 when another watcher runs, 255 when\n"
      "the index or the watch cannot be set up.\n");
}

// SIGTERM and SIGINT as a readable descriptor; blocked first, so that every thread started
// later (the walks' helpers) leaves them to it.
int SignalDescriptor() {
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGTERM);
  sigaddset(&signals, SIGINT);
  if (sigprocmask(SIG_BLOCK, &signals, nullptr) != 0) return -1;
  return signalfd(-1, &signals, SFD_CLOEXEC);
}

std::unique_ptr<Watcher> StartWatcher(LiveIndex& live) {
  std::string error;
  // The index folder (of the installation, the current folder) is left out: inside a watched
  // folder each journal line written would be noticed and journalled again, without end.
  WatchOptions options;
  options.Skip = {"index"};
  std::unique_ptr<Watcher> watcher = Watcher::Start(live.WatchedRoots(), &live, options, &error);
  if (!watcher) {
    std::fprintf(stderr, "jollix watch: cannot watch the folders: %s\n", error.c_str());
    return nullptr;
  }
  // Started before the comparison, so that no change falls between the two.
  live.CatchUp();
  live.Flush();
  std::fprintf(stderr, "jollix watch: watching %zu folder(s) with %s\n", live.WatchedRoots().size(),
               watcher->Method());
  return watcher;
}

// Runs until a signal comes; returns the exit status.
int WatchLoop(LiveIndex& live, int signal_fd) {
  std::unique_ptr<Watcher> watcher = StartWatcher(live);
  if (!watcher) return kFailed;
  auto last_look = std::chrono::steady_clock::now();
  for (;;) {
    struct pollfd fds[2] = {{signal_fd, POLLIN, 0}, {watcher->Fd(), POLLIN, 0}};
    const int ready = poll(fds, 2, kLookEveryMs);
    if (ready < 0 && errno != EINTR) return kFailed;
    if (fds[0].revents & POLLIN) return 0;
    if (fds[1].revents & POLLIN) watcher->Dispatch();
    const auto now = std::chrono::steady_clock::now();
    if (now - last_look < std::chrono::milliseconds(kLookEveryMs)) continue;
    last_look = now;
    if (live.TakeUpChanges()) {
      watcher.reset();
      watcher = StartWatcher(live);
      if (!watcher) return kFailed;
    }
  }
}

int WatchMain(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--help") || !std::strcmp(argv[i], "-h")) {
      PrintUsage(stdout);
      return 0;
    }
    std::fprintf(stderr, "jollix watch: unknown argument '%s'\n\n", argv[i]);
    PrintUsage(stderr);
    return kUsageError;
  }
  SetConsoleUtf8(true);
  // The index run's progress lines, when there is no index yet, go with the watcher's own.
  SetConsoleToStderr(true);
  const int signal_fd = SignalDescriptor();
  if (signal_fd < 0) {
    std::fprintf(stderr, "jollix watch: cannot take SIGTERM and SIGINT: %s\n",
                 std::strerror(errno));
    return kFailed;
  }
  if (!EnterInstallFolder()) {
    std::fprintf(stderr, "jollix watch: cannot enter the installation folder %s\n",
                 InstallFolder().c_str());
    return kFailed;
  }
  if (!EnsureScanFolders(kScanFolderFile)) {
    std::fprintf(stderr, "jollix watch: cannot write %s\n", kScanFolderFile);
    return kFailed;
  }
  int lock_fd = -1;
  if (!TakeWatchLock(InstallFolder(), &lock_fd)) {
    std::fprintf(stderr, "jollix watch: another watcher already keeps the index of %s live\n",
                 InstallFolder().c_str());
    return kAlreadyWatched;
  }
  ConsolePrompter prompter;
  std::string error;
  std::unique_ptr<LiveIndex> live = LiveIndex::Open(prompter, &error);
  if (!live) {
    std::fprintf(stderr, "jollix watch: %s\n", error.c_str());
    return kFailed;
  }
  return WatchLoop(*live, signal_fd);
}

}  // namespace

JOLLIX_COMMAND("watch", "keep the desktop index live as files change (foreground)", WatchMain);

}  // namespace jollix::cli
