#include "indexer/ScanDisk.h"

#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "common/FileRecord.h"
#include "common/Gbk.h"
#include "testing/FakePorts.h"
#include "testing/TempDir.h"

namespace jollix {
namespace {

using testing::FakePrompter;
using testing::ScopedCurrentDir;
using testing::TempDir;

constexpr int32_t kTime = 1170000000;

void SetTime(const std::string& path, int32_t t = kTime) {
  struct timespec times[2] = {{t, 0}, {t, 0}};
  ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW), 0) << path;
}

// Names of a folder in the order the file system lists them.
std::vector<std::string> ListingOrder(const std::string& folder) {
  std::vector<std::string> names;
  DIR* d = opendir(folder.c_str());
  while (dirent* e = readdir(d)) {
    if (e->d_name[0] != '.') names.push_back(e->d_name);
  }
  closedir(d);
  return names;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string l; std::getline(in, l);) lines.push_back(l + "\n");
  return lines;
}

// An installation folder with index/ and the given ScanFolder.txt, made current.
class ScanDiskTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_.MakeDir("install/index");
    dir_.MakeDir("tree");
    cwd_ = std::make_unique<ScopedCurrentDir>(dir_ / "install");
  }
  void SetFolders(const std::string& text) { dir_.Write("install/index/ScanFolder.txt", text); }
  std::string Tree(const std::string& rel = "") const {
    return rel.empty() ? dir_ / "tree" : dir_ / ("tree/" + rel);
  }
  std::string AllFile() const { return dir_.Read("install/index/AllFile.dat"); }
  int RunScan() {
    ScanDisk scan(prompter_, progress_);
    return scan.Scan();
  }

  TempDir dir_;
  std::unique_ptr<ScopedCurrentDir> cwd_;
  FakePrompter prompter_;
  ScanProgress progress_;
};

TEST(FolderHash, MultipliesBy17OverUnsignedBytesUpToTheLineEnd) {
  EXPECT_EQ(FolderHash(""), 0u);
  EXPECT_EQ(FolderHash("A"), 65u);
  EXPECT_EQ(FolderHash("AB"), 65u * 17 + 66);
  EXPECT_EQ(FolderHash("AB\r\nzz"), FolderHash("AB"));
  EXPECT_EQ(FolderHash("\xFF"), 255u);  // unsigned, not -1
  std::string long_path(400, 'x');
  uint32_t h = 0;
  for (int i = 0; i < 300; ++i) h = h * 17 + 'x';
  EXPECT_EQ(FolderHash(long_path.c_str()), h);
  EXPECT_EQ(RecordFileName(4000000000u), "index/File4000000000.dat");
}

TEST_F(ScanDiskTest, WritesAFolderWhileListingItAndItsSubfoldersAfterwards) {
  dir_.Write("tree/Docs/a.txt", std::string(120, 'a'));
  dir_.Write("tree/Docs/Sub/b.doc", "bb");
  SetTime(Tree("Docs/a.txt"));
  SetTime(Tree("Docs/Sub/b.doc"));
  SetTime(Tree("Docs/Sub"));
  std::string docs = Tree("Docs");
  SetFolders("_" + docs + "\r\n");
  EXPECT_EQ(RunScan(), 0);

  std::string a = "_a.txt\t" + docs + "/\t120\t1170000000\n";
  std::string sub = "DSub\t" + docs + "/\t0\t1170000000\n";
  std::string b = "_b.doc\t" + docs + "/Sub/\t2\t1170000000\n";
  std::vector<std::string> order = ListingOrder(docs);
  std::string expected = order[0] == "a.txt" ? a + sub + b : sub + a + b;
  EXPECT_EQ(AllFile(), expected);
  EXPECT_EQ(dir_.Read("install/" + RecordFileName(FolderHash(docs.c_str()))), expected);
}

TEST_F(ScanDiskTest, PendingSubfoldersAreListedLastFoundFirst) {
  for (const char* d : {"p", "q", "r"}) dir_.Write(std::string("tree/") + d + "/f", "");
  SetFolders("_" + Tree() + "\n");
  RunScan();
  std::vector<std::string> order = ListingOrder(Tree());
  std::vector<std::string> lines = Lines(AllFile());
  ASSERT_EQ(lines.size(), 6u);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(lines[i].substr(0, 2), "D" + order[i]);
    // The contents come in reverse order of discovery.
    EXPECT_NE(lines[3 + i].find(Tree(order[2 - i]) + "/"), std::string::npos) << lines[3 + i];
  }
}

