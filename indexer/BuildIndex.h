// The build stage of an index run: turns index/AllFile.dat into posting lists (one per name
// character, one per pair of adjacent single bytes, one per file type), saves them as
// index/MetaIndex.ind and index/IndexData.ind, and stamps config.txt with the time of the run.
//
// A posting is the byte offset of a record's line in index/AllFile.dat. The list numbering and
// the character codes are those of common/IndexLayout.h, which the query engine shares.
//
// Runs in the installation folder on the indexer's work thread, after the scan. Every failure
// ends the process (see Build); the builder lives until then.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "common/ConfigFile.h"
#include "common/IndexLayout.h"
#include "common/Prompter.h"

namespace jollix {

// The postings of one list, ascending and without repeats, since records are added in file
// order and each at most once. Grows by half its capacity (at least to the size needed): most of
// the 71636 lists stay empty or short, so a list costs little more than its postings.
class PostingList {
 public:
  PostingList() = default;
  ~PostingList() { std::free(data_); }
  PostingList(const PostingList&) = delete;
  PostingList& operator=(const PostingList&) = delete;

  // Appends the posting unless it is already the last one: a record whose name holds a
  // character twice is posted once, with no search beyond the last element.
  void AddOnce(int32_t posting) {
    if (size_ > 0 && data_[size_ - 1] == posting) return;
    if (size_ == capacity_) Grow();
    data_[size_++] = posting;
  }

  uint32_t size() const { return size_; }
  uint32_t capacity() const { return capacity_; }
  const int32_t* data() const { return data_; }

 private:
  void Grow();  // ends the process when memory runs out

  int32_t* data_ = nullptr;
  uint32_t size_ = 0;
  uint32_t capacity_ = 0;
};

// The extension of a lower-cased file name: the bytes after its last '.', where a '.' as the
// first byte does not count (".profile" has none, "archive." an empty one).
std::string_view NameExtension(std::string_view name);

class BuildIndex {
 public:
  // Loads index/FileType.txt into the type map; the next type number is one above the largest
  // number read (1 when none is above 0). Ends the process with -5 and the fatal line on
  // standard output when the file cannot be opened. config holds the values read at the start of
  // the run; Build writes them back with the new LastIndexTime.
  BuildIndex(Prompter& prompter, const IndexConfig& config);

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
  int Build(const char* records = kAllFileFile);

  // Adds the record of one line of index/AllFile.dat (line end optional) under the posting.
  // Returns false, adding nothing, for a line that is not a folder or file record ('X'
  // withdrawn records included) or whose size field does not read.
  bool AddLine(std::string_view line, int32_t posting);

  // Adds a record under the posting: the character and pair lists of its lower-cased name and
  // the type list of its extension (always the empty one for a folder).
  void AddRecord(char kind, std::string_view name, int32_t posting);

  // Writes the lists to the two index files. Returns 0, -2 when the list directory and -3 when
  // the postings cannot be written whole.
  int SaveLists(const char* meta_path, const char* data_path) const;

  const PostingList& List(int number) const { return lists_[number]; }
  int RecordCount() const { return record_count_; }
  int NextTypeNumber() const { return next_type_; }
  // The type number that the map holds for an extension, or -1 when it holds none.
  int TypeNumberOf(std::string_view extension) const;

 private:
  void ReadRecords(int fd);
  int TypeListOf(std::string_view extension);

  Prompter& prompter_;
  IndexConfig config_;
  std::map<std::string, int, std::less<>> types_;
  int next_type_ = 1;
  int record_count_ = 0;
  std::unique_ptr<PostingList[]> lists_;
};

}  // namespace jollix
