#include "testing/IndexedInstall.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <stdexcept>

#include "common/ConfigFile.h"
#include "common/Gbk.h"
#include "common/IndexGeneration.h"
#include "indexer/BuildIndex.h"
#include "indexer/BuildPinyinIndex.h"
#include "indexer/ScanDisk.h"
#include "indexer/ScanProgress.h"
#include "testing/FakePorts.h"

namespace fs = std::filesystem;

namespace jollix::testing {
namespace {

void SetTime(const std::string& path, int32_t t) {
  struct timespec times[2] = {{t, 0}, {t, 0}};
  if (utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW) != 0) {
    throw std::runtime_error("cannot set the time of " + path);
  }
}

}  // namespace

IndexedInstall::IndexedInstall(const std::string& file_types)
    : install_(dir_ / "install"), tree_(dir_ / "tree") {
  dir_.MakeDir("install/index");
  dir_.MakeDir("tree");
  dir_.Write("install/config.txt",
             "索引更新频率\t86400\n上次索引时间\t0\n第一服务器IP\t127.0.0.1\n"
             "第二服务器IP\t127.0.0.1\n");
  dir_.Write("install/index/FileType.txt", file_types);
  dir_.Write("install/index/ScanFolder.txt", "_" + FileNameToGbk(tree_) + "\n");
}

std::string IndexedInstall::TreeGbk(const std::string& relative_gbk) const {
  std::string tree = FileNameToGbk(tree_);
  return relative_gbk.empty() ? tree : tree + "/" + relative_gbk;
}

std::string IndexedInstall::TreeDisk(const std::string& relative_gbk) const {
  return tree_ + "/" + FileNameFromGbk(relative_gbk);
}

void IndexedInstall::WriteFile(const std::string& relative_gbk, const std::string& content,
                               int32_t time) const {
  dir_.Write("tree/" + FileNameFromGbk(relative_gbk), content);
  SetTime(TreeDisk(relative_gbk), time);
}

void IndexedInstall::SizedFile(const std::string& relative_gbk, uint64_t size, int32_t time) const {
  WriteFile(relative_gbk, "", time);
  fs::resize_file(TreeDisk(relative_gbk), size);
  SetTime(TreeDisk(relative_gbk), time);
}

void IndexedInstall::MakeFolder(const std::string& relative_gbk) const {
  dir_.MakeDir("tree/" + FileNameFromGbk(relative_gbk));
}

void IndexedInstall::WriteInstallFile(const std::string& relative,
                                      const std::string& content) const {
  dir_.Write("install/" + relative, content);
}

void IndexedInstall::Index() const {
  ScopedCurrentDir cd(install_);
  FakePrompter prompter;
  ScanProgress progress;
  // As an index run does: the record lines reach their name together with the lists.
  ScanDisk(prompter, progress).Scan(kAllFileTempFile);
  IndexConfig config;
  ReadConfig(kConfigFile, &config);
  BuildPinyinIndex pinyin;
  BuildIndex(prompter, config).Build(kAllFileTempFile, &pinyin);
}

std::string IndexedInstall::AllFile() const { return dir_.Read("install/index/AllFile.dat"); }

int64_t IndexedInstall::RecordOffset(char kind, const std::string& name_gbk) const {
  const std::string all = AllFile();
  const std::string head = std::string(1, kind) + name_gbk + "\t";
  for (size_t at = 0; at < all.size();) {
    if (all.compare(at, head.size(), head) == 0) return static_cast<int64_t>(at);
    size_t lf = all.find('\n', at);
    if (lf == std::string::npos) break;
    at = lf + 1;
  }
  return -1;
}

void IndexedInstall::SpoilRecordTime(const std::string& name_gbk) const {
  std::string all = AllFile();
  const size_t at = static_cast<size_t>(RecordOffset('_', name_gbk));
  const size_t time_at = all.rfind('\t', all.find('\n', at)) + 1;
  all.replace(time_at, 3, "abc");
  WriteInstallFile("index/AllFile.dat", all);
}

}  // namespace jollix::testing
