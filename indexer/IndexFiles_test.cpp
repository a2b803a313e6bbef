// The files of an index run, byte for byte, against a plain reference builder kept here: a
// one-thread walk that writes each record with printf, and posting lists gathered in maps from
// a plain reading of the record lines. However the indexer scans and builds (threads, counted
// lists, postings written from buffers), its four kinds of files must equal these.
#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "common/ConfigFile.h"
#include "common/Gbk.h"
#include "common/IndexLayout.h"
#include "indexer/BuildIndex.h"
#include "indexer/IndexRun.h"
#include "indexer/ScanDisk.h"
#include "testing/FakePorts.h"
#include "testing/TempDir.h"

namespace jollix {
namespace {

using testing::FakePrompter;
using testing::ScopedCurrentDir;
using testing::TempDir;

// The records of one configured folder: folders taken newest found first, entries in the order
// the file system lists them, dot names left out, links recorded as files.
std::string ReferenceRecords(const std::string& disk_root) {
  struct Folder {
    std::string gbk, disk;
  };
  std::string out;
  std::vector<Folder> pending = {{FileNameToGbk(disk_root), disk_root}};
  while (!pending.empty()) {
    Folder folder = pending.back();
    pending.pop_back();
    DIR* dir = opendir(folder.disk.c_str());
    if (!dir) continue;
    std::vector<Folder> found;
    while (dirent* e = readdir(dir)) {
      if (e->d_name[0] == '.') continue;
      struct stat st;
      if (lstat((folder.disk + "/" + e->d_name).c_str(), &st) != 0) continue;
      const std::string name = FileNameToGbk(e->d_name);
      const bool is_folder = S_ISDIR(st.st_mode);
      const uint64_t size = is_folder ? 0 : static_cast<uint64_t>(st.st_size);
      char line[4096];
      std::snprintf(line, sizeof line, "%c%s\t%s/\t%d\t%d\n", is_folder ? 'D' : '_', name.c_str(),
                    folder.gbk.c_str(), size >= 0xFFFFFFFFull ? -1 : static_cast<int>(size),
                    static_cast<int>(st.st_mtim.tv_sec));
      out += line;
      if (is_folder) pending.push_back({folder.gbk + "/" + name, folder.disk + "/" + e->d_name});
    }
    closedir(dir);
  }
  return out;
}

std::string LittleEndian(uint32_t v) {
  std::string bytes(4, '\0');
  for (int i = 0; i < 4; ++i) bytes[i] = static_cast<char>(v >> (8 * i));
  return bytes;
}

// The two list files of the record lines: every record's lower-cased name posted under its
// characters and pairs, its extension's type (first sight numbers the unknown ones) under the
// type list, each list holding a record once.
void ReferenceLists(const std::string& records, std::map<std::string, int> types, int next_type,
                    std::string* meta, std::string* data) {
  std::map<int, std::vector<uint32_t>> lists;
  auto post = [&](int list, uint32_t at) {
    std::vector<uint32_t>& l = lists[list];
    if (l.empty() || l.back() != at) l.push_back(at);
  };
  for (size_t at = 0; at < records.size();) {
    const size_t end = records.find('\n', at);
    const std::string line = records.substr(at, end - at);
    const std::string name = line.substr(1, line.find('\t') - 1);
    std::string lower;
    for (char c : name) lower += static_cast<char>(LowerByte(static_cast<unsigned char>(c)));
    const auto* s = reinterpret_cast<const unsigned char*>(lower.c_str());
    for (size_t i = 0; i < lower.size();) {
      if (s[i] >= 0x80) {
        post(s[i] * 256 + s[i + 1], at);
        i += 2;
        continue;
      }
      post(s[i], at);
      if (CharCode(s[i]) && CharCode(s[i + 1])) {
        post(65536 + (CharCode(s[i]) - 1) * 64 + CharCode(s[i + 1]), at);
      }
      ++i;
    }
    const size_t dot = lower.rfind('.');
    std::string ext;
    if (line[0] == '_' && dot != std::string::npos && dot != 0) ext = lower.substr(dot + 1);
    if (!types.count(ext)) types[ext] = next_type++;
    const int type = types[ext];
    post(69636 + (type > 1999 ? 1999 : type), at);
    at = end + 1;
  }
  uint32_t start = 0;
  for (int i = 0; i < kListCount; ++i) {
    const std::vector<uint32_t>& l = lists[i];
    *meta += LittleEndian(start) + LittleEndian(static_cast<uint32_t>(l.size()));
    for (uint32_t p : l) *data += LittleEndian(p);
    start += static_cast<uint32_t>(l.size()) * 4;
  }
}

// A tree of the kinds of entries users have: nested folders, Chinese names, names that are not
// UTF-8, capitals, known and unknown extensions, a sparse file of 5 GiB, links to a file, to a
// folder and to nothing, hidden entries.
void MakeTree(const TempDir& dir, const std::string& root, unsigned seed) {
  std::mt19937 random(seed);
  const char* const kStems[] = {"Report",      "报告", "照片Photo", "a",          "\xff\xfe",
                                "Notes.Final", "文档", "x\xc3",     "MiXeD Case", "项目{设计}"};
  const char* const kExtensions[] = {".txt", ".TXT", ".jpg", ".big",   ".新",
                                     ".zzz", "",     ".",    ".tar.gz"};
  std::vector<std::string> folders = {root};
  dir.MakeDir(root);
  for (int i = 0; i < 60; ++i) {
    const std::string name = folders[random() % folders.size()] + "/" +
                             kStems[random() % std::size(kStems)] + std::to_string(i);
    dir.MakeDir(name);
    folders.push_back(name);
  }
  for (int i = 0; i < 700; ++i) {
    dir.Write(folders[random() % folders.size()] + "/" + kStems[random() % std::size(kStems)] +
                  std::to_string(i) + kExtensions[random() % std::size(kExtensions)],
              std::string(i % 5, 'x'));
  }
  dir.Write(root + "/大文件.txt", "");
  ASSERT_EQ(truncate((dir / (root + "/大文件.txt")).c_str(), 5LL << 30), 0);
  dir.Write(root + "/.hidden/inside.txt", "x");
  ASSERT_EQ(symlink("大文件.txt", (dir / (root + "/链接.txt")).c_str()), 0);
  ASSERT_EQ(symlink(dir.path().c_str(), (dir / (root + "/FolderLink")).c_str()), 0);
  ASSERT_EQ(symlink("nowhere", (dir / (root + "/Dangling.lnk")).c_str()), 0);
}

TEST(IndexFiles, EqualThoseOfThePlainReferenceBuilderByteForByte) {
  TempDir dir;
  dir.MakeDir("index");
  dir.Write("config.txt",
            "索引更新频率\t0\n上次索引时间\t0\n第一服务器IP\t1.2.3.4\n第二服务器IP\t5.6.7.8\n");
  dir.Write("index/FileType.txt", "txt\t1\t1\t文本\r\njpg\t3\t2\t图片\r\nbig\t2500\t1\t大\r\n");
  MakeTree(dir, "甲树", 5);
  MakeTree(dir, "tree2", 6);
  const std::string roots[] = {dir / "甲树", dir / "tree2"};
  std::string gbk_roots[2], expected_records[2];
  for (int i = 0; i < 2; ++i) {
    gbk_roots[i] = FileNameToGbk(roots[i]);
    expected_records[i] = ReferenceRecords(roots[i]);
  }
  dir.Write("index/ScanFolder.txt", "_" + roots[0] + "\r\n_" + roots[1] + "\r\n");
  std::string meta, data;
  const std::string all = expected_records[0] + expected_records[1];
  ReferenceLists(all, {{"txt", 1}, {"jpg", 3}, {"big", 2500}}, 2501, &meta, &data);

  ScopedCurrentDir cwd(dir.path());
  FakePrompter prompter;
  ScanProgress progress;
  RunIndexWork(prompter, progress);
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(dir.Read(RecordFileName(FolderHash(gbk_roots[i].c_str()))), expected_records[i]);
  }
  EXPECT_EQ(dir.Read("index/AllFile.dat"), all);
  EXPECT_TRUE(dir.Read("index/MetaIndex.ind") == meta);
  EXPECT_TRUE(dir.Read("index/IndexData.ind") == data);
  // The same lists when the postings are written from buffers of any size.
  for (size_t buffer_bytes : {size_t{1}, size_t{4096}, size_t{40000}}) {
    IndexConfig config;
    ASSERT_TRUE(ReadConfig("config.txt", &config));
    BuildIndex(prompter, config, buffer_bytes).Build();
    EXPECT_TRUE(dir.Read("index/MetaIndex.ind") == meta) << buffer_bytes;
    EXPECT_TRUE(dir.Read("index/IndexData.ind") == data) << buffer_bytes;
  }
  EXPECT_NE(all.find("\t-1\t"), std::string::npos);  // the sparse file was recorded
}

}  // namespace
}  // namespace jollix
