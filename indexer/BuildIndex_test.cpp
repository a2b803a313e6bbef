#include "indexer/BuildIndex.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "common/ConfigFile.h"
#include "common/IndexLayout.h"
#include "common/TextFile.h"
#include "testing/FakePorts.h"
#include "testing/TempDir.h"

namespace jollix {
namespace {

using testing::FakePrompter;
using testing::ScopedCurrentDir;
using testing::TempDir;
using Lists = std::map<int, std::vector<int32_t>>;

uint32_t LittleEndianAt(const std::string& bytes, size_t at) {
  uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(bytes[at + i]);
  return v;
}

// Reads the two saved index files back into the non-empty lists, checking on the way that the
// directory is contiguous: every list starts where the one before it ended.
Lists ReadSavedLists(const TempDir& dir) {
  std::string meta = dir.Read("index/MetaIndex.ind");
  std::string data = dir.Read("index/IndexData.ind");
  EXPECT_EQ(meta.size(), size_t{kListCount} * 8);
  Lists lists;
  uint32_t expected_start = 0;
  for (int i = 0; i < kListCount && meta.size() == size_t{kListCount} * 8; ++i) {
    uint32_t start = LittleEndianAt(meta, size_t(i) * 8);
    uint32_t count = LittleEndianAt(meta, size_t(i) * 8 + 4);
    EXPECT_EQ(start, expected_start) << "list " << i;
    expected_start = start + count * 4;
    if (count == 0) continue;
    for (uint32_t k = 0; k < count; ++k) {
      lists[i].push_back(static_cast<int32_t>(LittleEndianAt(data, start + k * 4)));
    }
  }
  EXPECT_EQ(expected_start, data.size());
  return lists;
}

std::string TypeTable(int count) {
  std::string text;
  for (int i = 1; i <= count; ++i) {
    text += "e" + std::to_string(i) + "\t" + std::to_string(i) + "\t1\t类型\r\n";
  }
  return text;
}

const char kConfig[] =
    "索引更新频率\t604800\r\n上次索引时间\t0\r\n第一服务器IP\t10.1.1.1\r\n第二服务器IP\t10.2.2."
    "2\r\n";

// An installation folder with a type table and a record file, made current for the test.
class BuildIndexTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_.MakeDir("index");
    dir_.Write("config.txt", kConfig);
    dir_.Write("index/FileType.txt",
               "txt\t1\t1\t文本\r\ndoc\t2\t1\tWord文档\r\njpg\t3\t2\t图片\r\n");
  }

  // Writes index/AllFile.dat from the lines and returns each line's byte offset.
  std::vector<int32_t> WriteRecords(const std::vector<std::string>& lines) {
    std::string all;
    std::vector<int32_t> offsets;
    for (const std::string& line : lines) {
      offsets.push_back(static_cast<int32_t>(all.size()));
      all += line;
    }
    dir_.Write("index/AllFile.dat", all);
    return offsets;
  }

  Lists Build(Prompter* prompter = nullptr) {
    IndexConfig config;
    ReadConfig("config.txt", &config);
    BuildIndex builder(prompter ? *prompter : prompter_, config);
    EXPECT_EQ(builder.Build(), 0);
    record_count_ = builder.RecordCount();
    next_type_ = builder.NextTypeNumber();
    return ReadSavedLists(dir_);
  }

  static std::string File(const std::string& name) { return "_" + name + "\t/d/\t1\t2\n"; }
  static std::string Folder(const std::string& name) { return "D" + name + "\t/d/\t0\t2\n"; }

  TempDir dir_;
  ScopedCurrentDir cwd_{dir_.path()};
  FakePrompter prompter_;
  int record_count_ = -1;
  int next_type_ = -1;
};

std::set<int> ListsHolding(const Lists& lists, int32_t posting) {
  std::set<int> numbers;
  for (const auto& [number, postings] : lists) {
    for (int32_t p : postings) {
      if (p == posting) numbers.insert(number);
    }
  }
  return numbers;
}

int Pair(char a, char b) { return PairListNumber(a, b); }

TEST_F(BuildIndexTest, MixedCaseAsciiNameGivesItsCharactersPairsAndType) {
  auto at = WriteRecords({File("ab"), File("Read Me.TXT"), File("文档.doc")});
  Lists lists = Build();

  std::set<int> expected = {'r',
                            'e',
                            'a',
                            'd',
                            ' ',
                            'm',
                            '.',
                            't',
                            'x',
                            Pair('r', 'e'),
                            Pair('e', 'a'),
                            Pair('a', 'd'),
                            Pair('m', 'e'),
                            Pair('e', '.'),
                            Pair('.', 't'),
                            Pair('t', 'x'),
                            Pair('x', 't'),
                            TypeListNumber(1)};
  EXPECT_EQ(ListsHolding(lists, at[1]), expected);
  EXPECT_EQ(lists[69108], std::vector<int32_t>{at[1]});  // xt
  EXPECT_EQ(lists[67618], std::vector<int32_t>{at[0]});  // ab
  EXPECT_EQ(lists[66404], std::vector<int32_t>{at[2]});  // dot followed by d
  EXPECT_EQ(lists['t'], std::vector<int32_t>{at[1]});    // t occurs twice, posted once
}

