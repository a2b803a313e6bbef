#include "desktop/PinyinIndex.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <bit>
#include <cstring>
#include <iterator>
#include <map>
#include <utility>

#include "common/IndexGeneration.h"
#include "common/IndexLayout.h"
#include "common/TextFile.h"

namespace jollix {
namespace {

constexpr int kInitialListBase = kInitialPairLists;
constexpr int kReadingListBase = kInitialListBase + kInitialLists;
constexpr int kReadingPairListBase = kReadingListBase + kReadingLists;

uint32_t Letter(char c) { return static_cast<uint32_t>(static_cast<unsigned char>(c) - 'a') % 26; }

// FNV-1a, 32 bits.
uint32_t HashBytes(uint32_t h, std::string_view bytes) {
  for (unsigned char c : bytes) h = (h ^ c) * 16777619u;
  return h;
}
constexpr uint32_t kHashStart = 2166136261u;

uint32_t Uint32At(const unsigned char* p) {
  return p[0] | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}
uint64_t Uint64At(const unsigned char* p) { return Uint32At(p) | uint64_t{Uint32At(p + 4)} << 32; }

uint32_t FromLittleEndian(uint32_t v) {
  if constexpr (std::endian::native == std::endian::big) return __builtin_bswap32(v);
  return v;
}

std::vector<uint32_t> Intersect(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b) {
  std::vector<uint32_t> out;
  std::set_intersection(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(out));
  return out;
}

void UniteInto(std::vector<uint32_t>* into, const std::vector<uint32_t>& more) {
  if (into->empty()) {
    *into = more;
    return;
  }
  std::vector<uint32_t> out;
  out.reserve(into->size() + more.size());
  std::set_union(into->begin(), into->end(), more.begin(), more.end(), std::back_inserter(out));
  into->swap(out);
}

}  // namespace

uint32_t ReadingKey(std::string_view reading) { return HashBytes(kHashStart, reading); }

int InitialPairList(char first, char second) {
  return static_cast<int>(Letter(first) * 26 + Letter(second));
}

int InitialList(char letter) { return kInitialListBase + static_cast<int>(Letter(letter)); }

int ReadingList(uint32_t key) { return kReadingListBase + static_cast<int>(key % kReadingLists); }

int ReadingPairList(uint32_t first_key, uint32_t second_key) {
  const uint32_t mixed = (first_key * 0x9E3779B1u) ^ second_key;
  return kReadingPairListBase + static_cast<int>((mixed ^ (mixed >> 16)) % kReadingPairLists);
}

bool HasLetterAfterHighByte(std::string_view name) {
  // The index's own walk: a byte of 0x80 or above takes the next byte with it.
  for (size_t i = 0; i + 1 < name.size(); ++i) {
    if (!(name[i] & 0x80)) continue;
    const char next = static_cast<char>(LowerByte(static_cast<unsigned char>(name[i + 1])));
    if (next >= 'a' && next <= 'z') return true;
    ++i;
  }
  return false;
}

PinyinListMaker::PinyinListMaker(const PinyinReadings& table)
    : table_(table), spellings_(65536), last_(kPinyinListCount, 0) {}

const PinyinListMaker::Spelling& PinyinListMaker::Of(int code) {
  static const Spelling kNone;
  if (code <= 0 || code >= 65536) return kNone;
  Spelling& s = spellings_[code];
  if (s.Known) return s;
  s.Known = true;
  for (std::string_view rest = table_.Of(code); !rest.empty();) {
    const size_t blank = rest.find(' ');
    const std::string_view reading = rest.substr(0, blank);
    rest = blank == std::string_view::npos ? std::string_view() : rest.substr(blank + 1);
    if (std::find(s.Initials.begin(), s.Initials.end(), reading[0]) == s.Initials.end()) {
      s.Initials.push_back(reading[0]);
    }
    if (reading.size() >= 2) s.Keys.push_back(ReadingKey(reading));
  }
  return s;
}

void PinyinListMaker::ListsOf(const std::vector<int>& codes, std::vector<int>* lists) {
  lists->clear();
  if (++name_ == 0) {  // the stamps wrapped around
    std::fill(last_.begin(), last_.end(), 0);
    name_ = 1;
  }
  auto add = [&](int list) {
    if (last_[list] == name_) return;
    last_[list] = name_;
    lists->push_back(list);
  };
  const Spelling* previous = &Of(0);
  for (int code : codes) {
    const Spelling& current = Of(code);
    for (char i : current.Initials) add(InitialList(i));
    for (uint32_t k : current.Keys) add(ReadingList(k));
    for (char a : previous->Initials) {
      for (char b : current.Initials) add(InitialPairList(a, b));
    }
    for (uint32_t a : previous->Keys) {
      for (uint32_t b : current.Keys) add(ReadingPairList(a, b));
    }
    previous = &current;
  }
}

uint32_t PinyinListCheck(int number, uint64_t start, uint32_t count, const uint32_t* postings) {
  unsigned char head[16];
  for (int k = 0; k < 4; ++k)
    head[k] = static_cast<unsigned char>(static_cast<uint32_t>(number) >> (8 * k));
  for (int k = 0; k < 8; ++k) head[4 + k] = static_cast<unsigned char>(start >> (8 * k));
  for (int k = 0; k < 4; ++k) head[12 + k] = static_cast<unsigned char>(count >> (8 * k));
  uint32_t h = HashBytes(kHashStart, std::string_view(reinterpret_cast<const char*>(head), 16));
  // The postings word by word: the lists can be long, and this runs at every read.
  uint64_t mix = h;
  for (uint32_t i = 0; i < count; ++i) {
    mix = (mix ^ postings[i]) * 0x100000001b3ull;
  }
  return static_cast<uint32_t>(mix ^ (mix >> 32));
}

PinyinIndex::~PinyinIndex() { Close(); }

void PinyinIndex::Close() {
  if (fd_ >= 0) close(fd_);
  fd_ = -1;
  table_ = nullptr;
}

bool PinyinIndex::Open(int postings_fd, uint64_t records_size, const PinyinReadings& table) {
  Close();
  const int fd = open(kPinyinIndexFile, O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat own, data;
  unsigned char header[kPinyinHeaderBytes];
  const bool fits =
      fstat(fd, &own) == 0 && fstat(postings_fd, &data) == 0 && IsSameGeneration(own, data) &&
      ReadAt(fd, header, sizeof header, 0) == static_cast<ssize_t>(sizeof header) &&
      std::memcmp(header, kPinyinIndexMagic, 8) == 0 &&
      Uint32At(header + 8) == static_cast<uint32_t>(kPinyinListCount) &&
      Uint64At(header + 16) == records_size && Uint64At(header + 24) == table.Fingerprint() &&
      static_cast<uint64_t>(own.st_size) >=
          kPinyinHeaderBytes + uint64_t{kPinyinEntryBytes} * kPinyinListCount;
  if (!fits) {
    close(fd);
    return false;
  }
  fd_ = fd;
  file_size_ = static_cast<uint64_t>(own.st_size);
  records_size_ = records_size;
  table_ = &table;
  return true;
}

bool PinyinIndex::ReadList(int number, std::vector<uint32_t>* postings) const {
  if (fd_ < 0 || number < 0 || number >= kPinyinListCount) return false;
  unsigned char entry[kPinyinEntryBytes];
  const uint64_t at = kPinyinHeaderBytes + uint64_t{kPinyinEntryBytes} * number;
  if (ReadAt(fd_, entry, sizeof entry, at) != static_cast<ssize_t>(sizeof entry)) return false;
  const uint64_t start = Uint64At(entry);
  const uint32_t count = Uint32At(entry + 8);
  const uint64_t directory_end =
      kPinyinHeaderBytes + uint64_t{kPinyinEntryBytes} * kPinyinListCount;
  // The list lies inside the file: the allocation is bounded by the file's size.
  if (start < directory_end || start > file_size_ || (file_size_ - start) / 4 < count) {
    return false;
  }
  const size_t old = postings->size();
  postings->resize(old + count);
  uint32_t* list = postings->data() + old;
  bool sound =
      ReadAt(fd_, list, uint64_t{4} * count, start) == static_cast<ssize_t>(uint64_t{4} * count);
  sound = sound && PinyinListCheck(number, start, count, list) == Uint32At(entry + 12);
  for (uint32_t i = 0; sound && i < count; ++i) {
    list[i] = FromLittleEndian(list[i]);
    sound = list[i] < records_size_ && (i == 0 || list[i] > list[i - 1]);
  }
  if (!sound) postings->resize(old);
  return sound;
}

// The ways the word splits, walked piece by piece: reach[{i, j}] holds the records that may
// hold a run spelling the word's first j letters whose last character spells letters i..j-1.
bool PinyinIndex::Candidates(std::string_view word, std::vector<uint32_t>* records) const {
  records->clear();
  if (fd_ < 0 || word.empty()) return false;
  const size_t n = word.size();
  const size_t longest = std::max<size_t>(table_->LongestReading(), 1);
  auto piece = [&](size_t i, size_t j) {
    return j - i == 1 || table_->IsReading(word.substr(i, j - i));
  };
  std::map<int, std::vector<uint32_t>> read;  // each list read once per word
  auto list = [&](int number) -> const std::vector<uint32_t>* {
    auto it = read.find(number);
    if (it != read.end()) return &it->second;
    std::vector<uint32_t> postings;
    if (!ReadList(number, &postings)) return nullptr;
    return &read.emplace(number, std::move(postings)).first->second;
  };

  std::vector<uint32_t> found;
  const std::vector<uint32_t>* out_of_step = list(kLetterAfterHighByteList);
  if (!out_of_step) return false;
  found = *out_of_step;
  if (piece(0, n)) {
    const std::vector<uint32_t>* one =
        list(n == 1 ? InitialList(word[0]) : ReadingList(ReadingKey(word)));
    if (!one) return false;
    UniteInto(&found, *one);
  }
  std::map<std::pair<size_t, size_t>, std::vector<uint32_t>> reach;
  for (size_t j = 1; j < n; ++j) {
    for (size_t i = j > longest ? j - longest : 0; i < j; ++i) {
      auto before = reach.find({i, j});
      if (!piece(i, j) || (i > 0 && before == reach.end())) continue;
      for (size_t m = j + 1; m <= std::min(n, j + longest); ++m) {
        if (!piece(j, m)) continue;
        const bool readings = j - i >= 2 && m - j >= 2;
        const std::vector<uint32_t>* pair =
            list(readings ? ReadingPairList(ReadingKey(word.substr(i, j - i)),
                                            ReadingKey(word.substr(j, m - j)))
                          : InitialPairList(word[i], word[j]));
        if (!pair) return false;
        std::vector<uint32_t> step = i == 0 ? *pair : Intersect(before->second, *pair);
        if (!step.empty()) UniteInto(&reach[{j, m}], step);
      }
    }
  }
  for (const auto& [span, held] : reach) {
    if (span.second == n) UniteInto(&found, held);
  }
  records->swap(found);
  return true;
}

}  // namespace jollix
