// The subcommands of the jollix terminal front end. Each command lives in its own
// <Name>Command.cpp and registers itself with a static JOLLIX_COMMAND(...) entry.
#pragma once

namespace jollix::cli {

// argv[0] is the command's own name. Returns the process exit status.
using CommandMain = int (*)(int argc, char** argv);

struct CommandEntry {
  const char* name;
  const char* summary;  // one line for the overview of `jollix --help`
  CommandMain run;
};

class CommandRegistrar {
 public:
  explicit CommandRegistrar(const CommandEntry& entry);
};

// Exit status for a usage error, shared by every command.
inline constexpr int kUsageError = 2;

}  // namespace jollix::cli

#define JOLLIX_COMMAND(name, summary, fn) \
  static ::jollix::cli::CommandRegistrar jollix_command_registrar_##fn({name, summary, fn})
