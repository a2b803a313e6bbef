#include "indexer/FolderWalk.h"

#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "common/FileRecord.h"
#include "common/Gbk.h"
#include "testing/TempDir.h"

namespace jollix {
namespace {

using testing::TempDir;

// The plain walk, one folder after the other on one thread: the order the records must have.
std::string ReferenceWalk(const std::string& root) {
  struct Folder {
    std::string gbk, disk;
  };
  std::string out;
  std::vector<Folder> pending = {{FileNameToGbk(root), root}};
  while (!pending.empty()) {
    Folder folder = pending.back();
    pending.pop_back();
    DIR* dir = opendir(folder.disk.c_str());
    if (!dir) continue;
    while (dirent* e = readdir(dir)) {
      if (e->d_name[0] == '.') continue;
      struct stat st;
      if (fstatat(dirfd(dir), e->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
      const std::string name = FileNameToGbk(e->d_name);
      const int32_t time = static_cast<int32_t>(st.st_mtim.tv_sec);
      if (S_ISDIR(st.st_mode)) {
        AppendFileRecord(&out, kFolderRecord, name, folder.gbk, 0, time);
        pending.push_back({folder.gbk + "/" + name, folder.disk + "/" + e->d_name});
      } else {
        AppendFileRecord(&out, kFileRecord, name, folder.gbk, RecordedSize(st.st_size), time);
      }
    }
    closedir(dir);
  }
  return out;
}

std::string Walked(const std::string& root, int threads, ScanProgress* progress) {
  char* text = nullptr;
  size_t size = 0;
  FILE* out = open_memstream(&text, &size);
  WalkFolder(FileNameToGbk(root), out, *progress, threads);
  std::fclose(out);
  std::string walked(text, size);
  std::free(text);
  return walked;
}

TEST(FolderWalk, WritesTheRecordsOfThePlainWalkByteForByteOnAnyNumberOfThreads) {
  TempDir dir;
  std::mt19937 random(11);
  std::vector<std::string> folders = {"tree"};
  for (int i = 0; i < 300; ++i) {
    std::string parent = folders[random() % folders.size()];
    std::string name = parent + "/" + (i % 3 ? "d" : reinterpret_cast<const char*>(u8"文件夹")) +
                       std::to_string(i);
    dir.MakeDir(name);
    folders.push_back(name);
  }
  int files = 0;
  for (int i = 0; i < 1500; ++i) {
    dir.Write(folders[random() % folders.size()] + "/f" + std::to_string(i) + ".txt",
              std::string(i % 7, 'x'));
    ++files;
  }
  dir.Write("tree/.hidden/inside.txt", "x");
  const std::string expected = ReferenceWalk(dir / "tree");
  for (int threads : {1, 2, 3, 8}) {
    ScanProgress progress;
    EXPECT_EQ(Walked(dir / "tree", threads, &progress), expected) << threads;
    EXPECT_EQ(progress.EntriesWritten, files + 300) << threads;
  }
}

TEST(FolderWalk, AFolderThatCannotBeListedGivesNothing) {
  ScanProgress progress;
  EXPECT_EQ(Walked("/nonexistent-folder-of-the-walk-test", 2, &progress), "");
  EXPECT_EQ(progress.EntriesWritten, 0);
}

}  // namespace
}  // namespace jollix
