#include "desktop/PinyinMatch.h"

#include <algorithm>
#include <cstring>
#include <unordered_set>

#include "common/TextFile.h"

namespace jollix {
namespace {

constexpr int kCodes = 65536;

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool IsLowerLetters(std::string_view text) {
  for (char c : text) {
    if (c != ' ' && (c < 'a' || c > 'z')) return false;
  }
  return !text.empty() && text.front() != ' ' && text.back() != ' ' &&
         text.find("  ") == std::string_view::npos;
}

char LowerLetter(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

bool IsLead(unsigned char b) { return b >= 0x81 && b <= 0xFE; }
bool IsTrail(unsigned char b) { return b >= 0x40 && b <= 0xFE && b != 0x7F; }

}  // namespace

std::vector<int> PinyinCharacterCodes(std::string_view name) {
  std::vector<int> codes;
  for (size_t i = 0; i < name.size();) {
    const unsigned char b = name[i];
    if (IsLead(b) && i + 1 < name.size() && IsTrail(static_cast<unsigned char>(name[i + 1]))) {
      codes.push_back(b * 256 + static_cast<unsigned char>(name[i + 1]));
      i += 2;
    } else {
      codes.push_back(-1);
      i += 1;
    }
  }
  return codes;
}

namespace {

// A hash of the whole text, eight bytes a step (the table is a few hundred KB, and hashed at
// every load).
uint64_t HashText(std::string_view text) {
  uint64_t h = 0xcbf29ce484222325ull ^ text.size();
  size_t i = 0;
  for (; i + 8 <= text.size(); i += 8) {
    uint64_t word;
    std::memcpy(&word, text.data() + i, 8);
    h = (h ^ word) * 0x100000001b3ull;
    h ^= h >> 29;
  }
  for (; i < text.size(); ++i) h = (h ^ static_cast<unsigned char>(text[i])) * 0x100000001b3ull;
  return h;
}

}  // namespace

// One pass: a search loads the table before its first pinyin word, so its parse is part of
// that search's time.
bool PinyinReadings::Parse(std::string_view table) {
  const std::string_view whole_table = table;
  start_.clear();
  text_.clear();
  readings_.clear();
  longest_ = 0;
  fingerprint_ = 0;
  std::vector<uint32_t> start(kCodes + 1, 0);
  std::string text;
  text.reserve(table.size());
  std::unordered_set<std::string_view> distinct;  // views into table
  std::string_view last;                          // the reading added last
  int next_code = 0;                              // the codes below it have their start
  while (!table.empty()) {
    const size_t end = table.find('\n');
    if (end == std::string_view::npos) return false;
    const std::string_view line = table.substr(0, end);
    table = table.substr(end + 1);
    if (line.size() < 6 || line[4] != ' ') return false;
    int code = 0;
    for (int k = 0; k < 4; ++k) {
      const int digit = HexDigit(line[k]);
      if (digit < 0) return false;
      code = code * 16 + digit;
    }
    const std::string_view readings = line.substr(5);
    if (code < next_code || !IsLowerLetters(readings)) return false;
    for (; next_code <= code; ++next_code) start[next_code] = static_cast<uint32_t>(text.size());
    text += readings;
    for (std::string_view rest = readings; !rest.empty();) {
      const size_t blank = rest.find(' ');
      // Characters in code order mostly read as the one before (GB2312 orders by reading).
      if (rest.substr(0, blank) != last) last = *distinct.insert(rest.substr(0, blank)).first;
      rest = blank == std::string_view::npos ? std::string_view() : rest.substr(blank + 1);
    }
  }
  for (; next_code <= kCodes; ++next_code) start[next_code] = static_cast<uint32_t>(text.size());
  start_ = std::move(start);
  text_ = std::move(text);
  readings_.assign(distinct.begin(), distinct.end());
  std::sort(readings_.begin(), readings_.end());
  for (const std::string& reading : readings_) longest_ = std::max(longest_, reading.size());
  fingerprint_ = HashText(whole_table);
  return true;
}

bool PinyinReadings::Load(const char* path) {
  std::string table;
  return ReadWholeFile(path, &table) && Parse(table);
}

bool PinyinReadings::IsReading(std::string_view text) const {
  return std::binary_search(readings_.begin(), readings_.end(), text);
}

std::string_view PinyinReadings::Of(int code) const {
  if (start_.empty() || code < 0 || code >= kCodes) return {};
  return std::string_view(text_).substr(start_[code], start_[code + 1] - start_[code]);
}

bool IsPinyinWord(std::string_view word) {
  for (char c : word) {
    if (LowerLetter(c) < 'a' || LowerLetter(c) > 'z') return false;
  }
  return !word.empty();
}

bool PinyinMatches(const PinyinReadings& readings, std::string_view gbk_name,
                   std::string_view word) {
  if (!IsPinyinWord(word)) return false;
  std::string lowered(word);
  for (char& c : lowered) c = LowerLetter(c);
  const size_t length = lowered.size();
  // reached[j]: a run that ends before the current character spells the word's first j letters.
  // Every character may begin a run (j = 0); a character spells on by a whole reading or by its
  // first letter.
  std::vector<char> reached(length + 1, 0), next(length + 1, 0);
  for (int code : PinyinCharacterCodes(gbk_name)) {
    reached[0] = 1;
    std::fill(next.begin(), next.end(), 0);
    const std::string_view all = readings.Of(code);
    for (size_t j = 0; j < length; ++j) {
      if (!reached[j]) continue;
      std::string_view rest = all;
      while (!rest.empty()) {
        const size_t blank = rest.find(' ');
        const std::string_view reading = rest.substr(0, blank);
        rest = blank == std::string_view::npos ? std::string_view() : rest.substr(blank + 1);
        if (reading[0] == lowered[j]) next[j + 1] = 1;
        if (std::string_view(lowered).substr(j, reading.size()) == reading) {
          next[j + reading.size()] = 1;
        }
      }
    }
    if (next[length]) return true;
    reached.swap(next);
  }
  return false;
}

bool NameWordMatches(std::string_view lowered_name, std::string_view gbk_name,
                     std::string_view lowered_word, const PinyinReadings* readings) {
  if (lowered_name.find(lowered_word) != std::string_view::npos) return true;
  return readings && PinyinMatches(*readings, gbk_name, lowered_word);
}

}  // namespace jollix
