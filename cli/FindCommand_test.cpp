// jollix find run as a process on an installation in a temp folder, indexed by jollix index.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "common/TextFile.h"
#include "testing/DocumentFiles.h"
#include "testing/IndexDamage.h"
#include "testing/Process.h"
#include "testing/TestInstallation.h"

namespace jollix {
namespace {

using testing::BuildHome;
using testing::BuildProgram;
using testing::ProgramEnv;
using testing::ProgramRun;
using testing::RunHeadless;
using testing::TestInstallation;

std::string U8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::string part;
  std::istringstream in(text);
  while (std::getline(in, part, separator)) parts.push_back(part);
  return parts;
}

class JollixFind : public ::testing::Test {
 protected:
  void SetUp() override {
    install_.WriteConfig(86400, 0);
    std::string table;
    ASSERT_TRUE(ReadWholeFile((BuildHome() + "/index/Translation.dat").c_str(), &table));
    install_.dir().Write("home/index/Translation.dat", table);
    ProgramRun index =
        RunHeadless(BuildProgram("jollix"), {"jollix", "index", "--now"}, install_.Env());
    ASSERT_EQ(index.ExitStatus, 0) << index.Err;
  }
  ProgramRun Find(std::vector<std::string> args) {
    args.insert(args.begin(), {"jollix", "find"});
    return RunHeadless(BuildProgram("jollix"), args, install_.Env());
  }
  // A file of the installation's tree last written at seconds since 1970.
  void SetModified(const std::string& relative, int64_t seconds) {
    install_.dir().Write(relative, "x");
    const struct timespec times[2] = {{static_cast<time_t>(seconds), 0},
                                      {static_cast<time_t>(seconds), 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, (install_.dir() / relative).c_str(), times, 0), 0);
  }
  ProgramEnv Shanghai() const {
    ProgramEnv env = install_.Env();
    env.Set.push_back({"TZ", "Asia/Shanghai"});
    return env;
  }
  // The rows printed, each split into its columns.
  static std::vector<std::vector<std::string>> Rows(const ProgramRun& run) {
    std::vector<std::vector<std::string>> rows;
    for (const std::string& line : Split(run.Out, '\n')) rows.push_back(Split(line + "\t", '\t'));
    return rows;
  }

