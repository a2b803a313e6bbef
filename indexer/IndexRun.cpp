#include "indexer/IndexRun.h"

#include <chrono>
#include <condition_variable>
#include <ctime>
#include <mutex>
#include <thread>

#include "common/Fatal.h"
#include "common/Gbk.h"
#include "common/IndexGeneration.h"
#include "indexer/BuildIndex.h"
#include "indexer/BuildPinyinIndex.h"
#include "indexer/ScanDisk.h"

namespace jollix {

int32_t CurrentTime() { return static_cast<int32_t>(std::time(nullptr)); }

bool IsRunDue(int32_t now, const IndexConfig& config) {
  uint32_t sum =
      static_cast<uint32_t>(config.LastIndexTime) + static_cast<uint32_t>(config.UpdateFrequency);
  return now >= static_cast<int32_t>(sum);
}

void RunIndexWork(Prompter& prompter, ScanProgress& progress) {
  IndexConfig config;
  if (!ReadConfig(kConfigFile, &config)) {
    prompter.Ask("打开系统配置文件失败，请与软件开发商联系！", "打开文件失败", PromptButtons::kOk);
    EndProcess(-1);
  }
  if (!IsRunDue(CurrentTime(), config)) EndProcess(-1);
  ScanAndBuild(prompter, progress, config);
  progress.Finished = 1;
}

void ScanAndBuild(Prompter& prompter, ScanProgress& progress, const IndexConfig& config) {
  // The record lines go to a temporary file: the build renames them into place together with
  // the lists, so a program reading the index never sees lines of one run with lists of another.
  ScanDisk(prompter, progress).Scan(kAllFileTempFile);
  BuildPinyinIndex pinyin;
  BuildIndex(prompter, config).Build(kAllFileTempFile, &pinyin);
}

ProgressTexts MakeProgressTexts(const ScanProgress& progress) {
  ProgressTexts texts;
  char text[128];
  std::snprintf(text, sizeof text, "已经完成    %d    个文件的扫描",
                progress.EntriesWritten.load());
  texts.Entries = text;
  texts.Folder = "正在扫描文件夹：" + progress.CurrentFolder();
  texts.Position = progress.Percent();
  std::snprintf(text, sizeof text, "索引大约完成    %d%% ", texts.Position);
  texts.Percent = text;
  return texts;
}

namespace {

void WriteProgressLine(const ScanProgress& progress, FILE* out) {
  ProgressTexts t = MakeProgressTexts(progress);
  std::string line = t.Entries + "  " + t.Percent + " " + t.Folder;
  std::fprintf(out, "%s\n", GbkToUtf8Lossy(line).c_str());
  std::fflush(out);
}

}  // namespace

int RunWithProgressLines(Prompter& prompter, ScanProgress& progress, FILE* out) {
  std::mutex mu;
  std::condition_variable done_cv;
  bool done = false;
  std::thread work([&] {
    RunIndexWork(prompter, progress);
    std::lock_guard<std::mutex> lock(mu);
    done = true;
    done_cv.notify_one();
  });
  {
    std::unique_lock<std::mutex> lock(mu);
    while (!done_cv.wait_for(lock, std::chrono::milliseconds(2000), [&] { return done; })) {
      WriteProgressLine(progress, out);
    }
  }
  work.join();
  WriteProgressLine(progress, out);
  return 0;
}

}  // namespace jollix
