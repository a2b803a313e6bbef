#include "results/FileMoves.h"

#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace jollix {
namespace {

bool Exists(const std::string& path) {
  std::error_code ec;
  return fs::exists(fs::symlink_status(path, ec));
}

// The absolute, lexically clean form of path, with its parent's links resolved.
fs::path Resolved(const std::string& path) {
  std::error_code ec;
  fs::path p = fs::absolute(path, ec).lexically_normal();
  if (p.has_filename()) {
    fs::path parent = fs::weakly_canonical(p.parent_path(), ec);
    if (!ec) return parent / p.filename();
  }
  return p;
}

}  // namespace

bool SameOrInside(const std::string& from, const std::string& to) {
  std::error_code ec;
  if (fs::equivalent(from, to, ec)) return true;
  const fs::path source = Resolved(from), target = Resolved(to);
  auto s = source.begin(), t = target.begin();
  for (; s != source.end(); ++s, ++t) {
    if (t == target.end() || *s != *t) return false;
  }
  return true;
}

bool MoveEntry(const std::string& from, const std::string& to) {
  if (Exists(to) || SameOrInside(from, to)) return false;
  std::error_code ec;
  fs::rename(from, to, ec);
  if (!ec) return true;
  if (ec != std::errc::cross_device_link) return false;
  if (!CopyEntry(from, to, false)) return false;
  fs::remove_all(from, ec);
  return !ec;
}

bool CopyEntry(const std::string& from, const std::string& to, bool overwrite) {
  if (SameOrInside(from, to)) return false;
  if (!overwrite && Exists(to)) return false;
  std::error_code ec;
  const fs::file_status status = fs::symlink_status(from, ec);
  if (ec) return false;
  if (fs::is_symlink(status)) {
    if (overwrite && Exists(to) && !RemoveEntry(to)) return false;
    fs::copy_symlink(from, to, ec);
    return !ec;
  }
  auto options = overwrite ? fs::copy_options::overwrite_existing : fs::copy_options::none;
  if (fs::is_directory(status)) {
    fs::copy(from, to, options | fs::copy_options::recursive | fs::copy_options::copy_symlinks, ec);
  } else {
    // copy_file, not copy: it refuses a folder standing at the destination instead of copying
    // into it.
    fs::copy_file(from, to, options, ec);
  }
  return !ec;
}

bool RemoveEntry(const std::string& path) {
  std::error_code ec;
  fs::remove(path, ec);
  return !ec && !Exists(path);
}

}  // namespace jollix
