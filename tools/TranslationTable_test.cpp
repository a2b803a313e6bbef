#include "tools/TranslationTable.h"

#include <gtest/gtest.h>

#include <string>

namespace jollix::tools {
namespace {

// The two bytes of an entry as a GBK string.
std::string Entry(const std::vector<unsigned char>& table, int code) {
  return std::string{static_cast<char>(table[code * 2]), static_cast<char>(table[code * 2 + 1])};
}

int Code(const char* gbk_character) {
  return static_cast<unsigned char>(gbk_character[0]) * 256 +
         static_cast<unsigned char>(gbk_character[1]);
}

const char* Utf8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

TEST(TranslationTable, AsciiBecomesFullWidthAndTheBlankAnIdeographicSpace) {
  auto table = BuildTranslationTable("");
  ASSERT_EQ(table.size(), 131072u);
  EXPECT_EQ(Entry(table, 'A'), "Ａ");
  EXPECT_EQ(Entry(table, 'z'), "ｚ");
  EXPECT_EQ(Entry(table, '0'), "０");
  EXPECT_EQ(Entry(table, '!'), "！");
  EXPECT_EQ(Entry(table, ' '), "　");
  EXPECT_EQ(Entry(table, '\t'), std::string("\0\t", 2));  // itself, high byte first
}

TEST(TranslationTable, SimplifiedCharactersTakeTheirFirstTraditionalFormInGbk) {
  int mapped = 0;
  std::string source = Utf8(u8"汉\t漢\n后\t後 后\n里\t裏 里\r\n干\t幹 乾 干\n");
  source += Utf8(u8"𱊜\t𪈼\n");  // outside GBK on both sides
  source += Utf8(u8"丢\t丟 \n");     // the candidate list may end in a blank
  source += "broken line without a tab\n";
  auto table = BuildTranslationTable(source, &mapped);
  EXPECT_EQ(Entry(table, Code("汉")), "漢");
  EXPECT_EQ(Entry(table, Code("后")), "後");
  EXPECT_EQ(Entry(table, Code("里")), "裏");
  EXPECT_EQ(Entry(table, Code("干")), "幹");
  EXPECT_EQ(Entry(table, Code("丢")), "丟");
  EXPECT_EQ(Entry(table, Code("中")), "中");  // not in the table: itself
  EXPECT_EQ(Entry(table, Code("漢")), "漢");
  EXPECT_EQ(mapped, 5);
}

TEST(TranslationTable, CharacterWhoseOnlyFormIsItselfStaysItself) {
  auto table = BuildTranslationTable(Utf8(u8"中\t中\n"));
  EXPECT_EQ(Entry(table, Code("中")), "中");
}

}  // namespace
}  // namespace jollix::tools
