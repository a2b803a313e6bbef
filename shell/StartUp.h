// How JollixSearch comes up and how it hands over to the indexer.
//
// The main program reads config.txt once, at start, into its own copy of the values, and never
// judges whether an index run is due: when the user asks for a new index (the update-now
// command, or Yes to the no-index question) it writes config.txt with a last index time of 0,
// starts JollixIndexer detached and ends at once. The indexer then decides on its own and, as the
// last index time is 0, rebuilds.
#pragma once

#include <functional>

#include "common/ConfigFile.h"
#include "common/Prompter.h"
#include "common/Shell.h"

namespace jollix {

inline constexpr int kJollixBuildNumber = 20070408;
// The indexer, started from the installation folder.
inline constexpr char kIndexerProgram[] = "./JollixIndexer";

// Exit codes of the two hand-overs.
inline constexpr int kNoIndexHandOverExit = -2;
inline constexpr int kUpdateNowExit = -3;

// The main program's copy of config.txt and its own build number, set once at start (before the
// version check's thread starts, which reads them) and afterwards changed only together with
// the writes of this unit and of the settings dialog.
IndexConfig& Configuration();
int BuildNumber();

// How the process ends: EndProcess in the program, a recorder in tests.
using EndFunction = std::function<void(int code)>;

enum class StartUpResult { kReady, kNoInstallFolder, kNoConfig };

// Enters the installation folder (else "转移到搜索目录失败"), sets the build number and reads
// config.txt into Configuration() (else "读取系统配置文件失败，请与软件开发商联系！"); each
// message carries the application title. A value whose line is missing keeps its previous value.
StartUpResult EnterInstallationAndReadConfig(Prompter& prompter);

// Writes Configuration() to config.txt with LF line ends, the way the hand-overs write it.
// False when the file cannot be written whole.
bool WriteConfigLf();

enum class NoIndexAnswer {
  kNotAsked,     // the index is there: nothing was asked
  kNo,           // the user keeps the program without desktop search
  kWriteFailed,  // Yes, but config.txt could not be written: the program goes on
  kHandedOver,   // Yes: the indexer was started and end was called
};

// The question asked when the desktop pane found no usable index. Yes sets the last index time
// to 0, writes config.txt, starts the indexer and ends the process with -2 through end; when
// config.txt cannot be written the user is told and the program goes on.
NoIndexAnswer AskNoIndexQuestion(bool index_unavailable, Prompter& prompter, Shell& shell,
                                 const EndFunction& end);

// The update-now command: asks whether to quit and start the indexer; Yes writes config.txt
// with a last index time of 0, starts the indexer and ends the process with -3 through end.
// When config.txt cannot be written the user is told, the last index time stays as it was and
// the program goes on.
void UpdateIndexNow(Prompter& prompter, Shell& shell, const EndFunction& end);

// What the window says once at start when no watcher keeps the index of the installation folder
// (the current folder) live, with the command that starts one; nullptr when one runs.
const char* LiveIndexNotice();

}  // namespace jollix
