// The process-wide list of 16 x 16 file icons that the desktop, document and music rows show.
//
// AddIconOf is called by the desktop search on its worker thread, where no QIcon or QPixmap may
// be made. It therefore only hands out an index, at once: one per kind of entry ("folder" for a
// folder, else the file's lower-cased extension, else "file"), remembering a sample path of the
// kind. The icon itself is asked from the desktop's icon provider the first time a view needs
// it, on the user-interface thread. Rows of one kind share one icon, which also keeps a search of
// 100 000 files from asking the provider 100 000 times.
#pragma once

#include <QIcon>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "common/IconList.h"

namespace jollix {

class FileIconList : public IconList {
 public:
  static constexpr int kIconSize = 16;

  // Any thread. path is GBK; the index of its kind's icon.
  int AddIconOf(const char* path) override;

  // User-interface thread only. The icon at index, a null icon for an index never handed out.
  QIcon Icon(int index);

  // The number of kinds handed out (any thread).
  int Count() const;
  // The kind of an entry: "folder", its lower-cased extension or "file" (any thread).
  static std::string KindOf(const std::string& disk_path);

 private:
  mutable std::mutex mu_;
  std::map<std::string, int> by_kind_;
  std::vector<std::string> samples_;  // a disk path of each kind
  std::vector<QIcon> icons_;          // resolved on the user-interface thread
  std::vector<bool> resolved_;
};

}  // namespace jollix