TEST_F(ScanDiskTest, DotNamesAndEverythingBelowThemAreLeftOut) {
  dir_.Write("tree/.profile", "x");
  dir_.Write("tree/.git/config", "x");
  dir_.Write("tree/.git/objects/ab", "x");
  dir_.Write("tree/keep.txt", "x");
  SetFolders("_" + Tree() + "\n");
  RunScan();
  std::vector<std::string> lines = Lines(AllFile());
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].substr(0, 9), "_keep.txt");
  EXPECT_EQ(progress_.EntriesWritten.load(), 1);
}

TEST_F(ScanDiskTest, CaseVariantLinesGiveTwoRecordFilesBothMerged) {
  dir_.Write("tree/Data/x.txt", "");
  dir_.Write("tree/data/y.txt", "");
  SetFolders("_" + Tree("Data") + "\r\n_" + Tree("data") + "\r\n");
  RunScan();
  EXPECT_TRUE(dir_.Exists("install/" + RecordFileName(FolderHash(Tree("Data").c_str()))));
  EXPECT_TRUE(dir_.Exists("install/" + RecordFileName(FolderHash(Tree("data").c_str()))));
  std::vector<std::string> lines = Lines(AllFile());
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].substr(0, 6), "_x.txt");
  EXPECT_EQ(lines[1].substr(0, 6), "_y.txt");
}

TEST_F(ScanDiskTest, KeptFolderContributesItsOldRecordsAndNothingWithoutThem) {
  std::string music = Tree("music"), video = Tree("video"), docs = Tree("docs");
  dir_.Write("tree/music/new.mp3", "");  // never scanned: the old records stay
  dir_.Write("tree/docs/d.txt", "");
  dir_.Write("install/" + RecordFileName(FolderHash(music.c_str())),
             "_old.mp3\t" + music + "/\t5\t6\n");
  SetFolders("#" + music + "\r\n#" + video + "\r\n_" + docs + "\r\n");
  RunScan();
  std::vector<std::string> lines = Lines(AllFile());
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], "_old.mp3\t" + music + "/\t5\t6\n");
  EXPECT_EQ(lines[1].substr(0, 6), "_d.txt");
  EXPECT_FALSE(dir_.Exists("install/" + RecordFileName(FolderHash(video.c_str()))));
  EXPECT_EQ(progress_.FoldersToScan.load(), 1);
  EXPECT_EQ(progress_.FoldersDone.load(), 1);
}

TEST_F(ScanDiskTest, WithoutRescanLinesAllFileIsStillRebuilt) {
  std::string kept = Tree("kept");
  dir_.Write("install/index/AllFile.dat", "_stale\t/x/\t1\t1\n");
  dir_.Write("install/" + RecordFileName(FolderHash(kept.c_str())), "_k\t" + kept + "/\t1\t2\n");
  SetFolders("#" + kept + "\n xignored\n");
  RunScan();
  EXPECT_EQ(AllFile(), "_k\t" + kept + "/\t1\t2\n");
  EXPECT_EQ(progress_.FoldersToScan.load(), 0);
  EXPECT_EQ(progress_.Percent(), 100);
}

TEST_F(ScanDiskTest, TheHundredFirstFolderLineIsNeverRead) {
  std::string text;
  for (int i = 0; i < 100; ++i) text += " ignored" + std::to_string(i) + "\n";
  dir_.Write("tree/f/x", "");
  text += "_" + Tree("f") + "\n";
  SetFolders(text);
  RunScan();
  EXPECT_EQ(AllFile(), "");
  EXPECT_EQ(progress_.FoldersToScan.load(), 0);
}

TEST_F(ScanDiskTest, EmptyPathAndRepeatedLinesAddNothingTwice) {
  dir_.Write("tree/f/x", "");
  dir_.Write("install/index/File0.dat", "_ghost\t/g/\t1\t1\n");
  SetFolders("_\n#\n_" + Tree("f") + "\n_" + Tree("f") + "\n");
  RunScan();
  std::vector<std::string> lines = Lines(AllFile());
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].substr(0, 2), "_x");
}

TEST_F(ScanDiskTest, GbkNameIsRecordedAsGbkAndFoundAgainOnDisk) {
  std::string utf8_name = "\xE6\x96\x87\xE6\xA1\xA3.doc";  // 文档.doc
  dir_.Write("tree/" + utf8_name, "1234");
  dir_.Write("tree/raw\xE9.txt", "");  // not UTF-8: kept as raw bytes
  SetFolders("_" + Tree() + "\n");
  RunScan();
  std::string all = AllFile();
  EXPECT_NE(all.find("_文档.doc\t"), std::string::npos);
  EXPECT_NE(all.find("_raw\xE9.txt\t"), std::string::npos);
  for (const std::string& line : Lines(all)) {
    FileRecord r;
    ASSERT_TRUE(ParseFileRecord(line, &r));
    std::string gbk_path = std::string(r.Folder) + std::string(r.Name);
    struct stat st;
    EXPECT_EQ(lstat(DiskPathFromGbk(gbk_path).c_str(), &st), 0) << line;
  }
}

