// The rows of one result page, packed for pages of half a million rows.
//
// A row is a small fixed slot (where its texts are, its icon index, its row data) and one record
// in a block of text: the number of its columns, the end of each column's text, then the texts
// back to back. No row owns a heap block of its own, so a row costs a few dozen bytes beside its
// texts, and reading a cell is a pointer and two numbers. The desktop search fills each row right
// after inserting it; the last record written grows in place, so filling a row copies only that
// row. A record rewritten elsewhere leaves its old bytes unused until the blocks are compacted.
//
// Not thread-safe: the owner locks. A string_view handed out stays valid until the next change.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace jollix {

class ResultRows {
 public:
  int Count() const { return static_cast<int>(slots_.size()); }
  // Removes every row and gives back their memory.
  void Clear();
  // Inserts a row at index row (0..Count()) with the text of column 0 and the icon index image.
  void Insert(int row, std::string_view text, int image);
  // Sets a column's text of an existing row; a row grows to the columns it is given.
  void SetCell(int row, int column, std::string_view text);
  void SetData(int row, int64_t data) { slots_[row].data = data; }

  // Readers of an existing row. A column the row has no text in reads as empty.
  std::string_view Cell(int row, int column) const;
  int Image(int row) const { return slots_[row].image; }
  int64_t Data(int row) const { return slots_[row].data; }

  // Orders order (indices of rows) by the texts of column, descending when flag is 1, keeping
  // the relative order of rows with equal texts: the order of SortRowOrder (ResultSort.h).
  void SortOrder(int column, int flag, std::vector<int>* order) const;

 private:
  struct Slot {
    uint32_t block = 0;  // index into blocks_
    uint32_t at = 0;     // offset of the record in its block
    int64_t data = -1;
    int32_t image = -1;
  };
  struct Block {
    std::unique_ptr<char[]> bytes;
    uint32_t size = 0;
    uint32_t used = 0;
  };

  // Writes the record in record_ for slot, in place when it is the last record written and
  // fits, else at the end of the blocks.
  void Store(Slot& slot, size_t old_size);
  size_t RecordSize(const Slot& slot) const;
  const char* Record(const Slot& slot) const { return blocks_[slot.block].bytes.get() + slot.at; }
  // Builds in record_ the record of slot with column's text replaced by text.
  void BuildRecord(const Slot* slot, int column, std::string_view text);
  // Rewrites every record into fresh blocks, dropping the bytes no record uses.
  void Compact();

  std::vector<Slot> slots_;
  std::vector<Block> blocks_;
  size_t unused_ = 0;        // bytes of records that were rewritten elsewhere
  size_t stored_ = 0;        // bytes of all records written
  int64_t last_block_ = -1;  // where the last record written starts
  uint32_t last_at_ = 0;
  std::string record_;  // scratch for building a record, kept to avoid an allocation per row
};

}  // namespace jollix
