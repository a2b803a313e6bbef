// Fuzz target for the index loader and the query engine over the three index files:
// libFuzzer calls it when built with JOLLIX_FUZZ, and IndexFilesFuzz_test.cpp feeds it generated
// inputs in every test build. Each input is laid out as the three files in a folder of its own,
// the engine loads them and runs a search by type and searches by name. Besides memory safety
// (AddressSanitizer) and a bounded run, it checks what must hold for any files: an index is
// loaded only when its directory lays out the postings file exactly and its stamps are one
// run's, a search of an unusable index never runs, no search finds more postings than the
// postings file holds, and every row is a record line that starts inside the record file.
//
// Input: byte 0 holds flags; byte 1 the number of directory entries that follow, 12 bytes each
// (list number modulo 71636, start, count: 32-bit little-endian; every other list is empty and
// starts where the one before it ends);
// then 2 bytes, the length of the postings that follow; the rest is index/AllFile.dat.
//   flag 1: lay the lists out as the builder does (each starts where the one before it ends,
//           counts below 64, the postings file as long as their sum, filled from the postings
//           given, repeated), so the damage is in the postings and records, not the directory;
//   flag 2: give the postings file a later stamp than the other two (a mixed set);
//   flag 4: cut the directory file short by the count of the first entry modulo 4096 bytes.
#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "common/FileTypeFile.h"
#include "common/IconList.h"
#include "common/IndexLayout.h"
#include "common/Prompter.h"
#include "common/ResultPage.h"
#include "desktop/SearchServer.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

class SilentPrompter : public jollix::Prompter {
 public:
  jollix::PromptAnswer Ask(const char*, const char*, jollix::PromptButtons) override {
    return jollix::PromptAnswer::kOk;
  }
};

class NoIcons : public jollix::IconList {
 public:
  int AddIconOf(const char*) override { return 0; }
};

class Rows : public jollix::ResultPage {
 public:
  void DeleteAllRows() override { data_.clear(); }
  int InsertRow(int row, const char*, int) override {
    data_.insert(data_.begin() + row, -1);
    return row;
  }
  void SetCell(int, int, const char*) override {}
  std::string Cell(int, int) const override { return ""; }
  int RowCount() const override { return static_cast<int>(data_.size()); }
  void SetRowData(int row, int64_t data) override { data_[row] = data; }
  int64_t RowData(int row) const override { return data_[row]; }

 private:
  std::vector<int64_t> data_;
};

uint32_t Get32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
         static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

void Put32(char* out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out[i] = static_cast<char>(v >> (8 * i));
}

void WriteFile(const char* path, const std::string& content) {
  FILE* f = std::fopen(path, "wb");
  Check(f != nullptr);
  Check(std::fwrite(content.data(), 1, content.size(), f) == content.size());
  Check(std::fclose(f) == 0);
}

void Stamp(const char* path, time_t seconds) {
  const struct timespec times[2] = {{seconds, 0}, {seconds, 0}};
  Check(utimensat(AT_FDCWD, path, times, 0) == 0);
}

char g_folder[] = "/tmp/jollix-index-fuzz-XXXXXX";

void RemoveFolder() {
  const std::string folder = g_folder;
  for (const char* name : {jollix::kMetaIndexFile, jollix::kIndexDataFile, jollix::kAllFileFile,
                           "index/FileType.txt", "index"}) {
    std::remove((folder + "/" + name).c_str());
  }
  rmdir(g_folder);
}

// The folder the files are laid out in, made once per process and removed at its end.
const char* Folder() {
  static const bool made = [] {
    Check(mkdtemp(g_folder) != nullptr);
    std::atexit(RemoveFolder);
    const std::string index = std::string(g_folder) + "/index";
    Check(mkdir(index.c_str(), 0700) == 0);
    WriteFile((index + "/FileType.txt").c_str(),
              "txt\t1\t1\ttext\r\ndoc\t2\t1\tdocument\r\njpg\t3\t2\tpicture\r\n");
    return true;
  }();
  Check(made);
  return g_folder;
}

struct Files {
  std::string Meta, Data, Records;
  bool Mixed = false;
};

