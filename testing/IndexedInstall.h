// An installation folder under a temp folder, with a tree of files beside it that the real
// scanner and index builder index, for tests of everything that reads the index.
//
//   <temp>/install/config.txt, index/FileType.txt, index/ScanFolder.txt ("_<temp>/tree")
//   <temp>/tree/...
//
// Names are given in GBK, as the records hold them; on disk they are UTF-8.
#pragma once

#include <cstdint>
#include <string>

#include "testing/TempDir.h"

namespace jollix::testing {

// A type table of three types in two classes (text: txt, doc; pictures: jpg), for tests that
// need no more.
inline constexpr char kThreeFileTypes[] =
    "txt\t1\t1\t文本文件\r\n"
    "doc\t2\t1\tWord文档\r\n"
    "jpg\t3\t2\tJPEG图片\r\n";

class IndexedInstall {
 public:
  static constexpr int32_t kDefaultTime = 1170000000;  // 2007-01-28 16:00:00 UTC

  // file_types: the content of index/FileType.txt.
  explicit IndexedInstall(const std::string& file_types);

  const std::string& Install() const { return install_; }
  // The tree's path, or the path of an entry in it, as GBK text (the records' spelling).
  std::string TreeGbk(const std::string& relative_gbk = "") const;
  // The disk path of an entry of the tree.
  std::string TreeDisk(const std::string& relative_gbk) const;

  // Writes a file of the tree (creating its folders) and sets its last-write time.
  void WriteFile(const std::string& relative_gbk, const std::string& content,
                 int32_t time = kDefaultTime) const;
  // A file of the given size without writing its bytes.
  void SizedFile(const std::string& relative_gbk, uint64_t size, int32_t time = kDefaultTime) const;
  void MakeFolder(const std::string& relative_gbk) const;
  // Writes a file of the installation folder, e.g. index/Translation.dat.
  void WriteInstallFile(const std::string& relative, const std::string& content) const;

  // Scans the tree and builds the index, in the installation folder.
  void Index() const;

  // index/AllFile.dat as written.
  std::string AllFile() const;
  // The byte offset of the record line that starts with kind + name, or -1.
  int64_t RecordOffset(char kind, const std::string& name_gbk) const;
  // Spoils the time field of the file record of name_gbk in index/AllFile.dat ("abc" in place
  // of its first three digits), keeping the length of the line so that every posting stays
  // right: a search reads the record and cannot take its time.
  void SpoilRecordTime(const std::string& name_gbk) const;

 private:
  TempDir dir_;
  std::string install_;
  std::string tree_;
};

}  // namespace jollix::testing
