#include "desktop/CommandLineFolder.h"

#include <filesystem>
#include <system_error>

#include "common/Gbk.h"

namespace jollix {

std::string FolderFromCommandLine(std::string_view command_line) {
  const size_t mark = command_line.find("\" \"");
  if (mark == std::string_view::npos) return "";
  const std::string_view rest = command_line.substr(mark + 3);
  return std::string(rest.substr(0, rest.find('"')));
}

std::string FolderFromArguments(int argc, const char* const* argv) {
  if (argc < 2 || !argv[1] || !*argv[1]) return "";
  // The disk spelling, not GBK, goes through the path library.
  std::filesystem::path folder(argv[1]);
  if (folder.is_relative()) {
    std::error_code ec;
    std::filesystem::path current = std::filesystem::current_path(ec);
    if (!ec) folder = (current / folder).lexically_normal();
  }
  return FileNameToGbk(folder.string());
}

}  // namespace jollix