TEST_F(BuildIndexTest, GbkNameGivesDoubleByteListsThenItsAsciiTail) {
  auto at = WriteRecords({File("文档.doc")});
  Lists lists = Build();
  std::set<int> expected = {52932,
                            46517,
                            '.',
                            'd',
                            'o',
                            'c',
                            Pair('.', 'd'),
                            Pair('d', 'o'),
                            Pair('o', 'c'),
                            TypeListNumber(2)};
  EXPECT_EQ(ListsHolding(lists, at[0]), expected);
}

TEST_F(BuildIndexTest, CapitalAsSecondByteOfADoubleByteCharacterIsLowered) {
  // 0x81 0x41 lowers byte-wise to 0x81 0x61, as the query side lowers its words.
  auto at = WriteRecords({File("\x81\x41")});
  Lists lists = Build();
  EXPECT_EQ(lists[0x8161], std::vector<int32_t>{at[0]});
  EXPECT_EQ(lists.count(0x8141), 0u);
}

TEST_F(BuildIndexTest, LeadByteAtTheEndOfTheNameUsesSecondByteZero) {
  auto at = WriteRecords({File("a\xB5")});
  Lists lists = Build();
  EXPECT_EQ(lists[0xB500], std::vector<int32_t>{at[0]});
}

TEST_F(BuildIndexTest, FoldersAndNamesWithoutExtensionShareTheEmptyExtensionsType) {
  auto at = WriteRecords(
      {Folder("Music.Old"), File("archive."), File(".profile"), File("README"), File("x.JPG")});
  Lists lists = Build();
  // The type table numbers 1..3, so the empty extension is the first new one.
  EXPECT_EQ(lists[TypeListNumber(4)], (std::vector<int32_t>{at[0], at[1], at[2], at[3]}));
  EXPECT_EQ(lists[TypeListNumber(3)], std::vector<int32_t>{at[4]});
  EXPECT_EQ(next_type_, 5);
}

TEST_F(BuildIndexTest, RepeatedCharacterAndPairArePostedOnce) {
  auto at = WriteRecords({File("aaaa"), File("abab")});
  Lists lists = Build();
  EXPECT_EQ(lists['a'], (std::vector<int32_t>{at[0], at[1]}));
  EXPECT_EQ(lists[Pair('a', 'a')], std::vector<int32_t>{at[0]});
  EXPECT_EQ(lists[Pair('a', 'b')], std::vector<int32_t>{at[1]});
  EXPECT_EQ(lists[Pair('b', 'a')], std::vector<int32_t>{at[1]});
}

TEST_F(BuildIndexTest, NewExtensionsAreNumberedAfterTheTableInOrderOfFirstSight) {
  dir_.Write("index/FileType.txt", TypeTable(40));
  auto at =
      WriteRecords({Folder("docs"), File("a.zzz"), File("b.e7"), File("c.yyy"), File("d.zzz")});
  Lists lists = Build();
  EXPECT_EQ(lists[TypeListNumber(41)], std::vector<int32_t>{at[0]});
  EXPECT_EQ(lists[TypeListNumber(42)], (std::vector<int32_t>{at[1], at[4]}));
  EXPECT_EQ(lists[TypeListNumber(7)], std::vector<int32_t>{at[2]});
  EXPECT_EQ(lists[TypeListNumber(43)], std::vector<int32_t>{at[3]});
}

TEST_F(BuildIndexTest, TypeNumbersOutsideTheListRangeShareTheLastTypeList) {
  dir_.Write("index/FileType.txt", "big\t2500\t1\t大\r\nneg\t-3\t1\t负\r\nok\t1998\t1\t好\r\n");
  auto at =
      WriteRecords({File("a.big"), File("b.neg"), File("c.new"), File("d.more"), File("e.ok")});
  Lists lists = Build();
  // The table's largest number is 2500, so every new extension gets a number above 1999.
  EXPECT_EQ(lists[TypeListNumber(1999)], (std::vector<int32_t>{at[0], at[1], at[2], at[3]}));
  EXPECT_EQ(lists[TypeListNumber(1998)], std::vector<int32_t>{at[4]});
}

