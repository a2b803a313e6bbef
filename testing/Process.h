// Runs a program of the build as a child process, the way a user or the other program starts
// it, and collects what it wrote and how it ended.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace jollix::testing {

struct ProgramRun {
  int ExitStatus = -1;  // 0..255, or -1 when the child did not end by exit (a signal)
  std::string Out, Err;
};

struct ProgramEnv {
  std::vector<std::pair<std::string, std::string>> Set;  // added or replaced
  std::vector<std::string> Unset;                        // removed
};

// Runs program with the arguments (argv[0] is the program) in the test's environment changed
// by env, with no standard input, and waits for it.
ProgramRun RunProgram(const std::string& program, const std::vector<std::string>& args,
                      const ProgramEnv& env);

// The same with the display variables removed, so a window program takes its headless path.
ProgramRun RunHeadless(const std::string& program, const std::vector<std::string>& args,
                       ProgramEnv env);

// The build's installation folder ($JOLLIX_BUILD_HOME), where the programs and the default
// data are.
std::string BuildHome();

}  // namespace jollix::testing
