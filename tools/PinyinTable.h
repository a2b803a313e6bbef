// The reading table of pinyin name search (index/Pinyin.dat), built from the Unicode Han
// database's reading fields (Unihan_Readings.txt): kMandarin, kHanyuPinlu, kHanyuPinyin,
// kXHC1983 and kTGHZ2013 together, so that a character with several readings in common use
// (行 hang and xing, 乐 le and yue) has them all; kMandarin alone gives one.
//
// The table is ASCII text, one line per GBK double-byte character that has a reading, in
// ascending code order: the code as four upper-case hex digits (lead byte first), then each
// distinct reading after one blank, in byte order, then LF. A reading is lower-case letters
// without tones, ü written v: "C2CC lu lv". The same source always gives the same bytes.
#pragma once

#include <string>
#include <string_view>

namespace jollix::tools {

// unihan_readings: the text of Unihan_Readings.txt (UTF-8; lines "U+884C<TAB>kMandarin<TAB>xíng",
// '#' comments). Lines of other fields, of characters GBK lacks and readings that hold a letter
// outside pinyin are passed over. *characters, when given, receives the number of lines written.
std::string BuildPinyinTable(std::string_view unihan_readings, int* characters = nullptr);

// One reading as the table writes it: tone marks dropped, ü as v, lower case; empty when the
// text holds anything else than pinyin letters and tone marks.
std::string PlainSyllable(std::string_view utf8_reading);

}  // namespace jollix::tools
