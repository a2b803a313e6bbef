// An installation folder in a temp folder, for tests that run the programs as processes:
// index/, a config.txt, the build's default type table, and a small tree of files to index,
// listed in index/ScanFolder.txt.
#pragma once

#include <string>

#include "common/ConfigFile.h"
#include "testing/Process.h"
#include "testing/TempDir.h"

namespace jollix::testing {

class TestInstallation {
 public:
  // Lays out home/ (the installation) and tree/ (a.txt, 文档.doc, Sub/b.jpg).
  TestInstallation();

  const TempDir& dir() const { return dir_; }
  std::string Home() const { return dir_ / "home"; }
  std::string Tree() const { return dir_ / "tree"; }

  // config.txt with the two times and the server addresses 127.0.0.1 and 127.0.0.2 (loopback: a
  // version check started by a program under test never leaves the machine), CR LF.
  void WriteConfig(int update_frequency, int last_index_time) const;
  IndexConfig ReadConfig() const;

  // The environment that points the programs at this installation.
  ProgramEnv Env() const { return {{{"JOLLIX_HOME", Home()}}, {}}; }

 private:
  TempDir dir_;
};

// A program of the build's installation folder.
inline std::string BuildProgram(const std::string& name) { return BuildHome() + "/" + name; }

}  // namespace jollix::testing
