#include "testing/Process.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "testing/TempDir.h"

extern char** environ;

namespace jollix::testing {

int StartProgram(const std::string& program, const std::vector<std::string>& args,
                 const ProgramEnv& env, const std::string& out_path, const std::string& err_path,
                 std::string* error) {
  std::vector<std::string> vars;
  for (char** e = environ; *e; ++e) {
    std::string var = *e;
    std::string name = var.substr(0, var.find('='));
    bool dropped = false;
    for (const std::string& u : env.Unset) dropped = dropped || u == name;
    for (const auto& [key, value] : env.Set) dropped = dropped || key == name;
    if (!dropped) vars.push_back(var);
  }
  for (const auto& [key, value] : env.Set) vars.push_back(key + "=" + value);

  std::vector<char*> envp, argv;
  for (std::string& v : vars) envp.push_back(v.data());
  envp.push_back(nullptr);
  std::vector<std::string> arg_copy = args;
  if (arg_copy.empty()) arg_copy.push_back(program);
  for (std::string& a : arg_copy) argv.push_back(a.data());
  argv.push_back(nullptr);

  // Output goes to files, not pipes, so a chatty child never blocks on a full pipe.
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0600);
  posix_spawn_file_actions_addopen(&actions, 2, err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0600);
  pid_t pid;
  int rc = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  if (rc != 0) {
    if (error) *error = "cannot start " + program + ": " + std::strerror(rc);
    return -1;
  }
  return pid;
}

ProgramRun RunProgram(const std::string& program, const std::vector<std::string>& args,
                      const ProgramEnv& env) {
  TempDir out_dir;
  ProgramRun run;
  int pid = StartProgram(program, args, env, out_dir / "out", out_dir / "err", &run.Err);
  if (pid < 0) return run;
  int status = 0;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  if (WIFEXITED(status)) run.ExitStatus = WEXITSTATUS(status);
  run.Out = out_dir.Read("out");
  run.Err = out_dir.Read("err");
  return run;
}

ProgramRun RunHeadless(const std::string& program, const std::vector<std::string>& args,
                       ProgramEnv env) {
  env.Unset.push_back("DISPLAY");
  env.Unset.push_back("WAYLAND_DISPLAY");
  return RunProgram(program, args, env);
}

std::string BuildHome() {
  const char* home = std::getenv("JOLLIX_BUILD_HOME");
  return home ? home : "";
}

}  // namespace jollix::testing
