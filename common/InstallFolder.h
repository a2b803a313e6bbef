// The installation folder: $JOLLIX_HOME when set; else the folder of the running program when the
// user may write there (the build's output folder, or an installation in the user's own prefix);
// else the user's own folder, $XDG_DATA_HOME/jollixsearch (default ~/.local/share/jollixsearch),
// seeded from the default data installed beside the program. Both programs make it their
// current folder at start and use relative names from there.
#pragma once

#include <string>

namespace jollix {

std::string InstallFolder();

// The help page (UTF-8 HTML), installed beside the programs and linked into the user's own
// folder with them.
inline constexpr char kHelpPageName[] = "JollixHelp.html";

// The absolute path of the help page in the current folder, which is the installation folder
// once a program has entered it (EnterInstallFolder). GBK, as the shell port takes paths.
std::string HelpPagePath();

// The folder that holds the running program, whatever the installation folder is. Its
// config.txt and index/ are the default data of an installed program.
std::string ProgramFolder();

// Changes the current folder to the installation folder, after seeding it when it is the
// user's own folder; false when that fails.
bool EnterInstallFolder();

// What the choice of the installation folder depends on, so that it can be decided (and tested)
// apart from the process's environment. Null texts count as unset.
struct InstallFolderFacts {
  const char* JollixHome = nullptr;   // $JOLLIX_HOME
  std::string ProgramFolder;          // the running program's folder
  bool ProgramFolderWritable = true;  // whether the user may write there
  const char* XdgDataHome = nullptr;  // $XDG_DATA_HOME
  const char* Home = nullptr;         // $HOME
};

enum class InstallFolderKind { kJollixHome, kProgramFolder, kUserFolder };

// The installation folder the facts give, and which kind it is.
std::string ChooseInstallFolder(const InstallFolderFacts& facts, InstallFolderKind* kind);

// The facts of this process.
InstallFolderFacts CurrentInstallFolderFacts();

// Prepares the user's own installation folder from an installed program's folder: creates it
// and its index/ folder, copies config.txt and the files of index/ that it lacks (a file the
// user already has, changed or not, is never overwritten), and links the programs of the
// program folder into it (JollixIndexer is started from the installation folder), renewing a
// link that points elsewhere. Returns false when the folder or a missing file cannot be made.
bool SeedUserFolder(const std::string& program_folder, const std::string& user_folder);

}  // namespace jollix
