// The translation table of the content matcher (index/Translation.dat): 65536 entries of two
// bytes, entry e for the character of code e (a single byte b has code b, a double-byte
// character lead * 256 + second). Built from an open simplified-to-traditional character table:
//   - ASCII 0x21..0x7E become their full-width GBK forms A3A1..A3FE, the blank A1A1;
//   - a simplified character becomes the first of its traditional forms that GBK holds;
//   - every other entry is the code itself, high byte first (so a GBK character maps to itself).
#pragma once

#include <string_view>
#include <vector>

namespace jollix::tools {

inline constexpr size_t kTranslationEntries = 65536;

// st_table: UTF-8 text, one "simplified TAB traditional[ SPACE traditional...]" line per
// character (OpenCC's STCharacters text form). Lines that do not fit are skipped. *mapped, when
// given, receives the count of characters mapped to another one.
std::vector<unsigned char> BuildTranslationTable(std::string_view st_table, int* mapped = nullptr);

}  // namespace jollix::tools
