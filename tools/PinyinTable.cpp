#include "tools/PinyinTable.h"

#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>

#include "common/Gbk.h"

namespace jollix::tools {
namespace {

constexpr std::string_view kReadingFields[] = {"kMandarin", "kHanyuPinlu", "kHanyuPinyin",
                                               "kXHC1983", "kTGHZ2013"};

// The next code point of UTF-8 text at *i (advanced past it); -1 on a broken sequence.
long NextCodePoint(std::string_view text, size_t* i) {
  const unsigned char b = text[*i];
  const int length = b < 0x80 ? 1 : (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : (b >> 3) == 30 ? 4 : 0;
  if (length == 0 || *i + length > text.size()) return -1;
  long cp = length == 1 ? b : b & (0x7F >> length);
  for (int k = 1; k < length; ++k) {
    const unsigned char c = text[*i + k];
    if ((c & 0xC0) != 0x80) return -1;
    cp = (cp << 6) | (c & 0x3F);
  }
  *i += length;
  return cp;
}

std::string Utf8Of(long cp) {
  std::string out;
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
  return out;
}

// The GBK double-byte code of a code point, or -1 when GBK has none.
int GbkCodeOf(long cp) {
  std::string gbk;
  if (!Utf8ToGbk(Utf8Of(cp), &gbk) || gbk.size() != 2) return -1;
  const unsigned char lead = gbk[0], second = gbk[1];
  if (lead < 0x81 || lead == 0xFF || second < 0x40 || second == 0x7F || second == 0xFF) return -1;
  return lead * 256 + second;
}

// The plain letter of a pinyin letter with a tone mark (or ü, ê), 0 for any other code point.
char BaseLetter(long cp) {
  static const std::map<long, char> kLetters = {
      {0xE0, 'a'},  {0xE1, 'a'},  {0x101, 'a'}, {0x1CE, 'a'},  {0xE8, 'e'},   {0xE9, 'e'},
      {0xEA, 'e'},  {0x113, 'e'}, {0x11B, 'e'}, {0x1EBF, 'e'}, {0x1EC1, 'e'}, {0xEC, 'i'},
      {0xED, 'i'},  {0x12B, 'i'}, {0x1D0, 'i'}, {0xF2, 'o'},   {0xF3, 'o'},   {0x14D, 'o'},
      {0x1D2, 'o'}, {0xF9, 'u'},  {0xFA, 'u'},  {0x16B, 'u'},  {0x1D4, 'u'},  {0xFC, 'v'},
      {0x1D6, 'v'}, {0x1D8, 'v'}, {0x1DA, 'v'}, {0x1DC, 'v'},  {0x144, 'n'},  {0x148, 'n'},
      {0x1F9, 'n'}, {0x1E3F, 'm'}};
  auto it = kLetters.find(cp);
  return it == kLetters.end() ? 0 : it->second;
}

// Calls add for each reading of a field's value: tokens apart by blanks, each perhaps
// "location:reading,reading" or "reading(frequency)".
template <typename Add>
void EachReading(std::string_view value, Add add) {
  while (!value.empty()) {
    const size_t blank = value.find(' ');
    std::string_view token = value.substr(0, blank);
    value = blank == std::string_view::npos ? std::string_view() : value.substr(blank + 1);
    const size_t colon = token.rfind(':');
    if (colon != std::string_view::npos) token = token.substr(colon + 1);
    token = token.substr(0, token.find('('));
    while (!token.empty()) {
      const size_t comma = token.find(',');
      add(token.substr(0, comma));
      if (comma == std::string_view::npos) break;
      token = token.substr(comma + 1);
    }
  }
}

}  // namespace

std::string PlainSyllable(std::string_view utf8_reading) {
  std::string plain;
  for (size_t i = 0; i < utf8_reading.size();) {
    const long cp = NextCodePoint(utf8_reading, &i);
    if (cp >= 'a' && cp <= 'z') {
      plain += static_cast<char>(cp);
    } else if (cp >= 'A' && cp <= 'Z') {
      plain += static_cast<char>(cp - 'A' + 'a');
    } else if (cp >= 0x300 && cp <= 0x36F) {
      if (cp == 0x308 && !plain.empty() && plain.back() == 'u') plain.back() = 'v';  // u + ¨
    } else if (char letter = BaseLetter(cp)) {
      plain += letter;
    } else {
      return std::string();
    }
  }
  return plain;
}

std::string BuildPinyinTable(std::string_view unihan_readings, int* characters) {
  std::map<int, std::set<std::string>> readings;
  long last_cp = -1;  // a character's fields stand together: its code is looked up once
  int code = -1;
  std::string_view rest = unihan_readings;
  while (!rest.empty()) {
    const size_t end = rest.find('\n');
    std::string_view line = rest.substr(0, end);
    rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const size_t tab1 = line.find('\t');
    const size_t tab2 = tab1 == std::string_view::npos ? tab1 : line.find('\t', tab1 + 1);
    if (tab2 == std::string_view::npos || !line.starts_with("U+")) continue;
    const std::string_view field = line.substr(tab1 + 1, tab2 - tab1 - 1);
    bool wanted = false;
    for (std::string_view f : kReadingFields) wanted = wanted || f == field;
    if (!wanted) continue;
    const long cp = std::strtol(std::string(line.substr(2, tab1 - 2)).c_str(), nullptr, 16);
    if (cp != last_cp) code = GbkCodeOf(cp);
    last_cp = cp;
    if (code < 0) continue;
    EachReading(line.substr(tab2 + 1), [&](std::string_view reading) {
      std::string plain = PlainSyllable(reading);
      if (!plain.empty()) readings[code].insert(std::move(plain));
    });
  }
  std::string table;
  int lines = 0;
  for (const auto& [code, set] : readings) {
    if (set.empty()) continue;
    char hex[8];
    std::snprintf(hex, sizeof hex, "%04X", code);
    table += hex;
    for (const std::string& r : set) table.append(" ").append(r);
    table += '\n';
    ++lines;
  }
  if (characters) *characters = lines;
  return table;
}

}  // namespace jollix::tools
