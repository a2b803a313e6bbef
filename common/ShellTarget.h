// What the shell's "open" is given, decided by where the text comes from, never guessed from the
// text alone: a desktop row, the help page and a row's folder are local paths; a web row's
// address, a song link, a search address and the version server's download address come from
// outside and are web addresses. So a result page can never make a double-click open a local
// file, a "file:" URL or a desktop entry, and a local name that happens to look like a host name
// is never sent to the browser.
#pragma once

#include <string>

namespace jollix {

enum class ShellTargetKind {
  kNone,        // not openable: the shell refuses it (a missing file, a non-web address)
  kLocalPath,   // an existing entry of the file system, opened with its associated program
  kWebAddress,  // an http:// or https:// address, opened in the browser
};

struct ShellTarget {
  ShellTargetKind Kind = ShellTargetKind::kNone;
  std::string Text;  // GBK: the absolute path, or the address with its scheme
};

// A local file or folder. kLocalPath when path is absolute and names an existing entry at the
// time of the call (a symbolic link counts when what it points to exists); otherwise kNone, so
// that a file removed since the search is reported as a failed open instead of handing the
// opener a name it can only fail on silently. GBK in, GBK out.
ShellTarget LocalPathTarget(const std::string& path);

// A web address from outside. An http:// or https:// address (any letter case) is taken as it
// is; a text that starts with a host name ("www.example.com/soft/1.html", with an optional
// port) is an address without its scheme and gets "http://"; anything else (another scheme, a
// path, a plain word) is kNone. The bytes are kept: a GBK query in an address reaches the site
// as the site's own bytes.
ShellTarget WebAddressTarget(const std::string& text);

}  // namespace jollix
