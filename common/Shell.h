// Port: the desktop shell. Paths and URLs are GBK.
#pragma once

#include <string>

namespace jollix {

class Shell {
 public:
  virtual ~Shell() = default;
  // Opens a file, folder or URL with its associated program; false on failure.
  virtual bool Open(const char* target) = 0;
  // Asks the user for a folder; false when none was chosen.
  virtual bool PickFolder(const char* title, std::string* folder) = 0;
  // Starts a program detached (own session, not waited for); false when it cannot start.
  virtual bool Launch(const char* program) = 0;
};

}  // namespace jollix