  TestInstallation install_;
};

TEST_F(JollixFind, PrintsEachRowAsTabSeparatedUtf8Columns) {
  ProgramRun run = Find({"A"});
  ASSERT_EQ(run.ExitStatus, 0) << run.Err;
  auto rows = Rows(run);
  ASSERT_EQ(rows.size(), 1u) << run.Out;
  ASSERT_EQ(rows[0].size(), 6u) << run.Out;
  EXPECT_EQ(rows[0][0], "a.txt");
  EXPECT_EQ(rows[0][1], install_.Tree() + "/");
  EXPECT_EQ(rows[0][2], "5");         // without the padding of the page's size column
  EXPECT_EQ(rows[0][4].size(), 19u);  // 2007-01-28 16:00:00
  EXPECT_NE(rows[0][5], "2000");

  run = Find({U8(u8"文档")});
  ASSERT_EQ(run.ExitStatus, 0) << run.Err;
  rows = Rows(run);
  ASSERT_EQ(rows.size(), 1u) << run.Out;
  EXPECT_EQ(rows[0][0], U8(u8"文档.doc"));
}

TEST_F(JollixFind, SearchesContentOnTheTextTab) {
  ProgramRun run = Find({"--tab", "text", "--content", "alpha"});
  ASSERT_EQ(run.ExitStatus, 0) << run.Err;
  EXPECT_EQ(Split(run.Out, '\t')[0], "a.txt");
  run = Find({"--content=Alpha"});  // case kept
  ASSERT_EQ(run.ExitStatus, 0) << run.Err;
  EXPECT_EQ(run.Out, U8(u8"搜索完毕，没有结果可显示\t\t\t\t\t\n"));
}

TEST_F(JollixFind, FindsWordsInsideDocuments) {
  const std::string word =
      R"(<w:document xmlns:w="http://schemas.openxmlformats.org/wordprocessingml/2006/main">)";
  const testing::TempDir& dir = install_.dir();
  dir.Write("tree/lease.docx",
            testing::ZipBytes({{"word/document.xml",
                                word + U8(u8"<w:p><w:r><w:t>租赁合</w:t></w:r><w:r><w:t>同</w:t>"
                                          u8"</w:r></w:p></w:document>")}}));
  dir.Write("tree/other.docx",
            testing::ZipBytes({{"word/document.xml", word + "<w:p><w:r><w:t>none</w:t></w:r></w:p>"
                                                            "</w:document>"}}));
  dir.Write("tree/scan.pdf", testing::CidFontPdf("5408540C"));
  dir.Write("tree/memo.rtf", "{\\rtf1\\ansi\\ansicpg936 \\'ba\\'cf\\'cd\\'ac}");
  dir.Write("tree/broken.pdf", "%PDF-1.4 broken");
  ProgramEnv env = install_.Env();
  env.Set.push_back({"XDG_CACHE_HOME", dir / "cache"});
  ASSERT_EQ(RunHeadless(BuildProgram("jollix"), {"jollix", "index", "--now"}, env).ExitStatus, 0);
  for (int round = 0; round < 2; ++round) {  // extracted, then from the cache
    SCOPED_TRACE(round);
    ProgramRun run = RunHeadless(BuildProgram("jollix"),
                                 {"jollix", "find", "--paths", "--content", U8(u8"合同")}, env);
    ASSERT_EQ(run.ExitStatus, 0) << run.Err;
    std::vector<std::string> paths = Split(run.Out, '\n');
    std::sort(paths.begin(), paths.end());
    EXPECT_EQ(paths, (std::vector<std::string>{install_.Tree() + "/lease.docx",
                                               install_.Tree() + "/memo.rtf",
                                               install_.Tree() + "/scan.pdf"}));
    // Said once, when the document was tried.
    EXPECT_EQ(run.Err.find("broken.pdf") != std::string::npos, round == 0) << run.Err;
  }
  EXPECT_TRUE(std::filesystem::is_directory(dir / "cache/jollixsearch/text"));
}

TEST_F(JollixFind, WithoutTheReadersModuleDocumentsArePassedOverOnce) {
  // A copy of the program alone, without jollix-documents.so beside it.
  const testing::TempDir& dir = install_.dir();
  dir.MakeDir("bare");
  const std::string bare = dir / "bare/jollix";
  std::filesystem::copy_file(BuildProgram("jollix"), bare);
  dir.Write("tree/one.docx", std::string("PK\x03\x04", 4) + U8(u8"合同"));
  dir.Write("tree/two.pdf", "%PDF-1.4 " + U8(u8"合同"));
  dir.Write("tree/b.txt", U8(u8"合同"));
  ProgramEnv env = install_.Env();
  env.Set.push_back({"XDG_CACHE_HOME", dir / "cache"});
  ASSERT_EQ(RunHeadless(bare, {"jollix", "index", "--now"}, env).ExitStatus, 0);
  ProgramRun run = RunHeadless(bare, {"jollix", "find", "--paths", "--content", U8(u8"合同")}, env);
  ASSERT_EQ(run.ExitStatus, 0) << run.Err;
  EXPECT_EQ(run.Out, install_.Tree() + "/b.txt\n");
  EXPECT_EQ(Split(run.Err, '\n').size(), 1u) << "[" << run.Err << "]";
  EXPECT_NE(run.Err.find("jollix-documents.so"), std::string::npos) << run.Err;
}

TEST_F(JollixFind, PathsPrintsOnlyTheFullPathOfEachHit) {
  ProgramRun run = Find({"--paths", "a.txt"});
  ASSERT_EQ(run.ExitStatus, 0) << run.Err;
  EXPECT_EQ(run.Out, install_.Tree() + "/a.txt\n");
  run = Find({"--paths", U8(u8"文档")});  // the disk spelling of a Chinese name
  EXPECT_EQ(run.Out, install_.Tree() + "/" + U8(u8"文档.doc") + "\n");
  run = Find({"-0", "--tab", "text", "--content", "alpha"});
  EXPECT_EQ(run.Out, install_.Tree() + "/a.txt" + std::string(1, '\0'));
  run = Find({"--paths", "nothing-has-this-name"});
  EXPECT_EQ(run.ExitStatus, 0);
  EXPECT_EQ(run.Out, "");  // not the no-result row
  EXPECT_EQ(Find({"--paths", "."}).Out.find('\t'), std::string::npos);
}

TEST_F(JollixFind, FiltersByFolderSizeAndDate) {
  EXPECT_NE(Find({"--folder", install_.Tree() + "/SUB", "b"}).Out.find("b.jpg"), std::string::npos);
  EXPECT_EQ(Find({"--folder", install_.Tree() + "/Other", "b"}).Out.find(".jpg"),
            std::string::npos);
  EXPECT_NE(Find({"--size", "lt1m", "a.txt"}).Out.find("a.txt"), std::string::npos);
  EXPECT_EQ(Find({"--size", "gt100m", "a.txt"}).Out.find("a.txt"), std::string::npos);
  EXPECT_EQ(Find({"--to", "1999-12-31", "a.txt"}).Out.find("a.txt"), std::string::npos);
  EXPECT_NE(Find({"--from", "2000-01-01", "a.txt"}).Out.find("a.txt"), std::string::npos);
}

// Under TZ=Asia/Shanghai the times are the file manager's (`ls -l`, `date -d @SECONDS`) and a
// day is the Shanghai day: 2026-03-01 00:00 there is 2026-02-28 16:00 UTC, so the two files
// below lie on one UTC day but on two local days.
TEST_F(JollixFind, ShowsAndPicksTimesInTheLocalZone) {
  SetModified("tree/eve.txt", 1772294399);     // 2026-02-28 23:59:59 in Shanghai, 15:59:59 UTC
  SetModified("tree/spring.txt", 1772299800);  // 2026-03-01 01:30:00 in Shanghai, 17:30:00 UTC
  ProgramRun index = RunHeadless(BuildProgram("jollix"), {"jollix", "index", "--now"}, Shanghai());
  ASSERT_EQ(index.ExitStatus, 0) << index.Err;
  struct Case {
    std::vector<std::string> Dates;
    std::vector<std::string> Rows;  // name and time of each row, sorted
  } cases[] = {
      {{}, {"eve.txt 2026-02-28 23:59:59", "spring.txt 2026-03-01 01:30:00"}},
      {{"--from", "2026-03-01"}, {"spring.txt 2026-03-01 01:30:00"}},
      {{"--to", "2026-02-28"}, {"eve.txt 2026-02-28 23:59:59"}},
      {{"--from", "2026-02-28", "--to", "2026-02-28"}, {"eve.txt 2026-02-28 23:59:59"}},
      {{"--from", "2026-03-01", "--to", "2026-03-01"}, {"spring.txt 2026-03-01 01:30:00"}},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args = {"jollix", "find", ".txt", "--to", "2026-12-31"};
    args.insert(args.end(), c.Dates.begin(), c.Dates.end());  // a later --to wins
    ProgramRun run = RunHeadless(BuildProgram("jollix"), args, Shanghai());
    ASSERT_EQ(run.ExitStatus, 0) << run.Err;
    std::vector<std::string> rows;
    for (const auto& row : Rows(run)) {
      if (row[0] == "eve.txt" || row[0] == "spring.txt") rows.push_back(row[0] + " " + row[4]);
    }
    std::sort(rows.begin(), rows.end());
    EXPECT_EQ(rows, c.Rows) << (c.Dates.empty() ? "" : c.Dates[1]) << "\n" << run.Out;
  }
}

TEST_F(JollixFind, ARefusedQueryExitsWithOneAndSaysWhy) {
  ProgramRun run = Find({"*", "?"});
  EXPECT_EQ(run.ExitStatus, 1);
  EXPECT_EQ(run.Out, "");
  EXPECT_NE(run.Err.find(U8(u8"文件名关键词和文件内容关键词不能同时为空")), std::string::npos)
      << run.Err;
  run = Find({"--from", "2007-02-01", "--to", "2007-01-31", "a"});
  EXPECT_EQ(run.ExitStatus, 1);
  EXPECT_NE(run.Err.find(U8(u8"您输入的文件时间开始时间与结束时间不正确")), std::string::npos)
      << run.Err;
  // The same day for both is one whole day.
  EXPECT_EQ(Find({"--from", "2007-01-31", "--to", "2007-01-31", "a"}).ExitStatus, 0);
}

TEST_F(JollixFind, PinyinFindsChineseNamesByTheirSpellingOnlyWhenAsked) {
  std::string table;
  ASSERT_TRUE(ReadWholeFile((BuildHome() + "/index/Pinyin.dat").c_str(), &table));
  install_.dir().Write("home/index/Pinyin.dat", table);
  for (const char8_t* name : {u8"年度报告.docx", u8"bg-notes.txt", u8"音乐.mp3"}) {
    install_.dir().Write("tree/" + U8(name), "x");
  }
  ProgramRun index =
      RunHeadless(BuildProgram("jollix"), {"jollix", "index", "--now"}, install_.Env());
  ASSERT_EQ(index.ExitStatus, 0) << index.Err;

  ProgramRun run = Find({"--paths", "--pinyin", "ndbg"});
  ASSERT_EQ(run.ExitStatus, 0) << run.Err;
  EXPECT_EQ(run.Out, install_.Tree() + "/" + U8(u8"年度报告.docx") + "\n");
  run = Find({"--paths", "--pinyin", "YinYue"});
  EXPECT_EQ(run.Out, install_.Tree() + "/" + U8(u8"音乐.mp3") + "\n");
  run = Find({"--paths", "bg"});  // without --pinyin: only the names that hold "bg"
  ASSERT_EQ(run.ExitStatus, 0) << run.Err;
  EXPECT_EQ(run.Out, install_.Tree() + "/bg-notes.txt\n");
  run = Find({"--paths", "ndbg"});
  EXPECT_EQ(run.Out, "");
}

TEST_F(JollixFind, UsageErrorsExitWithTwo) {
  for (const std::vector<std::string>& args : {std::vector<std::string>{"--tab", "music"},
                                               {"--size", "big"},
                                               {"--from", "2007-02-30"},
                                               {"--to", "07-01-01"},
                                               {"--folder"},
                                               {"--color", "a"}}) {
    ProgramRun run = Find(args);
    EXPECT_EQ(run.ExitStatus, 2) << args[0];
    EXPECT_NE(run.Err.find("jollix find --help"), std::string::npos) << run.Err;
  }
  ProgramRun help = Find({"--help"});
  EXPECT_EQ(help.ExitStatus, 0);
  for (const char* option : {"--content", "--folder", "--tab", "--from", "--to", "--size"}) {
    EXPECT_NE(help.Out.find(option), std::string::npos) << option;
  }
  EXPECT_NE(help.Out.find("jollix find "), std::string::npos);
  EXPECT_NE(help.Out.find(U8(u8"--content 合同")), std::string::npos);  // UTF-8 on the terminal
}

TEST_F(JollixFind, TheSystemsOwnEndsKeepTheirCodes) {
  std::filesystem::remove(install_.Home() + "/index/Translation.dat");
  ProgramRun run = Find({"--content", "alpha"});
  EXPECT_EQ(run.ExitStatus, 254);  // -2
  EXPECT_NE(run.Err.find(U8(u8"打开系统文件失败，请与开发商联系")), std::string::npos) << run.Err;
  EXPECT_EQ(run.Out, "");

  std::filesystem::remove(install_.Home() + "/index/AllFile.dat");
  EXPECT_EQ(Find({"a"}).ExitStatus, 255);  // -1
}

TEST_F(JollixFind, WithoutAnIndexNothingIsSearched) {
  std::filesystem::remove(install_.Home() + "/index/IndexData.ind");
  ProgramRun run = Find({"a"});
  EXPECT_EQ(run.ExitStatus, 1);
  EXPECT_EQ(run.Out, "");
  EXPECT_NE(run.Err.find(U8(u8"打开索引文件失败，请确保已经建立索引！")), std::string::npos)
      << run.Err;
  EXPECT_NE(run.Err.find("jollix index"), std::string::npos);
}

TEST_F(JollixFind, ADamagedIndexIsRefusedWithTheWayToRebuildIt) {
  for (testing::IndexDamage damage : testing::kIndexDamages) {
    SCOPED_TRACE(testing::IndexDamageName(damage));
    // A fresh index for each damage.
    ProgramRun index =
        RunHeadless(BuildProgram("jollix"), {"jollix", "index", "--now"}, install_.Env());
    ASSERT_EQ(index.ExitStatus, 0) << index.Err;
    testing::DamageIndex(install_.Home(), damage);
    std::vector<std::vector<std::string>> searches = {{"."}};
    if (testing::SeenAtLoad(damage)) searches.push_back({"--tab", "text"});
    for (const auto& args : searches) {
      ProgramRun run = Find(args);
      EXPECT_EQ(run.ExitStatus, 1) << args[0];
      EXPECT_EQ(run.Out, "");
      EXPECT_NE(run.Err.find("the index is damaged"), std::string::npos) << run.Err;
      EXPECT_NE(run.Err.find("'jollix index --now'"), std::string::npos) << run.Err;
    }
  }
}

}  // namespace
}  // namespace jollix
