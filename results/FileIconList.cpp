#include "results/FileIconList.h"

#include <sys/stat.h>

#include <QFile>
#include <QFileIconProvider>
#include <QFileInfo>

#include "common/Gbk.h"

namespace jollix {

std::string FileIconList::KindOf(const std::string& disk_path) {
  struct stat st;
  if (stat(disk_path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return "folder";
  const size_t slash = disk_path.rfind('/');
  const std::string name = slash == std::string::npos ? disk_path : disk_path.substr(slash + 1);
  const size_t dot = name.rfind('.');
  if (dot == std::string::npos || dot == 0 || dot + 1 == name.size()) return "file";
  std::string extension = name.substr(dot + 1);
  for (char& c : extension) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  }
  return "." + extension;  // never equal to "folder" or "file"
}

int FileIconList::AddIconOf(const char* path) {
  const std::string disk = DiskPathFromGbk(path ? path : "");
  const std::string kind = KindOf(disk);
  std::lock_guard<std::mutex> lock(mu_);
  auto [it, added] = by_kind_.try_emplace(kind, static_cast<int>(samples_.size()));
  if (added) {
    samples_.push_back(disk);
    icons_.emplace_back();
    resolved_.push_back(false);
  }
  return it->second;
}

QIcon FileIconList::Icon(int index) {
  std::string sample;
  {
    std::lock_guard<std::mutex> lock(mu_);
    if (index < 0 || index >= static_cast<int>(samples_.size())) return {};
    if (resolved_[index]) return icons_[index];
    sample = samples_[index];
  }
  static QFileIconProvider provider;
  const QFileInfo info(QFile::decodeName(QByteArray::fromStdString(sample)));
  QIcon icon = provider.icon(info);
  if (icon.isNull()) {
    icon = provider.icon(info.isDir() ? QFileIconProvider::Folder : QFileIconProvider::File);
  }
  std::lock_guard<std::mutex> lock(mu_);
  icons_[index] = icon;
  resolved_[index] = true;
  return icon;
}

int FileIconList::Count() const {
  std::lock_guard<std::mutex> lock(mu_);
  return static_cast<int>(samples_.size());
}

}  // namespace jollix
