// The fold of the journal into a whole new generation (LiveIndex::Fold).
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
  // Only the type settings of the config are used: the fold is no index run, and config.txt
  // keeps the time of the last one, so that the scheduled runs still come.
  IndexConfig config;
  BuildIndex builder(prompter_, config);
  // The pinyin lists go with the generation, so that pinyin words keep their lists after a fold.
  BuildPinyinIndex pinyin(kPinyinFile, kPinyinIndexFoldFile);
  const int built = builder.BuildGeneration(kAllFileFoldFile, kMetaIndexFoldFile,
                                            kIndexDataFoldFile, false, &pinyin);
  if (built != 0) return built == -4 ? -1 : built;
  std::string error;
  if (!Load(&error)) {
    std::fprintf(stderr, "jollix watch: %s\n", error.c_str());
    return -1;
  }
  return 0;
}

}  // namespace jollix
