#include "desktop/PinyinMatch.h"

#include <gtest/gtest.h>

#include <string>

#include "testing/Process.h"

namespace jollix {
namespace {

std::string Lowered(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  }
  return text;
}

// The reading table that the build installs (data/index/Pinyin.dat).
const PinyinReadings& Table() {
  static const PinyinReadings table = [] {
    PinyinReadings t;
    EXPECT_TRUE(t.Load((testing::BuildHome() + "/index/Pinyin.dat").c_str()));
    return t;
  }();
  return table;
}

struct Case {
  const char* name;  // GBK
  const char* word;  // as typed
  bool pinyin;       // matches with pinyin on
  bool literal;      // matches with pinyin off
};

TEST(PinyinMatch, WordsMatchLiterallyOrByWholeSyllablesAndFirstLetters) {
  const Case cases[] = {
      {"年度报告.docx", "baogao", true, false},  // whole syllables
      {"年度报告.docx", "ndbg", true, false},    // first letters
      {"年度报告.docx", "bg", true, false},
      {"年度报告.docx", "baog", true, false},  // mixed
      {"年度报告.docx", "nianDBaogao", true, false},
      {"年度报告.docx", "BaoG", true, false},  // any case
      {"年度报告.docx", "BG", true, false},
      {"年度报告.docx", "nbg", false, false},    // 度 left out: not a run
      {"年度报告.docx", "bagao", false, false},  // "ba" is neither syllable nor initial
      {"年度报告.docx", "baogaox", false, false},
      {"年度报告.docx", "gaob", false, false},  // wrong order
      {"年度报告.docx", "docx", true, true},    // literal only
      {"年度报告.docx", "xyz", false, false},   // neither
      {"重庆.jpg", "chongqing", true, false},   // polyphones: every common reading
      {"重庆.jpg", "zhongqing", true, false},
      {"银行流水.xls", "yinhang", true, false},
      {"银行流水.xls", "yinxing", true, false},
      {"音乐.mp3", "yinyue", true, false},
      {"音乐.mp3", "yinle", true, false},
      {"长城.png", "changcheng", true, false},
      {"长城.png", "zhangcheng", true, false},
      {"会计报表.xls", "kuaiji", true, false},
      {"会计报表.xls", "huiji", true, false},
      {"绿色.txt", "lvse", true, false},  // ü written v
      {"绿色.txt", "lse", true, false},
      {"gao报告.txt", "gao", true, true},  // both literal and pinyin
      {"bg.txt", "bg", true, true},
      {"2024年度report报告v2.doc", "nd", true, false},  // Chinese, digits and Latin mixed
      {"2024年度report报告v2.doc", "ndbg", false, false},
      {"2024年度report报告v2.doc", "report", true, true},
      {"2024年度report报告v2.doc", "dr", false, false},  // Latin letters have no pinyin
      {"2024年度report报告v2.doc", "4n", false, false},  // not only letters: literal only
      {"2024年度report报告v2.doc", "4年", true, true},
      {"\x80报告", "bg", true, false},  // not valid GBK: the broken byte ends a run
      {"报\xFF告", "bg", false, false},
      {"报告\xB1", "bgb", false, false},
      {"\xB1", "b", false, false},
  };
  for (const Case& c : cases) {
    const std::string lowered_name = Lowered(c.name), word = Lowered(c.word);
    EXPECT_EQ(NameWordMatches(lowered_name, c.name, word, &Table()), c.pinyin)
        << c.name << " / " << c.word;
    EXPECT_EQ(NameWordMatches(lowered_name, c.name, word, nullptr), c.literal)
        << c.name << " / " << c.word;
  }
}

TEST(PinyinMatch, TableThatDoesNotFitTheFormatIsRefused) {
  PinyinReadings table;
  EXPECT_TRUE(table.Parse("B1A8 bao\nB8E6 gao\n"));
  EXPECT_EQ(table.Of(0xB1A8), "bao");
  EXPECT_EQ(table.Of(0xB1A9), "");
  for (const char* broken : {"B1A8 bao", "B8E6 gao\nB1A8 bao\n", "B1A8 Bao\n", "B1A8  bao\n",
                             "B1A8 bao \n", "B1G8 bao\n", "B1A8\n"}) {
    EXPECT_FALSE(table.Parse(broken)) << broken;
    EXPECT_EQ(table.Of(0xB1A8), "") << broken;
  }
}

}  // namespace
}  // namespace jollix
