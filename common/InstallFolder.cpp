#include "common/InstallFolder.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "common/Gbk.h"
#include "common/TextFile.h"

namespace jollix {
namespace {

namespace fs = std::filesystem;

constexpr char kUserFolderName[] = "jollixsearch";
// What an installation folder needs at hand from the program folder: the indexer is started as
// ./JollixIndexer, and the help page is opened from the installation folder.
constexpr const char* kProgramNames[] = {"JollixSearch", "JollixIndexer", "jollix", kHelpPageName};

bool IsSet(const char* value) { return value && *value; }

bool CopyIfMissing(const fs::path& from, const fs::path& to) {
  std::error_code ec;
  if (fs::exists(fs::symlink_status(to, ec))) return true;
  std::string content;
  if (!ReadWholeFile(from.c_str(), &content)) return false;
  return WriteFileAtomically(to.c_str(), content);
}

// Points user_folder/name at program_folder/name, unless a file of the user's own stands there.
void LinkProgram(const fs::path& program, const fs::path& link) {
  std::error_code ec;
  if (!fs::exists(program, ec)) return;
  fs::file_status status = fs::symlink_status(link, ec);
  if (fs::is_symlink(status)) {
    if (fs::read_symlink(link, ec) == program) return;
    fs::remove(link, ec);
  } else if (fs::exists(status)) {
    return;
  }
  fs::create_symlink(program, link, ec);
}

}  // namespace

std::string ChooseInstallFolder(const InstallFolderFacts& facts, InstallFolderKind* kind) {
  if (IsSet(facts.JollixHome)) {
    *kind = InstallFolderKind::kJollixHome;
    return facts.JollixHome;
  }
  if (facts.ProgramFolderWritable) {
    *kind = InstallFolderKind::kProgramFolder;
    return facts.ProgramFolder;
  }
  *kind = InstallFolderKind::kUserFolder;
  if (IsSet(facts.XdgDataHome) && facts.XdgDataHome[0] == '/') {
    return std::string(facts.XdgDataHome) + "/" + kUserFolderName;
  }
  const std::string home = IsSet(facts.Home) ? facts.Home : "";
  return home + "/.local/share/" + kUserFolderName;
}

InstallFolderFacts CurrentInstallFolderFacts() {
  InstallFolderFacts facts;
  facts.JollixHome = std::getenv("JOLLIX_HOME");
  facts.ProgramFolder = ProgramFolder();
  facts.ProgramFolderWritable = access(facts.ProgramFolder.c_str(), W_OK) == 0;
  facts.XdgDataHome = std::getenv("XDG_DATA_HOME");
  facts.Home = std::getenv("HOME");
  return facts;
}

std::string InstallFolder() {
  InstallFolderKind kind;
  return ChooseInstallFolder(CurrentInstallFolderFacts(), &kind);
}

std::string ProgramFolder() {
  std::error_code ec;
  fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  if (ec) return ".";
  return exe.parent_path().string();
}

std::string HelpPagePath() {
  std::error_code ec;
  const fs::path here = fs::current_path(ec);
  if (ec) return "";
  return FileNameToGbk((here / kHelpPageName).string());
}

bool SeedUserFolder(const std::string& program_folder, const std::string& user_folder) {
  const fs::path from(program_folder), to(user_folder);
  std::error_code ec;
  fs::create_directories(to / "index", ec);
  if (!fs::is_directory(to / "index", ec)) return false;
  bool ok = true;
  if (fs::exists(from / "config.txt", ec))
    ok = CopyIfMissing(from / "config.txt", to / "config.txt");
  for (fs::directory_iterator it(from / "index", ec), end; !ec && it != end; it.increment(ec)) {
    if (!it->is_regular_file(ec)) continue;
    ok = CopyIfMissing(it->path(), to / "index" / it->path().filename()) && ok;
  }
  for (const char* name : kProgramNames) LinkProgram(from / name, to / name);
  return ok;
}

bool EnterInstallFolder() {
  const InstallFolderFacts facts = CurrentInstallFolderFacts();
  InstallFolderKind kind;
  const std::string folder = ChooseInstallFolder(facts, &kind);
  // A seeding that missed a file still leaves a folder to work in; the programs then report
  // the missing file as they would in any installation.
  if (kind == InstallFolderKind::kUserFolder) SeedUserFolder(facts.ProgramFolder, folder);
  return chdir(folder.c_str()) == 0;
}

}  // namespace jollix
