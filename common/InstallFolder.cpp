#include "common/InstallFolder.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>

namespace jollix {

std::string InstallFolder() {
  const char* home = std::getenv("JOLLIX_HOME");
  if (home && *home) return home;
  return ProgramFolder();
}

std::string ProgramFolder() {
  std::error_code ec;
  std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) return ".";
  return exe.parent_path().string();
}

bool EnterInstallFolder() { return chdir(InstallFolder().c_str()) == 0; }

}  // namespace jollix
