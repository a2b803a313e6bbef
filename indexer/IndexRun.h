// One index run of the indexer: what its work thread does (the schedule test, the scan, the
// build), the texts that show its progress, and the way to run it without a window.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "common/ConfigFile.h"
#include "common/Prompter.h"
#include "indexer/ScanProgress.h"

namespace jollix {

// Exit code of a run that the user ended before the index was saved.
inline constexpr int kQuitExitCode = 1;

// Seconds since 1970-01-01 00:00 UTC, as the 32-bit value the settings hold.
int32_t CurrentTime();

// A run is due unless now is earlier than LastIndexTime + UpdateFrequency. The sum and the
// comparison are signed 32-bit, the sum wrapping around as the settings' readers have always
// computed it.
bool IsRunDue(int32_t now, const IndexConfig& config);

// The whole work of a run, on the calling thread, in the installation folder: reads config.txt
// (message box and exit -1 when it cannot be opened), ends the process with -1 at once and
// without a word when the run is not due, scans, builds and saves, then sets
// progress.Finished. Returns only after a finished run; every failure ends the process.
void RunIndexWork(Prompter& prompter, ScanProgress& progress);

// The scan and the build of a run, whether due or not, with config as read at its start (the
// build writes it back with the new LastIndexTime). Every failure ends the process as in a run.
void ScanAndBuild(Prompter& prompter, ScanProgress& progress, const IndexConfig& config);

// The three texts and the bar position of the progress display (GBK).
struct ProgressTexts {
  std::string Entries;  // "已经完成    %d    个文件的扫描"
  std::string Folder;   // "正在扫描文件夹：%s"
  std::string Percent;  // "索引大约完成    %d%% "
  int Position = 0;     // 0..100
};
ProgressTexts MakeProgressTexts(const ScanProgress& progress);

// Runs RunIndexWork on a work thread and writes a progress line (UTF-8) to out every 2000 ms
// and once more at the end. Returns 0 as soon as the run has finished; failures end the process
// from the work thread.
int RunWithProgressLines(Prompter& prompter, ScanProgress& progress, FILE* out);

}  // namespace jollix
