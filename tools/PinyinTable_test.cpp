#include "tools/PinyinTable.h"

#include <gtest/gtest.h>

#include <string>

#include "common/TextFile.h"
#include "desktop/PinyinMatch.h"
#include "testing/Process.h"

namespace jollix::tools {
namespace {

const char* Utf8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

int Code(const char* gbk_character) {
  return static_cast<unsigned char>(gbk_character[0]) * 256 +
         static_cast<unsigned char>(gbk_character[1]);
}

// The committed table and the readings file of the installed unicode-data package.
constexpr char kCommittedTable[] = JOLLIX_DATA_DIR "/index/Pinyin.dat";
constexpr char kUnihanReadings[] = "/usr/share/unicode/Unihan_Readings.txt.bz2";

TEST(PinyinTable, ReadingsOfAllFieldsWithoutTonesSortedAndDistinct) {
  std::string source = Utf8(
      u8"# a comment\n"
      u8"U+884C\tkMandarin\txíng\n"
      u8"U+884C\tkHanyuPinyin\t20811.060:háng,xìng,xíng,hàng,héng\n"
      u8"U+884C\tkDefinition\tgo, walk\n"
      u8"U+7EFF\tkHanyuPinlu\tlǜ(220)\r\n"
      u8"U+7EFF\tkXHC1983\t0740.100:lù 0743.010:lǜ\n"
      u8"U+4E50\tkTGHZ2013\t212.030:lè 453.020:yuè\n"
      u8"U+20000\tkMandarin\thē\n");  // outside GBK
  int characters = 0;
  EXPECT_EQ(BuildPinyinTable(source, &characters),
            "C0D6 le yue\n"
            "C2CC lu lv\n"
            "D0D0 hang heng xing\n");
  EXPECT_EQ(characters, 3);
}

TEST(PinyinTable, SyllablesDropToneMarksAndWriteUUmlautAsV) {
  struct Case {
    const char8_t* reading;
    const char* plain;
  } cases[] = {{u8"zhuāng", "zhuang"}, {u8"nǚ", "nv"}, {u8"lü", "lv"},   {u8"ê̄", "e"},
               {u8"ḿ", "m"},           {u8"ǹg", "ng"}, {u8"Bao", "bao"}, {u8"lu\u0308", "lv"},
               {u8"x1", ""},           {u8"ㄅㄠ", ""}};
  for (const Case& c : cases) EXPECT_EQ(PlainSyllable(Utf8(c.reading)), c.plain) << Utf8(c.reading);
}

// The committed data/index/Pinyin.dat is exactly what the tool makes from the installed Unicode
// Han database, and holds the readings that users type most.
TEST(PinyinTable, CommittedTableIsWhatTheToolMakesFromUnihan) {
  testing::ProgramRun unpacked =
      testing::RunProgram("/usr/bin/bzcat", {"bzcat", kUnihanReadings}, {});
  ASSERT_EQ(unpacked.ExitStatus, 0) << "install unicode-data (scripts/install-deps)";
  std::string committed;
  ASSERT_TRUE(ReadWholeFile(kCommittedTable, &committed));
  EXPECT_TRUE(BuildPinyinTable(unpacked.Out) == committed) << "run tools/make-pinyin";
}

TEST(PinyinTable, CommittedTableHoldsCommonReadingsAndPolyphones) {
  PinyinReadings table;
  ASSERT_TRUE(table.Load(kCommittedTable));
  struct Case {
    const char* character;
    std::vector<std::string> readings;
  } cases[] = {{"报", {"bao"}},   {"告", {"gao"}},         {"年", {"nian"}},
               {"度", {"du"}},    {"绿", {"lv", "lu"}},    {"重", {"chong", "zhong"}},
               {"庆", {"qing"}},  {"银", {"yin"}},         {"行", {"hang", "xing"}},
               {"音", {"yin"}},   {"乐", {"yue", "le"}},   {"长", {"chang", "zhang"}},
               {"城", {"cheng"}}, {"会", {"hui", "kuai"}}, {"计", {"ji"}}};
  for (const Case& c : cases) {
    const std::string all = " " + std::string(table.Of(Code(c.character))) + " ";
    for (const std::string& r : c.readings) {
      EXPECT_NE(all.find(" " + r + " "), std::string::npos) << c.character << " " << r;
    }
  }
}

}  // namespace
}  // namespace jollix::tools
