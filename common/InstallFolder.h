// The installation folder: $JOLLIX_HOME when set, else the folder of the running program. Both
// programs make it their current folder at start and use relative names from there.
#pragma once

#include <string>

namespace jollix {

std::string InstallFolder();

// The folder that holds the running program, whatever the installation folder is.
std::string ProgramFolder();

// Changes the current folder to the installation folder; false when that fails.
bool EnterInstallFolder();

}  // namespace jollix
