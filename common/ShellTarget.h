// What a target handed to the shell's "open" is: an address for the browser or a path of the
// file system. Result rows hold web addresses with a scheme ("http://..."), but some download
// sites give theirs without one ("www.example.com/soft/1.html"); desktop rows and the help file
// are paths.
#pragma once

#include <string>

namespace jollix {

struct ShellTarget {
  bool IsAddress = false;
  std::string Text;  // the address (with "http://" added where it had no scheme) or the path
};

// A target with a scheme ("name:/...") is an address; an absolute path, or a relative one that
// names an existing entry of the current folder, is a path; anything else is a web address
// without its scheme. GBK in, GBK out.
ShellTarget ClassifyShellTarget(const std::string& target);

}  // namespace jollix