TEST_F(BuildIndexTest, EmptyRecordFileGivesEmptyListsEverywhere) {
  WriteRecords({});
  Lists lists = Build();
  EXPECT_TRUE(lists.empty());
  EXPECT_EQ(dir_.Read("index/MetaIndex.ind"), std::string(size_t{kListCount} * 8, '\0'));
  EXPECT_EQ(dir_.Read("index/IndexData.ind"), "");
  EXPECT_EQ(record_count_, 0);
}

TEST_F(BuildIndexTest, WithdrawnAndMalformedLinesAreSkippedAndOffsetsStayTrue) {
  auto at = WriteRecords({"X" + File("gone.txt").substr(1), File("keep.txt"),
                          "_nosize.txt\t/d/\tbig\t1\n", "no record at all\n", "\n", "_notabs.txt\n",
                          Folder("Sub")});
  Lists lists = Build();
  EXPECT_EQ(record_count_, 2);
  EXPECT_EQ(lists['k'], std::vector<int32_t>{at[1]});
  EXPECT_EQ(lists['u'], std::vector<int32_t>{at[6]});  // Sub, lower-cased
  EXPECT_EQ(lists.count('g'), 0u);
  EXPECT_EQ(lists.count('z'), 0u);
}

TEST_F(BuildIndexTest, OverlongLineIsSkippedWholeAndTheLastLineNeedsNoLineEnd) {
  // The tail of an overlong line starts with '_' and holds two TABs: read in pieces, it would
  // be taken for a record at an offset where none starts.
  std::string overlong = "_" + std::string(2998, 'q') + "_tail.txt\t/d/\t1\t2\n";
  std::string last = File("last.txt");
  last.pop_back();
  auto at = WriteRecords({File("first.txt"), overlong, last});
  Lists lists = Build();
  EXPECT_EQ(record_count_, 2);
  EXPECT_EQ(lists.count('q'), 0u);
  EXPECT_EQ(lists['l'], std::vector<int32_t>{at[2]});
  EXPECT_EQ(lists['f'], std::vector<int32_t>{at[0]});
}

TEST_F(BuildIndexTest, LineOfExactlyTheLongestLengthIsTaken) {
  std::string name(2999 - std::string("_\t/d/\t1\t2").size(), 'w');
  auto at = WriteRecords({File(name), File("v")});
  Lists lists = Build();
  EXPECT_EQ(lists['w'], std::vector<int32_t>{at[0]});
  EXPECT_EQ(lists['v'], std::vector<int32_t>{at[1]});
}

TEST_F(BuildIndexTest, RewritesConfigWithTheNewTimeAndLfLineEnds) {
  WriteRecords({File("a.txt")});
  int32_t before = static_cast<int32_t>(std::time(nullptr));
  Build();
  int32_t after = static_cast<int32_t>(std::time(nullptr));
  std::string text = dir_.Read("config.txt");
  EXPECT_EQ(text.find('\r'), std::string::npos);
  IndexConfig config;
  ASSERT_TRUE(ReadConfig("config.txt", &config));
  EXPECT_EQ(config.UpdateFrequency, 604800);
  EXPECT_GE(config.LastIndexTime, before);
  EXPECT_LE(config.LastIndexTime, after);
  EXPECT_STREQ(config.FirstServerAddress, "10.1.1.1");
  EXPECT_STREQ(config.SecondServerAddress, "10.2.2.2");
  EXPECT_TRUE(prompter_.messages().empty());
}

// The lists of a plain reading of the rules, to check the builder against on many names.
Lists ReferenceLists(const std::vector<std::string>& names, const std::vector<int32_t>& at,
                     std::map<std::string, int> types, int next_type) {
  Lists lists;
  auto post = [&](int list, int32_t p) {
    std::vector<int32_t>& l = lists[list];
    if (l.empty() || l.back() != p) l.push_back(p);
  };
  for (size_t r = 0; r < names.size(); ++r) {
    std::string name = names[r];
    for (char& c : name) c = static_cast<char>(LowerByte(static_cast<unsigned char>(c)));
    const unsigned char* s = reinterpret_cast<const unsigned char*>(name.c_str());
    for (size_t i = 0; i < name.size();) {
      if (s[i] >= 0x80) {
        post(s[i] * 256 + s[i + 1], at[r]);
        i += 2;
        continue;
      }
      post(s[i], at[r]);
      if (CharCode(s[i]) && CharCode(s[i + 1])) {
        post(65536 + (CharCode(s[i]) - 1) * 64 + CharCode(s[i + 1]), at[r]);
      }
      ++i;
    }
    size_t dot = name.rfind('.');
    std::string ext = (dot == std::string::npos || dot == 0) ? "" : name.substr(dot + 1);
    if (!types.count(ext)) types[ext] = next_type++;
    int type = types[ext];
    post(69636 + ((type > 1999 || type < 0) ? 1999 : type), at[r]);
  }
  return lists;
}

