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

// Starts program as RunProgram does, with its standard output and error written to the files
// out_path and err_path, and returns at once: the child's pid, or -1 (with *error set) when it
// cannot start. The caller waits for it.
int StartProgram(const std::string& program, const std::vector<std::string>& args,
                 const ProgramEnv& env, const std::string& out_path, const std::string& err_path,
                 std::string* error);

// The same with the display variables removed, so a window program takes its headless path.
ProgramRun RunHeadless(const std::string& program, const std::vector<std::string>& args,
                       ProgramEnv env);

// The build's installation folder ($JOLLIX_BUILD_HOME), where the programs and the default
// data are.
std::string BuildHome();

}  // namespace jollix::testing
