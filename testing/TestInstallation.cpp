#include "testing/TestInstallation.h"

#include <cstdio>

#include "common/TextFile.h"

namespace jollix::testing {

TestInstallation::TestInstallation() {
  dir_.MakeDir("home/index");
  std::string types;
  ReadWholeFile((BuildHome() + "/index/FileType.txt").c_str(), &types);
  dir_.Write("home/index/FileType.txt", types);
  dir_.Write("home/index/ScanFolder.txt", "_" + Tree() + "\r\n");
  dir_.Write("tree/a.txt", "alpha");
  dir_.Write(reinterpret_cast<const char*>(u8"tree/文档.doc"), "");
  dir_.Write("tree/Sub/b.jpg", "");
}

void TestInstallation::WriteConfig(int update_frequency, int last_index_time) const {
  IndexConfig config;
  config.UpdateFrequency = update_frequency;
  config.LastIndexTime = last_index_time;
  std::snprintf(config.FirstServerAddress, sizeof config.FirstServerAddress, "127.0.0.1");
  std::snprintf(config.SecondServerAddress, sizeof config.SecondServerAddress, "127.0.0.2");
  jollix::WriteConfig((dir_ / "home/config.txt").c_str(), config, LineEnd::kCrLf);
}

IndexConfig TestInstallation::ReadConfig() const {
  IndexConfig config;
  jollix::ReadConfig((dir_ / "home/config.txt").c_str(), &config);
  return config;
}

}  // namespace jollix::testing
