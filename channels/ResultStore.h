// The records of one web search: a growable array of fixed-size result records.
//
// A parser fills one record in a zeroed work block and appends a copy with Add; the search
// action then reads the records back in order with Next. The block grows by a fixed rule: 50
// records at the first Add, and doubled whenever only one free slot is left, so a page of 100
// results (the most any engine is asked for) grows the block at most twice and the last slot is
// never filled before the block grows.
//
// Not thread-safe: a store belongs to one search action on one thread.
#pragma once

#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <type_traits>

namespace jollix {

template <class Record>
class ResultStore {
  static_assert(std::is_trivially_copyable_v<Record>, "records are copied as flat blocks");

 public:
  static constexpr int kFirstCapacity = 50;

  ResultStore() = default;
  ~ResultStore() { std::free(items_); }
  ResultStore(const ResultStore&) = delete;
  ResultStore& operator=(const ResultStore&) = delete;

  // Releases the block; the store is empty again.
  void Clear() {
    std::free(items_);
    items_ = nullptr;
    count_ = cursor_ = capacity_ = 0;
  }

  // Appends a copy of record. Returns 0, or -1 when the block cannot grow (the record is not
  // added; the records appended so far stay).
  int Add(const Record& record) {
    if (capacity_ == 0) {
      if (!Resize(kFirstCapacity)) return -1;
    } else if (capacity_ == count_ + 1) {
      if (capacity_ > INT_MAX / 2 || !Resize(capacity_ * 2)) return -1;
    }
    std::memcpy(&items_[count_], &record, sizeof(Record));
    ++count_;
    return 0;
  }

  int Count() const { return count_; }
  int Capacity() const { return capacity_; }

  // The record at the cursor, which then moves on; null once every record has been read. The
  // caller may change the record in place (the document and music rows lower-case a field).
  Record* Next() {
    if (cursor_ >= count_) return nullptr;
    return &items_[cursor_++];
  }

 private:
  bool Resize(int capacity) {
    if (static_cast<size_t>(capacity) > SIZE_MAX / sizeof(Record)) return false;
    void* block = std::realloc(items_, sizeof(Record) * capacity);
    if (!block) return false;
    items_ = static_cast<Record*>(block);
    capacity_ = capacity;
    return true;
  }

  Record* items_ = nullptr;
  int count_ = 0;
  int cursor_ = 0;
  int capacity_ = 0;
};

}  // namespace jollix
