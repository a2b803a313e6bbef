// The default data as committed: what a new installation starts from.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>

#include "common/ConfigFile.h"
#include "common/FileTypeFile.h"
#include "common/Gbk.h"
#include "common/TextFile.h"

namespace jollix {
namespace {

std::string DataFile(const char* name) { return std::string(JOLLIX_DATA_DIR) + "/" + name; }

TEST(DefaultData, ConfigRunsTheFirstIndexAndThenDaily) {
  IndexConfig config;
  ASSERT_TRUE(ReadConfig(DataFile("config.txt").c_str(), &config));
  EXPECT_EQ(config.UpdateFrequency, kUpdateDaily);
  EXPECT_EQ(config.LastIndexTime, 0);
  EXPECT_STREQ(config.FirstServerAddress, "127.0.0.1");
  EXPECT_STREQ(config.SecondServerAddress, "127.0.0.1");
}

TEST(DefaultData, TypeTableNumbersItsRowsAndCoversEveryClass) {
  std::string path = DataFile("index/FileType.txt");
  std::string text;
  ASSERT_TRUE(ReadWholeFile(path.c_str(), &text));
  int lines = 0;
  for (size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 1)) {
    ++lines;
    EXPECT_EQ(text[at - 1], '\r') << "line " << lines;
  }

  // Every reader takes every row: all four fields, numbered 1, 2, 3 ... in row order.
  std::map<int, int> per_class;
  std::set<std::string> extensions;
  int row = 0;
  ASSERT_TRUE(ReadFileTypes(
      path.c_str(), FileTypeReader::kSettingsDialog, [&](const FileTypeLine& line, int) {
        ++row;
        EXPECT_EQ(line.TypeNumber, row);
        ++per_class[line.TypeClass];
        std::string ext = line.Extension;
        EXPECT_TRUE(extensions.insert(ext).second) << ext;
        for (char c : ext) EXPECT_FALSE(c >= 'A' && c <= 'Z') << ext;
        // A Chinese description holds GBK double-byte text.
        std::string d = line.Description;
        EXPECT_TRUE(std::any_of(d.begin(), d.end(), [](char c) { return c & 0x80; })) << ext;
      }));
  EXPECT_EQ(row, lines);
  EXPECT_GE(row, 80);
  for (int c = kTextClass; c <= kOtherClass; ++c) EXPECT_GT(per_class[c], 0) << "class " << c;
  for (const char* e : {"txt", "doc", "pdf", "jpg", "mp3", "avi", "exe", "zip"}) {
    EXPECT_TRUE(extensions.count(e)) << e;
  }
}

TEST(DefaultData, TranslationTableMapsAsciiBlankAndSimplifiedCharacters) {
  std::string table;
  ASSERT_TRUE(ReadWholeFile(DataFile("index/Translation.dat").c_str(), &table));
  ASSERT_EQ(table.size(), 131072u);
  auto entry = [&](int code) { return table.substr(code * 2, 2); };
  auto code = [](const char* c) {
    return static_cast<unsigned char>(c[0]) * 256 + static_cast<unsigned char>(c[1]);
  };
  EXPECT_EQ(entry('a'), "ａ");
  EXPECT_EQ(entry('Z'), "Ｚ");
  EXPECT_EQ(entry(' '), "　");
  EXPECT_EQ(entry(code("汉")), "漢");
  EXPECT_EQ(entry(code("国")), "國");
  EXPECT_EQ(entry(code("后")), "後");
  EXPECT_EQ(entry(code("中")), "中");
  EXPECT_EQ(entry(code("漢")), "漢");
}

TEST(DefaultData, PlaceholdersStandForTheDocumentAndMusicFormats) {
  for (const char* e : {"doc", "pdf", "xls", "ppt", "rtf", "mp3", "rm", "wma", "unknowextend"}) {
    std::string content;
    EXPECT_TRUE(
        ReadWholeFile(DataFile((std::string("index/virtualfile.") + e).c_str()).c_str(), &content))
        << e;
  }
}

TEST(DefaultData, HelpPageIsUtf8HtmlWhoseContentsLinksAllLead) {
  std::string page;
  ASSERT_TRUE(ReadWholeFile(DataFile("JollixHelp.html").c_str(), &page));
  std::string gbk;
  EXPECT_TRUE(Utf8ToGbk(page, &gbk)) << "not valid UTF-8";
  EXPECT_NE(page.find("<meta charset=\"utf-8\">"), std::string::npos);
  EXPECT_NE(page.find(reinterpret_cast<const char*>(u8"用户手册")), std::string::npos);
  // Every link within the page names an id of the page.
  int links = 0;
  for (size_t at = page.find("href=\"#"); at != std::string::npos;
       at = page.find("href=\"#", at + 1)) {
    const size_t start = at + 7;
    const std::string id = page.substr(start, page.find('"', start) - start);
    EXPECT_NE(page.find("id=\"" + id + "\""), std::string::npos) << id;
    ++links;
  }
  EXPECT_GE(links, 8);
}

}  // namespace
}  // namespace jollix
