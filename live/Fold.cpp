// The fold of the journal into a whole new generation (LiveIndex::Fold).
#include <malloc.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

#include "common/ConfigFile.h"
#include "common/FileRecord.h"
#include "common/FileTypeFile.h"
#include "common/IndexLayout.h"
#include "common/TextFile.h"
#include "indexer/BuildIndex.h"
#include "indexer/BuildPinyinIndex.h"
#include "live/LiveIndex.h"

namespace jollix {
namespace {

// The fold's own temporary names: an index run that starts meanwhile uses the names of
// common/IndexGeneration.h, and neither spoils the other's files.
constexpr char kAllFileFoldFile[] = "index/AllFile.dat.fold";
constexpr char kMetaIndexFoldFile[] = "index/MetaIndex.ind.fold";
constexpr char kIndexDataFoldFile[] = "index/IndexData.ind.fold";
constexpr char kPinyinIndexFoldFile[] = "index/PinyinIndex.ind.fold";

// The list buffers of a fold's build: a quarter of an index run's. A fold runs inside the
// long-lived watcher, whose memory is bounded; more, shorter writes of the lists cost it little.
constexpr size_t kFoldBufferBytes = size_t{4} << 20;

}  // namespace

bool LiveIndex::WriteFoldedRecords(const char* path) {
  FILE* out = std::fopen(path, "wb");
  if (!out) return false;
  // The records in place, in their order, but those withdrawn or replaced; then the entries
  // the journal holds, in the order of their latest lines.
  const bool read = ForEachRecordLine(records_fd_, [&](std::string_view line, uint64_t) {
    FileRecord record;
    if (!ParseFileRecord(line, &record) || journal_.Names(PathHash(record.Folder, record.Name))) {
      return;
    }
    std::fwrite(line.data(), 1, line.size(), out);
  });
  for (const JournalView::Entry& e : journal_.Entries()) {
    if (!e.Latest || e.Kind == kWithdrawnRecord) continue;
    const std::string_view line = journal_.Line(e);
    std::fwrite(line.data(), 1, line.size(), out);
  }
  return CloseWritten(out) && read;
}

int LiveIndex::Fold() {
  // The builder ends the process when it cannot read the type settings; a fold must not.
  if (access(kFileTypeFile, R_OK) != 0) return -1;
  if (!WriteFoldedRecords(kAllFileFoldFile)) {
    std::remove(kAllFileFoldFile);
    return -1;
  }
  if (GenerationReplaced()) {
    std::remove(kAllFileFoldFile);
    return -6;
  }
  // The tables of the generation in place are of no use to the build and are read anew after
  // it (of the new generation, or of the old one when the build fails): given back before the
  // build takes its own, the watcher's peak is the larger of the two, not their sum.
  CloseFiles();
  // Only the type settings of the config are used: the fold is no index run, and config.txt
  // keeps the time of the last one, so that the scheduled runs still come.
  IndexConfig config;
  // The build runs in a child process that the watcher waits for: its table of names and its
  // buffers (some 35 MiB at a million records) never count to the long-lived watcher, and a
  // build that ends its process (a file it cannot write) ends only the child.
  int built = -1;
  const pid_t child = fork();
  if (child == 0) {
    BuildIndex builder(prompter_, config, kFoldBufferBytes);
    // The pinyin lists go with the generation, so that pinyin words keep their lists after a fold.
    BuildPinyinIndex pinyin(kPinyinFile, kPinyinIndexFoldFile);
    _exit(-builder.BuildGeneration(kAllFileFoldFile, kMetaIndexFoldFile, kIndexDataFoldFile, false,
                                   &pinyin));
  }
  int status = 0;
  if (child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status)) {
    built = -WEXITSTATUS(status);
  }
  if (child < 0 || built != 0) std::remove(kAllFileFoldFile);
  std::string error;
  if (!Load(&error)) {
    std::fprintf(stderr, "jollix watch: %s\n", error.c_str());
    return -1;
  }
  // The build's memory, freed, is handed back to the system rather than kept for the next fold.
  malloc_trim(0);
  if (built != 0) return built == -4 ? -1 : built;
  return 0;
}

}  // namespace jollix
