// Pinyin searches served by the pinyin lists against the same searches examining every record,
// over generated names: the rows and their order must be the same, with far fewer records
// examined; lists that are damaged or not of the generation must not serve.
#include "desktop/PinyinIndex.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "common/IndexGeneration.h"
#include "common/TextFile.h"
#include "desktop/SearchServer.h"
#include "testing/FakePorts.h"
#include "testing/IndexedInstall.h"
#include "testing/Process.h"

namespace jollix {
namespace {

using testing::IndexedInstall;
using testing::ScopedCurrentDir;

// Characters with several readings (重 chong/zhong, 行 hang/xing, 乐 le/yue, 长 chang/zhang,
// 会 hui/kuai, 着 zhao/zhe/zhuo, 了 le/liao, 和 he/hu/huo, 传 chuan/zhuan, 朝 chao/zhao), with ü
// (绿 lv, 女 nv, 吕 lv), and plain ones.
const char* const kCharacters[] = {"重", "庆", "银", "行", "音", "乐", "长", "城", "会", "计",
                                   "绿", "色", "女", "吕", "年", "度", "报", "告", "照", "片",
                                   "着", "了", "和", "传", "说", "朝", "阳", "安", "恩", "欧"};
// Latin letters and digits, and bytes that form no GBK character (a lone lead byte, 0x80, 0xFF).
const char* const kOthers[] = {"a",      "bg",   "Zp",   "2024", "x",  "_",    "-",
                               "report", "\xB1", "\x80", "\xFF", "lv", "chong"};

class PinyinIndexTest : public ::testing::Test {
 protected:
  PinyinIndexTest() : install_(testing::kThreeFileTypes) {
    EXPECT_TRUE(ReadWholeFile((testing::BuildHome() + "/index/Pinyin.dat").c_str(), &table_text_));
    install_.WriteInstallFile("index/Pinyin.dat", table_text_);
    table_.Parse(table_text_);
  }

  // Names of one to five pieces, mostly characters; a few folders among them.
  void MakeTree(std::mt19937& random) {
    const char* const extensions[] = {".txt", ".doc", ".jpg", ""};
    for (int i = 0; i < 200; ++i) {
      std::string name;
      const int pieces = 1 + static_cast<int>(random() % 5);
      for (int k = 0; k < pieces; ++k) {
        name += random() % 4 != 0 ? kCharacters[random() % std::size(kCharacters)]
                                  : kOthers[random() % std::size(kOthers)];
      }
      name += "_" + std::to_string(i);
      if (i % 25 == 0) {
        install_.MakeFolder("d" + std::to_string(i % 3) + "/" + name);
      } else {
        install_.WriteFile("d" + std::to_string(i % 3) + "/" + name + extensions[random() % 4],
                           "x");
      }
      names_.push_back(name);
    }
  }

  // A word that spells a run of a name's characters, each by a whole reading or by its first
  // letter, in either case; or a few random letters.
  std::string Word(std::mt19937& random) {
    if (random() % 4 == 0) {
      std::string letters;
      for (int k = 1 + static_cast<int>(random() % 3); k > 0; --k) {
        letters += static_cast<char>('a' + random() % 26);
      }
      return letters;
    }
    const std::string& name = names_[random() % names_.size()];
    const std::vector<int> codes = PinyinCharacterCodes(name);
    std::vector<size_t> spelled;  // where characters with readings stand
    for (size_t k = 0; k < codes.size(); ++k) {
      if (!table_.Of(codes[k]).empty()) spelled.push_back(k);
    }
    if (spelled.empty()) return "lv";
    const size_t from = spelled[random() % spelled.size()];
    const size_t end = std::min(codes.size(), from + 1 + random() % 4);
    std::string word;
    for (size_t k = from; k < end; ++k) {
      const std::string_view all = table_.Of(codes[k]);
      if (all.empty()) break;
      std::vector<std::string> readings;
      for (size_t at = 0; at <= all.size();) {
        size_t blank = std::min(all.find(' ', at), all.size());
        readings.emplace_back(all.substr(at, blank - at));
        at = blank + 1;
      }
      std::string reading = readings[random() % readings.size()];
      if (random() % 2) reading.resize(1);
      if (random() % 3 == 0) reading[0] = static_cast<char>(reading[0] - 32);
      word += reading;
    }
    return word.empty() ? "lv" : word;
  }

  std::unique_ptr<SearchServer> Engine() {
    ScopedCurrentDir cd(install_.Install());
    return std::make_unique<SearchServer>(prompter_, icons_);
  }