Files LayOut(const uint8_t* data, size_t size) {
  Files files;
  if (size < 2) return files;
  const uint8_t flags = data[0];
  size_t entries = data[1];
  size_t at = 2;
  entries = std::min(entries, (size - at) / 12);
  std::vector<uint32_t> start(jollix::kListCount, 0), count(jollix::kListCount, 0);
  std::vector<bool> given(jollix::kListCount, false);
  for (size_t i = 0; i < entries; ++i, at += 12) {
    const uint32_t list = Get32(data + at) % jollix::kListCount;
    start[list] = Get32(data + at + 4);
    count[list] = Get32(data + at + 8);
    given[list] = true;
  }
  // An empty list that the input does not name starts where the list before it ends, as the
  // builder writes it.
  for (int n = 1; n < jollix::kListCount; ++n) {
    if (!given[n]) start[n] = start[n - 1] + 4 * count[n - 1];
  }
  size_t postings_size = 0;
  if (at + 2 <= size) {
    postings_size = std::min<size_t>(data[at] | data[at + 1] << 8, size - at - 2);
    at += 2;
  }
  const std::string postings(reinterpret_cast<const char*>(data + at), postings_size);
  at += postings_size;
  files.Records.assign(reinterpret_cast<const char*>(data + at), size - at);

  if (flags & 1) {
    uint32_t end = 0;
    for (int n = 0; n < jollix::kListCount; ++n) {
      count[n] %= 64;
      start[n] = end;
      end += 4 * count[n];
    }
    files.Data.assign(end, '\0');
    for (uint32_t i = 0; i < end && !postings.empty(); ++i) {
      files.Data[i] = postings[i % postings.size()];
    }
  } else {
    files.Data = postings;
  }
  files.Meta.assign(size_t{8} * jollix::kListCount, '\0');
  for (int n = 0; n < jollix::kListCount; ++n) {
    if (start[n] == 0 && count[n] == 0) continue;
    Put32(&files.Meta[size_t{8} * n], start[n]);
    Put32(&files.Meta[size_t{8} * n + 4], count[n]);
  }
  if ((flags & 4) && entries > 0) {
    files.Meta.resize(files.Meta.size() - Get32(data + 10) % 4096);
  }
  files.Mixed = (flags & 2) != 0;
  return files;
}

// Whether the directory lays out the postings file as the builder writes it and the stamps are
// one run's: a plain statement of an undamaged set, which the engine's verdict is held to.
bool Undamaged(const Files& files) {
  if (files.Mixed || files.Meta.size() != size_t{8} * jollix::kListCount) return false;
  const auto* meta = reinterpret_cast<const uint8_t*>(files.Meta.data());
  uint64_t end = 0;
  for (int n = 0; n < jollix::kListCount; ++n) {
    if (Get32(meta + 8 * n) != end) return false;
    end += uint64_t{4} * Get32(meta + 8 * n + 4);
    if (end > files.Data.size()) return false;
  }
  return end == files.Data.size();
}

// Runs one search and checks what must hold for any index.
void SearchAndCheck(jollix::SearchServer& engine, const Files& files) {
  Rows rows;
  const bool unavailable = engine.IndexUnavailable();
  if (!unavailable) {
    bool damaged = false;
    Check(engine.FindCandidates(&damaged).size() <= files.Data.size() / 4);
  }
  const int result = engine.Search(rows);
  if (unavailable) {
    Check(result == -1 && rows.RowCount() == 0);
    return;
  }
  Check(result == 0 || result == -1);
  if (result == -1) Check(engine.IndexUnavailable() && engine.IndexDamaged());
  for (int r = 0; r < rows.RowCount(); ++r) {
    const int64_t at = rows.RowData(r);
    if (at < 0) continue;  // the no-result row
    Check(static_cast<uint64_t>(at) < files.Records.size());
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const Files files = LayOut(data, size);
  if (files.Meta.empty()) return 0;
  const int here = open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  Check(here >= 0 && chdir(Folder()) == 0);
  WriteFile(jollix::kMetaIndexFile, files.Meta);
  WriteFile(jollix::kIndexDataFile, files.Data);
  WriteFile(jollix::kAllFileFile, files.Records);
  const time_t stamp = 1170000000;
  Stamp(jollix::kMetaIndexFile, stamp);
  Stamp(jollix::kIndexDataFile, files.Mixed ? stamp + 1 : stamp);
  Stamp(jollix::kAllFileFile, stamp);
  {
    SilentPrompter prompter;
    NoIcons icons;
    jollix::SearchServer engine(prompter, icons);
    if (!engine.IndexUnavailable()) Check(Undamaged(files));
    engine.Query.Class = jollix::kTextClass;  // every text type list, whole
    SearchAndCheck(engine, files);
    for (const char* words : {"a", ".txt", "tmp", "\xB1\xA8"}) {
      engine.Query = jollix::QueryRecord();
      engine.Query.NameWords = words;
      SearchAndCheck(engine, files);
    }
  }
  Check(fchdir(here) == 0);
  close(here);
  return 0;
}