TEST_F(ScanDiskTest, SymbolicLinksAreRecordedAsFilesAndNeverFollowed) {
  dir_.Write("tree/real/inside.txt", "");
  ASSERT_EQ(symlink(Tree("real").c_str(), Tree("link").c_str()), 0);
  ASSERT_EQ(symlink(Tree().c_str(), Tree("real/loop").c_str()), 0);
  SetFolders("_" + Tree() + "\n");
  RunScan();
  std::string all = AllFile();
  EXPECT_NE(all.find("_link\t"), std::string::npos);
  EXPECT_NE(all.find("_loop\t"), std::string::npos);
  EXPECT_EQ(Lines(all).size(), 4u);  // real, link, inside.txt, loop
}

TEST_F(ScanDiskTest, FilesOfFourGibibytesAndMoreAreRecordedAsAllOnes) {
  int fd = open(Tree("huge.iso").c_str(), O_CREAT | O_WRONLY, 0644);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(ftruncate(fd, 5LL << 30), 0);  // sparse
  close(fd);
  SetFolders("_" + Tree() + "\n");
  RunScan();
  FileRecord r;
  ASSERT_TRUE(ParseFileRecord(AllFile(), &r));
  EXPECT_EQ(r.UnsignedSize(), 4294967295u);
}

TEST_F(ScanDiskTest, PathsTooLongForTheBuffersAreLeftOutSafely) {
  std::string rel;
  for (int i = 0; i < 16; ++i) rel += (i ? "/" : "") + std::string(200, 'a' + i);
  std::filesystem::create_directories(Tree(rel));
  SetFolders("_" + Tree() + "\n");
  RunScan();
  for (const std::string& line : Lines(AllFile())) {
    FileRecord r;
    ASSERT_TRUE(ParseFileRecord(line, &r));
    EXPECT_LT(r.Folder.size() + r.Name.size(), kMaxFolderPath);
  }
  EXPECT_GT(Lines(AllFile()).size(), 10u);
  EXPECT_LT(Lines(AllFile()).size(), 16u);
}

TEST_F(ScanDiskTest, MissingFolderGivesAnEmptyRecordFile) {
  SetFolders("_" + Tree("absent") + "\n");
  EXPECT_EQ(RunScan(), 0);
  EXPECT_TRUE(dir_.Exists("install/" + RecordFileName(FolderHash(Tree("absent").c_str()))));
  EXPECT_EQ(AllFile(), "");
  EXPECT_EQ(progress_.FoldersDone.load(), 1);
}

TEST_F(ScanDiskTest, ProgressCountsEntriesAndNamesTheLastSubfolder) {
  dir_.Write("tree/one/two/f.txt", "");
  SetFolders("_" + Tree() + "\n");
  RunScan();
  EXPECT_EQ(progress_.EntriesWritten.load(), 3);
  EXPECT_EQ(progress_.CurrentFolder(), Tree("one/two"));
  EXPECT_EQ(progress_.Percent(), 100);
}

using ScanDiskDeathTest = ScanDiskTest;

TEST_F(ScanDiskDeathTest, MissingFolderListPrintsTheFatalLineAndEndsWithMinusOne) {
  EXPECT_EXIT(
      {
        dup2(2, 1);
        RunScan();
      },
      ::testing::ExitedWithCode(255), "ScanDisk[^0-9]+[0-9]+");
}

TEST_F(ScanDiskDeathTest, RecordFileThatCannotBeCreatedEndsWithMinusTwo) {
  SetFolders("_" + Tree() + "\n");
  dir_.MakeDir("install/" + RecordFileName(FolderHash(Tree().c_str())));
  ConsolePrompter console;
  // The console shows the message box in UTF-8 on standard error.
  EXPECT_EXIT(ScanDisk(console, progress_).Scan(), ::testing::ExitedWithCode(254),
              reinterpret_cast<const char*>(u8"打开文件失败，请与开发商联系!"));
}

TEST_F(ScanDiskDeathTest, AllFileThatCannotBeCreatedEndsWithMinusThree) {
  SetFolders("_" + Tree() + "\n");
  dir_.MakeDir("install/index/AllFile.dat");
  EXPECT_EXIT(
      {
        dup2(2, 1);
        RunScan();
      },
      ::testing::ExitedWithCode(253), "ScanDisk");
}

}  // namespace
}  // namespace jollix
