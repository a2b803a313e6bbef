#include "indexer/BuildPinyinIndex.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

#include "common/IndexGeneration.h"
#include "common/TextFile.h"
#include "desktop/PinyinIndex.h"

namespace jollix {
namespace {

void PutUint32(uint32_t value, unsigned char* out) {
  for (int i = 0; i < 4; ++i) out[i] = static_cast<unsigned char>(value >> (8 * i));
}

void PutUint64(uint64_t value, unsigned char* out) {
  PutUint32(static_cast<uint32_t>(value), out);
  PutUint32(static_cast<uint32_t>(value >> 32), out + 4);
}

uint32_t ToLittleEndian(uint32_t v) {
  if constexpr (std::endian::native == std::endian::big) return __builtin_bswap32(v);
  return v;
}

bool HasDoubleByte(std::string_view name) {
  return std::any_of(name.begin(), name.end(), [](char c) { return (c & 0x80) != 0; });
}

}  // namespace

BuildPinyinIndex::BuildPinyinIndex(const char* table, const char* temp_name)
    : temp_name_(temp_name) {
  have_table_ = table_.Load(table);
}

void BuildPinyinIndex::Add(int32_t posting, const FileRecord& record) {
  if (!have_table_ || !HasDoubleByte(record.Name)) return;
  if (HasLetterAfterHighByte(record.Name)) {
    letter_after_high_byte_.push_back(static_cast<uint32_t>(posting));
  }
  bool any = false;
  const size_t first = codes_.size();
  for (int code : PinyinCharacterCodes(record.Name)) {
    const bool spelled = code > 0 && !table_.Of(code).empty();
    any = any || spelled;
    // One 0 between runs is enough.
    if (spelled || (codes_.size() > first && codes_.back() != 0)) {
      codes_.push_back(static_cast<uint16_t>(spelled ? code : 0));
    }
  }
  if (!any) {
    codes_.resize(first);
    return;
  }
  postings_.push_back(static_cast<uint32_t>(posting));
  ends_.push_back(static_cast<uint32_t>(codes_.size()));
}

const char* BuildPinyinIndex::Write(uint64_t records_size) {
  if (!have_table_) {
    std::fprintf(stderr,
                 "JollixIndexer: index/Pinyin.dat cannot be read; pinyin searches will examine "
                 "every record (reinstall the program's data files to mend it)\n");
    return nullptr;
  }
  // Counted first, then filled into one array in list order: the records ascend, so does each
  // list.
  std::vector<uint32_t> counts(kPinyinListCount, 0);
  std::vector<int> lists, codes;
  PinyinListMaker maker(table_);
  auto for_each_record = [&](auto&& visit) {
    uint32_t begin = 0;
    for (size_t r = 0; r < postings_.size(); ++r) {
      codes.assign(codes_.begin() + begin, codes_.begin() + ends_[r]);
      begin = ends_[r];
      maker.ListsOf(codes, &lists);
      for (int list : lists) visit(list, postings_[r]);
    }
  };
  for_each_record([&](int list, uint32_t) { ++counts[list]; });
  counts[kLetterAfterHighByteList] = static_cast<uint32_t>(letter_after_high_byte_.size());
  std::vector<uint64_t> at(kPinyinListCount + 1, 0);
  for (int i = 0; i < kPinyinListCount; ++i) at[i + 1] = at[i] + counts[i];
  std::unique_ptr<uint32_t[]> postings(new (std::nothrow) uint32_t[at.back() + 1]);
  if (!postings) {
    std::fprintf(stderr,
                 "JollixIndexer: no memory for the pinyin lists; pinyin searches will "
                 "examine every record\n");
    return nullptr;
  }
  std::vector<uint64_t> filled(at.begin(), at.end() - 1);
  for_each_record(
      [&](int list, uint32_t posting) { postings[filled[list]++] = ToLittleEndian(posting); });
  for (uint32_t posting : letter_after_high_byte_) {
    postings[filled[kLetterAfterHighByteList]++] = ToLittleEndian(posting);
  }

  const uint64_t data_start = kPinyinHeaderBytes + uint64_t{kPinyinEntryBytes} * kPinyinListCount;
  std::vector<unsigned char> head(data_start, 0);
  std::memcpy(head.data(), kPinyinIndexMagic, 8);
  PutUint32(kPinyinListCount, &head[8]);
  PutUint64(records_size, &head[16]);
  PutUint64(table_.Fingerprint(), &head[24]);
  for (int i = 0; i < kPinyinListCount; ++i) {
    unsigned char* entry = &head[kPinyinHeaderBytes + size_t{kPinyinEntryBytes} * i];
    const uint64_t start = data_start + at[i] * 4;
    PutUint64(start, entry);
    PutUint32(counts[i], entry + 8);
    PutUint32(PinyinListCheck(i, start, counts[i], postings.get() + at[i]), entry + 12);
  }
  const int fd = open(temp_name_, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  bool ok = fd >= 0 && WriteAll(fd, head.data(), head.size()) &&
            WriteAll(fd, postings.get(), at.back() * 4);
  if (fd >= 0) ok = close(fd) == 0 && ok;
  if (!ok) {
    std::remove(temp_name_);
    std::fprintf(stderr,
                 "JollixIndexer: %s cannot be written; pinyin searches will examine "
                 "every record\n",
                 temp_name_);
    return nullptr;
  }
  return temp_name_;
}

}  // namespace jollix
