#include "testing/TempDir.h"

#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace fs = std::filesystem;

namespace jollix::testing {

TempDir::TempDir() {
  std::string pattern = (fs::temp_directory_path() / "jollix-test-XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

TempDir::~TempDir() {
  std::error_code ec;
  fs::remove_all(path_, ec);
}

void TempDir::Write(const std::string& relative, const std::string& content) const {
  fs::path p = fs::path(path_) / relative;
  fs::create_directories(p.parent_path());
  std::ofstream out(p, std::ios::binary | std::ios::trunc);
  out.write(content.data(), static_cast<std::streamsize>(content.size()));
}

std::string TempDir::Read(const std::string& relative) const {
  std::ifstream in(fs::path(path_) / relative, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

bool TempDir::Exists(const std::string& relative) const {
  return fs::exists(fs::symlink_status(fs::path(path_) / relative));
}

void TempDir::MakeDir(const std::string& relative) const {
  fs::create_directories(fs::path(path_) / relative);
}

ScopedCurrentDir::ScopedCurrentDir(const std::string& path) {
  previous_ = fs::current_path().string();
  fs::current_path(path);
}

ScopedCurrentDir::~ScopedCurrentDir() {
  std::error_code ec;
  fs::current_path(previous_, ec);
}

}  // namespace jollix::testing