  // The rows (folder and name) of a pinyin search and the number of records it examines.
  struct Found {
    std::vector<std::string> rows;
    size_t examined = 0;
  };
  Found Search(SearchServer& engine, const std::string& words) {
    ScopedCurrentDir cd(install_.Install());
    engine.Query = QueryRecord();
    engine.Query.NameWords = words;
    engine.Query.Pinyin = true;
    testing::FakeResultPage page;
    EXPECT_EQ(engine.Search(page), 0) << words;
    Found found;
    for (const auto& row : page.rows) {
      found.rows.push_back(row.cells.size() > 1 ? row.cells[1] + row.cells[0] : row.cells[0]);
    }
    found.examined = engine.FindCandidates().size();
    return found;
  }

  std::string PinyinFile() const { return install_.Install() + "/" + kPinyinIndexFile; }

  IndexedInstall install_;
  std::string table_text_;
  PinyinReadings table_;
  std::vector<std::string> names_;
  testing::FakePrompter prompter_;
  testing::FakeIconList icons_;
};

TEST_F(PinyinIndexTest, ListsGiveTheRowsOfExaminingEveryRecordFromFarFewerRecords) {
  std::mt19937 random(20261208);
  MakeTree(random);
  install_.Index();
  std::vector<std::string> queries;
  for (int i = 0; i < 48; ++i) {
    std::string words = Word(random);
    if (i % 5 == 0) words += " " + Word(random);  // two pinyin words
    if (i % 7 == 0) words += " txt";              // with a literal word
    if (i % 11 == 0) words = "2024 " + words;
    queries.push_back(words);
  }
  std::vector<Found> listed;
  auto engine = Engine();
  for (const std::string& q : queries) listed.push_back(Search(*engine, q));

  ASSERT_EQ(std::remove(PinyinFile().c_str()), 0);
  auto scanning = Engine();
  size_t examined_listed = 0, examined_scanned = 0, rows = 0;
  for (size_t i = 0; i < queries.size(); ++i) {
    const Found scanned = Search(*scanning, queries[i]);
    EXPECT_EQ(listed[i].rows, scanned.rows) << queries[i];
    examined_listed += listed[i].examined;
    examined_scanned += scanned.examined;
    rows += scanned.rows.size();
  }
  EXPECT_GT(rows, queries.size());  // the words do find names
  EXPECT_LT(examined_listed * 4, examined_scanned);
}

TEST_F(PinyinIndexTest, ListsDamagedOrOfAnotherGenerationAreNotUsed) {
  std::mt19937 random(7);
  MakeTree(random);
  install_.Index();
  const std::string queries[] = {"chongqing", "lvse", "zp txt"};
  std::vector<Found> scanned;
  const std::string pristine = PinyinFile() + ".kept";
  ASSERT_EQ(link(PinyinFile().c_str(), pristine.c_str()), 0);
  ASSERT_EQ(std::remove(PinyinFile().c_str()), 0);
  {
    auto engine = Engine();
    for (const std::string& q : queries) scanned.push_back(Search(*engine, q));
  }
  struct Spoil {
    const char* what;
    std::function<void(int fd)> apply;
    bool restamp;  // given the generation's stamp again after the spoil
  };
  auto overwrite = [](int fd, off_t at, const std::string& bytes) {
    ASSERT_EQ(pwrite(fd, bytes.data(), bytes.size(), at), static_cast<ssize_t>(bytes.size()));
  };
  const Spoil spoils[] = {
      {"postings",
       [&](int fd) {
         struct stat st;
         fstat(fd, &st);
         const off_t data = kPinyinHeaderBytes + off_t{kPinyinEntryBytes} * kPinyinListCount;
         overwrite(fd, data, std::string(st.st_size - data, '\x01'));
       },
       true},
      {"directory",  // every list told empty
       [&](int fd) {
         for (int list = 0; list < kPinyinListCount; ++list) {
           overwrite(fd, kPinyinHeaderBytes + off_t{kPinyinEntryBytes} * list + 8,
                     std::string(4, '\0'));
         }
       },
       true},
      {"table", [&](int fd) { overwrite(fd, 24, "12345678"); }, true},
      {"stamp", [&](int) {}, false},
  };
  for (const Spoil& spoil : spoils) {
    std::string bytes;
    ASSERT_TRUE(ReadWholeFile(pristine.c_str(), &bytes));
    install_.WriteInstallFile(kPinyinIndexFile, bytes);
    struct stat data;
    ASSERT_EQ(stat((install_.Install() + "/" + kIndexDataFile).c_str(), &data), 0);
    const int fd = open(PinyinFile().c_str(), O_RDWR);
    ASSERT_GE(fd, 0);
    spoil.apply(fd);
    const struct timespec times[2] = {data.st_mtim, data.st_mtim};
    if (spoil.restamp) futimens(fd, times);
    close(fd);
    auto engine = Engine();
    for (size_t i = 0; i < std::size(queries); ++i) {
      const Found found = Search(*engine, queries[i]);
      EXPECT_EQ(found.rows, scanned[i].rows) << spoil.what << " " << queries[i];
      EXPECT_EQ(found.examined, scanned[i].examined) << spoil.what << " " << queries[i];
    }
  }
}

}  // namespace
}  // namespace jollix
