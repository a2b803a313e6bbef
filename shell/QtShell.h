// The desktop shell port on Qt: files, folders and addresses open with the desktop's
// associated program, folders are picked in the desktop's folder dialog, and programs start
// detached in a session of their own.
#pragma once

#include "common/Shell.h"

class QWidget;

namespace jollix {

class QtShell : public Shell {
 public:
  explicit QtShell(QWidget* parent = nullptr) : parent_(parent) {}

  // A local path opens through a file: URL, a web address as it is; the desktop's handlers
  // (xdg-open) choose the program. Only the kind given is trusted: a web address must still be
  // http or https.
  bool Open(const ShellTarget& target) override;
  // The chosen folder in GBK, without a trailing separator except for the root folder.
  bool PickFolder(const char* title, std::string* folder) override;
  // Starts the program (a path in GBK) without arguments, in a new session, not waited for.
  bool Launch(const char* program) override;

 private:
  QWidget* parent_;
};

}  // namespace jollix
