// Port: the desktop shell. Paths and URLs are GBK.
#pragma once

#include <string>

#include "common/ShellTarget.h"

namespace jollix {

class Shell {
 public:
  virtual ~Shell() = default;
  // Opens a target as its kind says (LocalPathTarget, WebAddressTarget decide the kind): a local
  // path with its associated program, a web address in the browser. False for kNone, for a web
  // address whose scheme is not http or https, and when no opener could be started; success
  // means the opener took the target, not that it could show it.
  virtual bool Open(const ShellTarget& target) = 0;
  // Asks the user for a folder; false when none was chosen.
  virtual bool PickFolder(const char* title, std::string* folder) = 0;
  // Starts a program detached (own session, not waited for); false when it cannot start.
  virtual bool Launch(const char* program) = 0;
};

}  // namespace jollix