TEST_F(BuildIndexTest, AgreesWithAPlainReadingOfTheRulesOnManyNames) {
  std::mt19937 random(7);
  const std::string alphabet = "aAbBzZ09._- ~{}|`^\x7f";
  std::vector<std::string> names, lines;
  for (int r = 0; r < 3000; ++r) {
    std::string name;
    int length = 1 + random() % 12;
    for (int i = 0; i < length; ++i) {
      if (random() % 3 == 0) {
        name += static_cast<char>(0xB0 + random() % 8);   // a few lead bytes
        name += static_cast<char>(0x40 + random() % 40);  // trail bytes, capitals included
      } else {
        name += alphabet[random() % alphabet.size()];
      }
    }
    names.push_back(name);
    lines.push_back(File(name));
  }
  auto at = WriteRecords(lines);
  Lists lists = Build();
  EXPECT_EQ(lists, ReferenceLists(names, at, {{"txt", 1}, {"doc", 2}, {"jpg", 3}}, 4));
}

TEST(NameExtension, OnlyDotsAfterTheFirstByteStartAnExtension) {
  EXPECT_EQ(NameExtension("read me.txt"), "txt");
  EXPECT_EQ(NameExtension("a.tar.gz"), "gz");
  EXPECT_EQ(NameExtension("archive."), "");
  EXPECT_EQ(NameExtension(".profile"), "");
  EXPECT_EQ(NameExtension("..x"), "x");
  EXPECT_EQ(NameExtension("noext"), "");
}

// The failures end the process; each runs in a child and leaves its report in out.txt.
class BuildIndexFailureTest : public BuildIndexTest {
 protected:
  [[noreturn]] void BuildWithOutputIn(const char* file) {
    if (!std::freopen(file, "w", stdout)) std::_Exit(99);
    Build();
    std::_Exit(0);
  }
  std::string Output() const { return dir_.Read("out.txt"); }
};

const char kFatalStart[] = "系统文件丢失,请与开发商联系!异常点为文件 BuildIndex 的第 ";

TEST_F(BuildIndexFailureTest, MissingTypeTableEndsWithMinusFive) {
  std::remove("index/FileType.txt");
  WriteRecords({File("a.txt")});
  EXPECT_EXIT(BuildWithOutputIn("out.txt"), ::testing::ExitedWithCode(251), "");
  EXPECT_EQ(Output().rfind(kFatalStart, 0), 0u) << Output();
  EXPECT_FALSE(dir_.Exists("index/MetaIndex.ind"));
}

TEST_F(BuildIndexFailureTest, MissingRecordFileEndsWithMinusFour) {
  EXPECT_EXIT(BuildWithOutputIn("out.txt"), ::testing::ExitedWithCode(252), "");
  EXPECT_EQ(Output().rfind(kFatalStart, 0), 0u) << Output();
}

TEST_F(BuildIndexFailureTest, UnwritableIndexFilesEndWithMinusTwoAndMinusThree) {
  WriteRecords({File("a.txt")});
  dir_.MakeDir("index/MetaIndex.ind");
  EXPECT_EXIT(BuildWithOutputIn("out.txt"), ::testing::ExitedWithCode(254), "");
  EXPECT_NE(Output().find(kFatalStart), std::string::npos) << Output();

  std::filesystem::remove("index/MetaIndex.ind");
  dir_.MakeDir("index/IndexData.ind");
  EXPECT_EXIT(BuildWithOutputIn("out.txt"), ::testing::ExitedWithCode(253), "");
  EXPECT_NE(Output().find(kFatalStart), std::string::npos) << Output();
}

// Keeps the message in a file, for the parent of a process that ends right after it.
class FilePrompter : public Prompter {
 public:
  PromptAnswer Ask(const char* text, const char* caption, PromptButtons) override {
    std::string line = std::string(caption) + "|" + text;
    WriteWholeFile("message.txt", line);
    return PromptAnswer::kOk;
  }
};

TEST_F(BuildIndexFailureTest, UnwritableConfigShowsTheMessageAndEndsWithMinusOne) {
  WriteRecords({File("a.txt")});
  std::remove("config.txt");
  dir_.MakeDir("config.txt");
  FilePrompter prompter;
  EXPECT_EXIT(Build(&prompter), ::testing::ExitedWithCode(255), "");
  EXPECT_EQ(dir_.Read("message.txt"), "打开文件失败|打开系统配置文件失败，请与软件开发商联系！");
  EXPECT_TRUE(dir_.Exists("index/MetaIndex.ind"));
}

}  // namespace
}  // namespace jollix
