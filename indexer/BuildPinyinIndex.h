// The build of the pinyin lists (desktop/PinyinIndex.h) in an index run: the builder of the
// posting lists hands it every record it adds, in file order, and has it write
// index/PinyinIndex.ind.tmp before the run's files are renamed into place together.
//
// Memory: while the records are read it keeps, per record whose name holds a character with a
// reading, the posting and the name's character codes (two bytes each), a few MiB for a million
// records; the lists are counted and filled only when they are written, after the builder of
// the posting lists has freed its table, so the run's peak does not grow by them.
#pragma once

#include <cstdint>
#include <vector>

#include "common/IndexGeneration.h"
#include "desktop/PinyinMatch.h"
#include "indexer/BuildIndex.h"

namespace jollix {

class BuildPinyinIndex : public ExtraLists {
 public:
  // Loads the reading table (index/Pinyin.dat in the current folder, the installation folder).
  // Without one nothing is built: pinyin searches then examine every record. temp_name: where
  // Write puts the lists (the live index's fold has a name of its own, apart from an index run's).
  explicit BuildPinyinIndex(const char* table = kPinyinFile,
                            const char* temp_name = kPinyinIndexTempFile);

  void Add(int32_t posting, const FileRecord& record) override;
  // Writes the lists at the temporary name. Returns that name, or null (writing a line on standard
  // error, and leaving no file) when there is no table or the file cannot be written.
  const char* Write(uint64_t records_size) override;

 private:
  bool have_table_ = false;
  const char* temp_name_;
  PinyinReadings table_;
  std::vector<uint32_t> postings_;                // the records kept, ascending
  std::vector<uint32_t> ends_;                    // where each record's codes end in codes_
  std::vector<uint16_t> codes_;                   // character codes, 0 where a run ends
  std::vector<uint32_t> letter_after_high_byte_;  // the records of that list
};

}  // namespace jollix
