// jollix-watch-bench ROOT [IDLE_SECONDS] [inotify]: the watcher alone over a large tree, for
// bench/live. Starts a watcher on ROOT with a sink that only counts, then waits IDLE_SECONDS
// (default 60) dispatching whatever comes, and prints one line "name value" per figure: the
// time to start (walk and watch every folder), the way of watching, the folders left unwatched,
// the heap the watcher holds (mallinfo2 after Start minus before, every malloc arena summed),
// the growth of the resident size over Start, the processor time (user + system) while idle,
// and the notices passed on meanwhile (other programs' changes on the same disk are seen by a
// whole-disk mark and dropped; those in ROOT are counted).
#include <malloc.h>
#include <poll.h>
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "live/Watcher.h"

namespace {

class CountingSink : public jollix::ChangeSink {
 public:
  void EntryChanged(std::string_view) override { ++notices; }
  void SubtreeChanged(std::string_view) override { ++notices; }
  void Flush() override {}
  long notices = 0;
};

long ResidentKib() {
  FILE* f = std::fopen("/proc/self/status", "r");
  if (!f) return 0;
  char line[256];
  long kib = 0;
  while (std::fgets(line, sizeof line, f)) {
    if (!std::strncmp(line, "VmRSS:", 6)) kib = std::atol(line + 6);
  }
  std::fclose(f);
  return kib;
}

double CpuSeconds() {
  rusage usage;
  getrusage(RUSAGE_SELF, &usage);
  auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: jollix-watch-bench ROOT [IDLE_SECONDS] [inotify]\n");
    return 2;
  }
  const int idle = argc > 2 ? std::atoi(argv[2]) : 60;
  jollix::WatchOptions options;
  options.ForceInotify = argc > 3 && !std::strcmp(argv[3], "inotify");
  CountingSink sink;
  const size_t heap_before = mallinfo2().uordblks;
  const long resident_before = ResidentKib();
  auto start = std::chrono::steady_clock::now();
  std::string error;
  auto watcher = jollix::Watcher::Start({argv[1]}, &sink, options, &error);
  if (!watcher) {
    std::fprintf(stderr, "jollix-watch-bench: %s\n", error.c_str());
    return 1;
  }
  std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
  std::printf("start_seconds %.2f\n", took.count());
  std::printf("method %s\n", watcher->Method());
  std::printf("unwatched_folders %zu\n", watcher->UnwatchedFolders());
  std::printf("heap_mib %.1f\n", (mallinfo2().uordblks - heap_before) / 1048576.0);
  std::printf("resident_growth_mib %.1f\n", (ResidentKib() - resident_before) / 1024.0);
  std::fflush(stdout);

  const double cpu_before = CpuSeconds();
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(idle);
  pollfd p{watcher->Fd(), POLLIN, 0};
  while (std::chrono::steady_clock::now() < until) {
    if (poll(&p, 1, 1000) > 0) watcher->Dispatch();
  }
  std::printf("idle_seconds %d\n", idle);
  std::printf("idle_cpu_seconds %.3f\n", CpuSeconds() - cpu_before);
  std::printf("idle_notices %ld\n", sink.notices);
  return 0;
}
