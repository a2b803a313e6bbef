#include "results/ResultRows.h"

#include <algorithm>
#include <cstring>

namespace jollix {
namespace {

// Blocks start small (a page of a few web results stays small) and double up to a limit, so a
// large page wastes at most the unused end of its last block.
constexpr uint32_t kFirstBlock = 4096;
constexpr uint32_t kLargestBlock = 1u << 20;

uint32_t Read32(const char* at) {
  uint32_t value;
  std::memcpy(&value, at, sizeof value);
  return value;
}

uint16_t Read16(const char* at) {
  uint16_t value;
  std::memcpy(&value, at, sizeof value);
  return value;
}

template <typename T>
void Append(std::string* out, T value) {
  out->append(reinterpret_cast<const char*>(&value), sizeof value);
}

// A record: uint16 column count n, n uint32 ends of the column texts, the texts.
constexpr size_t TextsAt(uint16_t columns) { return sizeof(uint16_t) + 4u * columns; }
uint16_t Columns(const char* record) { return Read16(record); }
// Where the text of column ends (column < Columns), from the start of the texts.
uint32_t End(const char* record, int column) {
  return Read32(record + sizeof(uint16_t) + 4u * column);
}
std::string_view Text(const char* record, int column) {
  const uint32_t begin = column == 0 ? 0 : End(record, column - 1);
  return {record + TextsAt(Columns(record)) + begin, End(record, column) - begin};
}
size_t Size(const char* record) {
  const uint16_t columns = Columns(record);
  return TextsAt(columns) + (columns ? End(record, columns - 1) : 0);
}

// A sort key: the 8 bytes of a text from depth on, as a big-endian number padded with zero
// bytes, so that comparing the numbers compares the bytes as unsigned values and a text that
// ends sorts before every longer one (the texts hold no zero byte: they arrive as C strings).
struct SortKey {
  uint64_t prefix;
  uint32_t row;
  uint32_t pos;  // position before the sort, for stability; kMore set when the text goes on
};
constexpr uint32_t kMore = 1u << 31;

SortKey MakeKey(std::string_view text, size_t depth, int row, uint32_t pos) {
  uint64_t prefix = 0;
  for (size_t i = 0; i < 8; ++i) {
    const size_t at = depth + i;
    prefix = prefix << 8 | (at < text.size() ? static_cast<unsigned char>(text[at]) : 0u);
  }
  return {prefix, static_cast<uint32_t>(row), pos | (text.size() > depth + 8 ? kMore : 0u)};
}

}  // namespace

void ResultRows::Clear() {
  std::vector<Slot>().swap(slots_);
  std::vector<Block>().swap(blocks_);
  unused_ = stored_ = 0;
  last_block_ = -1;
  std::string().swap(record_);
}

void ResultRows::Insert(int row, std::string_view text, int image) {
  Slot slot;
  slot.image = image;
  BuildRecord(nullptr, 0, text);
  Store(slot, 0);
  slots_.insert(slots_.begin() + row, slot);
}

void ResultRows::SetCell(int row, int column, std::string_view text) {
  Slot& slot = slots_[row];
  const size_t old_size = RecordSize(slot);
  BuildRecord(&slot, column, text);
  Store(slot, old_size);
  if (unused_ > kLargestBlock && unused_ > stored_ / 2) Compact();
}

std::string_view ResultRows::Cell(int row, int column) const {
  const char* record = Record(slots_[row]);
  if (column < 0 || column >= Columns(record)) return {};
  return Text(record, column);
}

size_t ResultRows::RecordSize(const Slot& slot) const { return Size(Record(slot)); }

void ResultRows::BuildRecord(const Slot* slot, int column, std::string_view text) {
  const char* old = slot ? Record(*slot) : nullptr;
  const uint16_t old_columns = old ? Columns(old) : 0;
  const uint16_t columns = std::max<int>(old_columns, column + 1);
  auto cell = [&](int c) -> std::string_view {
    if (c == column) return text;
    return c < old_columns ? Text(old, c) : std::string_view();
  };
  record_.clear();
  Append(&record_, columns);
  uint32_t end = 0;
  for (int c = 0; c < columns; ++c) Append(&record_, end += static_cast<uint32_t>(cell(c).size()));
  for (int c = 0; c < columns; ++c) record_.append(cell(c));
}

void ResultRows::Store(Slot& slot, size_t old_size) {
  const uint32_t size = static_cast<uint32_t>(record_.size());
  if (old_size > 0 && slot.block == last_block_ && slot.at == last_at_) {
    Block& block = blocks_[slot.block];
    if (slot.at + size <= block.size) {  // the row being filled grows where it stands
      std::memcpy(block.bytes.get() + slot.at, record_.data(), size);
      stored_ += size - std::min<size_t>(size, old_size);
      block.used = slot.at + size;
      return;
    }
  }
  unused_ += old_size;
  if (blocks_.empty() || blocks_.back().used + size > blocks_.back().size) {
    const uint32_t last = blocks_.empty() ? kFirstBlock / 2 : blocks_.back().size;
    Block block;
    block.size = std::max(size, std::min(last * 2, kLargestBlock));
    block.bytes = std::make_unique_for_overwrite<char[]>(block.size);
    blocks_.push_back(std::move(block));
  }
  Block& block = blocks_.back();
  slot.block = static_cast<uint32_t>(blocks_.size() - 1);
  slot.at = block.used;
  std::memcpy(block.bytes.get() + slot.at, record_.data(), size);
  block.used += size;
  stored_ += size;
  last_block_ = slot.block;
  last_at_ = slot.at;
}

void ResultRows::Compact() {
  std::vector<Block> old = std::move(blocks_);
  blocks_.clear();
  unused_ = stored_ = 0;
  for (Slot& slot : slots_) {
    const Block& from = old[slot.block];
    const char* record = from.bytes.get() + slot.at;
    record_.assign(record, Size(record));
    Store(slot, 0);
  }
}

void ResultRows::SortOrder(int column, int flag, std::vector<int>* order) const {
  // The keys are read in the order the rows are stored, not the order shown: the texts lie in
  // that order, so reading them goes through memory once instead of jumping for every row.
  std::vector<uint32_t> pos_of(slots_.size());
  for (size_t i = 0; i < order->size(); ++i) pos_of[(*order)[i]] = static_cast<uint32_t>(i);
  std::vector<SortKey> keys;
  keys.reserve(order->size());
  for (size_t row = 0; row < slots_.size(); ++row) {
    keys.push_back(
        MakeKey(Cell(static_cast<int>(row), column), 0, static_cast<int>(row), pos_of[row]));
  }
  std::vector<uint32_t>().swap(pos_of);
  // Sorts keys by their 8 bytes at depth, then each run of equal bytes whose texts go on by the
  // next 8 bytes: each text is read once per depth, not once per comparison.
  auto sort = [&](auto& self, SortKey* first, SortKey* last, size_t depth) -> void {
    std::sort(first, last, [flag](const SortKey& a, const SortKey& b) {
      if (a.prefix != b.prefix) return flag == 1 ? a.prefix > b.prefix : a.prefix < b.prefix;
      return (a.pos & ~kMore) < (b.pos & ~kMore);
    });
    for (SortKey* run = first; run != last;) {
      SortKey* end = run + 1;
      bool more = run->pos & kMore;
      while (end != last && end->prefix == run->prefix) more |= (end++)->pos & kMore;
      if (more && end - run > 1) {
        // A long run (a column of shared beginnings, such as folders) is read in stored order.
        if (end - run > 4096) {
          std::sort(run, end, [](const SortKey& a, const SortKey& b) { return a.row < b.row; });
        }
        for (SortKey* k = run; k != end; ++k) {
          *k = MakeKey(Cell(static_cast<int>(k->row), column), depth + 8, static_cast<int>(k->row),
                       k->pos & ~kMore);
        }
        self(self, run, end, depth + 8);
      }
      run = end;
    }
  };
  sort(sort, keys.data(), keys.data() + keys.size(), 0);
  for (size_t i = 0; i < keys.size(); ++i) (*order)[i] = static_cast<int>(keys[i].row);
}

}  // namespace jollix
