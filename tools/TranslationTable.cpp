#include "tools/TranslationTable.h"

#include <string>

#include "common/Gbk.h"

namespace jollix::tools {
namespace {

// The GBK code of one UTF-8 character, or -1 when GBK has no two-byte form for it.
int GbkCode(std::string_view utf8) {
  std::string gbk;
  if (!Utf8ToGbk(utf8, &gbk) || gbk.size() != 2) return -1;
  unsigned char lead = gbk[0], second = gbk[1];
  if (lead < 0x81 || lead == 0xFF || second < 0x40 || second == 0x7F || second == 0xFF) return -1;
  return lead * 256 + second;
}

void SetEntry(std::vector<unsigned char>& table, int code, int value) {
  table[code * 2] = static_cast<unsigned char>(value >> 8);
  table[code * 2 + 1] = static_cast<unsigned char>(value & 0xFF);
}

}  // namespace

std::vector<unsigned char> BuildTranslationTable(std::string_view st_table, int* mapped) {
  std::vector<unsigned char> table(kTranslationEntries * 2);
  for (size_t code = 0; code < kTranslationEntries; ++code) SetEntry(table, code, code);
  for (int b = 0x21; b <= 0x7E; ++b) SetEntry(table, b, 0xA300 + b + 0x80);
  SetEntry(table, ' ', 0xA1A1);

  int count = 0;
  while (!st_table.empty()) {
    size_t end = st_table.find('\n');
    std::string_view line = st_table.substr(0, end);
    st_table = end == std::string_view::npos ? std::string_view() : st_table.substr(end + 1);
    size_t tab = line.find('\t');
    if (tab == std::string_view::npos) continue;
    int simplified = GbkCode(line.substr(0, tab));
    if (simplified < 0) continue;
    std::string_view forms = line.substr(tab + 1);
    while (!forms.empty()) {
      size_t blank = forms.find_first_of(" \r");
      int traditional = GbkCode(forms.substr(0, blank));
      if (traditional >= 0 && traditional != simplified) {
        SetEntry(table, simplified, traditional);
        ++count;
        break;
      }
      if (blank == std::string_view::npos) break;
      forms = forms.substr(blank + 1);
    }
  }
  if (mapped) *mapped = count;
  return table;
}

}  // namespace jollix::tools
