// Pinyin name search: a name word made only of ASCII letters also matches a run of consecutive
// Chinese characters of a file name when it spells that run, each character by one of its
// readings whole or by that reading's first letter, in any letter case (bg, baogao, baog and
// BaoG all spell 报告; ü is written v). The readings come from index/Pinyin.dat, the table that
// tools/make-pinyin writes (its format: tools/PinyinTable.h).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace jollix {

inline constexpr char kPinyinFile[] = "index/Pinyin.dat";

class PinyinReadings {
 public:
  // Reads a table from its text; false, holding nothing, when a line does not fit the format.
  bool Parse(std::string_view table);
  // Reads index/Pinyin.dat (or another path); false when it cannot be read or parsed.
  bool Load(const char* path = kPinyinFile);

  // The readings of a GBK double-byte code (lead * 256 + second), blank-separated; empty for a
  // code without readings.
  std::string_view Of(int code) const;

  // Whether the text is a reading of some character of the table.
  bool IsReading(std::string_view text) const;
  // Longest reading of the table, in letters.
  size_t LongestReading() const { return longest_; }
  // A hash of the table's text: what was built from one table is known by it.
  uint64_t Fingerprint() const { return fingerprint_; }

 private:
  std::vector<uint32_t> start_;  // 65537 offsets into text_, by code
  std::string text_;
  std::vector<std::string> readings_;  // every distinct reading, sorted
  size_t longest_ = 0;
  uint64_t fingerprint_ = 0;
};

// The characters of a GBK name as pinyin search sees them, in order: the code (lead * 256 +
// second) of each double-byte character, -1 for each byte that forms none (ASCII, a broken
// sequence). A run of characters is a run of codes without -1 between them.
std::vector<int> PinyinCharacterCodes(std::string_view gbk_name);

// Whether the word can be spelled in pinyin at all: non-empty and only ASCII letters.
bool IsPinyinWord(std::string_view word);

// Whether the word (ASCII letters, any case) spells a run of consecutive double-byte characters
// of the GBK name in pinyin. Bytes that do not form a GBK double-byte character (ASCII, a broken
// sequence) end a run; they never match as pinyin.
bool PinyinMatches(const PinyinReadings& readings, std::string_view gbk_name,
                   std::string_view word);

// The name-word test of a search: the lower-cased word occurs in the lower-cased name or, when
// readings is given (pinyin on), it spells a run of the (GBK) name in pinyin.
bool NameWordMatches(std::string_view lowered_name, std::string_view gbk_name,
                     std::string_view lowered_word, const PinyinReadings* readings);

}  // namespace jollix
