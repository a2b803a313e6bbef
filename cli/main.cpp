// jollix: the terminal front end. `jollix COMMAND ...`; `jollix --help` lists the commands.
#include <cstdio>
#include <cstring>
#include <vector>

#include "cli/Command.h"

namespace jollix::cli {
namespace {

std::vector<CommandEntry>& Commands() {
  static std::vector<CommandEntry> commands;
  return commands;
}

void PrintOverview(FILE* out) {
  std::fprintf(out, "usage: jollix COMMAND [ARGS...]\n\ncommands:\n");
  for (const CommandEntry& c : Commands()) std::fprintf(out, "  %-8s %s\n", c.name, c.summary);
  std::fprintf(out, "\n'jollix COMMAND --help' explains a command.\n");
}

}  // namespace

CommandRegistrar::CommandRegistrar(const CommandEntry& entry) { Commands().push_back(entry); }

}  // namespace jollix::cli

int main(int argc, char** argv) {
  using namespace jollix::cli;
  if (argc < 2) {
    PrintOverview(stderr);
    return kUsageError;
  }
  if (!std::strcmp(argv[1], "--help") || !std::strcmp(argv[1], "-h")) {
    PrintOverview(stdout);
    return 0;
  }
  for (const CommandEntry& c : Commands()) {
    if (!std::strcmp(argv[1], c.name)) return c.run(argc - 1, argv + 1);
  }
  std::fprintf(stderr, "jollix: unknown command '%s'\n\n", argv[1]);
  PrintOverview(stderr);
  return kUsageError;
}
