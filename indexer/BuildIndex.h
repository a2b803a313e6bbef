// The build stage of an index run: turns index/AllFile.dat into posting lists (one per name
// character, one per pair of adjacent single bytes, one per file type), saves them as
// index/MetaIndex.ind and index/IndexData.ind, and stamps config.txt with the time of the run.
//
// A posting is the byte offset of a record's line in index/AllFile.dat. The list numbering and
// the character codes are those of common/IndexLayout.h, which the query engine shares.
//
// The lists are built in two passes, so that memory never holds every posting: the first reads
// the record lines once, keeps each record's lower-cased name and type in a compact table and
// counts the postings of every list; the second walks the table and fills a buffer per list,
// writing a full buffer to its list's place in the postings file. The buffers share buffer_bytes
// in proportion to the lists' lengths (none smaller than a few hundred postings, or its whole
// list); when every list fits, they are the file itself and are written in one piece. The peak
// is the table plus the buffers, however many records there are.
//
// Runs in the installation folder on the indexer's work thread, after the scan. Every failure
// ends the process (see Build); the builder lives until then.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "common/ConfigFile.h"
#include "common/FileRecord.h"
#include "common/IndexLayout.h"
#include "common/Prompter.h"

namespace jollix {

// The extension of a lower-cased file name: the bytes after its last '.', where a '.' as the
// first byte does not count (".profile" has none, "archive." an empty one).
std::string_view NameExtension(std::string_view name);

// Lists of another kind built from the same records and published with the run's files
// (common/IndexGeneration.h): the pinyin lists (indexer/BuildPinyinIndex.h).
class ExtraLists {
 public:
  virtual ~ExtraLists() = default;
  // Every record the build adds, in file order, with its posting.
  virtual void Add(int32_t posting, const FileRecord& record) = 0;
  // Writes the lists for a record file of records_size bytes under a temporary name, once the
  // posting lists are saved. Returns that name, or null when nothing was written (the run goes
  // on without them).
  virtual const char* Write(uint64_t records_size) = 0;
};

class BuildIndex {
 public:
  // Loads index/FileType.txt into the type map; the next type number is one above the largest
  // number read (1 when none is above 0). Ends the process with -5 and the fatal line on
  // standard output when the file cannot be opened. config holds the values read at the start of
  // the run; Build writes them back with the new LastIndexTime.
  BuildIndex(Prompter& prompter, const IndexConfig& config,
             size_t buffer_bytes = kDefaultBufferBytes);

  // Bytes of postings held at once: with the table of a million records (about 30 MiB) the run
  // stays well under 100 MiB; more buffer saves few writes (measured at 200 000 and 1 000 000
  // records: 16 MiB was as fast as holding whole lists, in less memory).
  static constexpr size_t kDefaultBufferBytes = size_t{16} << 20;

  // Reads the record lines (index/AllFile.dat, or the temporary file the scan wrote them to),
  // adds every record, writes the two list files under their temporary names and renames all
  // three into place as one generation (common/IndexGeneration.h), then rewrites config.txt (LF
  // line ends). Returns 0. Ends the process on failure, leaving the previous index files as
  // they were (and removing the temporary ones):
  //   the record lines cannot be opened       fatal line, exit -4
  //   index/MetaIndex.ind cannot be written   fatal line, exit -2
  //   index/IndexData.ind cannot be written   fatal line, exit -3
  //   (or the record lines cannot be renamed into place)
  //   config.txt cannot be written            message box, exit -1
  // extra, when given, is handed every record added and its file is published with the others.
  int Build(const char* records = kAllFileFile, ExtraLists* extra = nullptr);

  // The lists of a generation without ending the process or touching config.txt: reads the
  // record lines at records, writes the two list files at meta_temp and data_temp and publishes
  // all three (common/IndexGeneration.h). Returns 0, -4 when the record lines cannot be opened,
  // -2 or -3 when the directory or the postings (or the renames) fail; on failure the previous
  // generation stays as it was and the files of this one are removed. announce: write the two
  // progress lines of an index run on standard output. extra as for Build.
  int BuildGeneration(const char* records, const char* meta_temp, const char* data_temp,
                      bool announce, ExtraLists* extra = nullptr);

  int RecordCount() const { return record_count_; }
  int NextTypeNumber() const { return next_type_; }
  // The type number that the map holds for an extension, or -1 when it holds none.
  int TypeNumberOf(std::string_view extension) const;

 private:
  class RecordTable;

  void ReadRecords(int fd, RecordTable* table, ExtraLists* extra);
  int TypeOf(std::string_view extension);
  // Writes the lists to the two index files. Returns 0, -2 when the list directory and -3 when
  // the postings cannot be written whole.
  int SaveLists(const RecordTable& table, const char* meta_path, const char* data_path) const;

  Prompter& prompter_;
  IndexConfig config_;
  size_t buffer_bytes_;
  std::map<std::string, int, std::less<>> types_;
  int next_type_ = 1;
  int record_count_ = 0;
  std::unique_ptr<uint32_t[]> counts_;  // postings of each list
};

}  // namespace jollix
