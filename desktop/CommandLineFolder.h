// The folder that the main program was started with, which the desktop form shows in its
// folder field ("search in this folder"), so that a file manager can start a search there.
#pragma once

#include <string>
#include <string_view>

namespace jollix {

// In a whole command line (GBK) that holds the program path and a folder each in quotes: the
// text after the first quote, blank, quote in a row, up to the next quote (or the end); empty
// when the line holds no such three bytes. Quote and blank are never trail bytes of GBK, so the
// bytes are searched as they stand.
std::string FolderFromCommandLine(std::string_view command_line);

// With an argument vector (the program first): the second argument, turned from the file
// system's spelling into GBK and made absolute from the current folder when it is relative, so
// call it before the program changes its folder. Empty when there is no second argument.
std::string FolderFromArguments(int argc, const char* const* argv);

}  // namespace jollix
