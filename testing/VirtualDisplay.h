// A virtual X display (Xvfb) for tests that run a window program as a process, and the few
// looks at its windows that such a test needs: find a top-level window by its title and ask it
// to close, the way a window manager's close button does.
#pragma once

#include <sys/types.h>

#include <string>

namespace jollix::testing {

class VirtualDisplay {
 public:
  // Starts Xvfb on a free display number; ok() tells whether it came up.
  VirtualDisplay();
  ~VirtualDisplay();
  VirtualDisplay(const VirtualDisplay&) = delete;
  VirtualDisplay& operator=(const VirtualDisplay&) = delete;

  bool ok() const { return display_ != nullptr; }
  // The value for DISPLAY, e.g. ":5".
  const std::string& name() const { return name_; }

  // Waits up to timeout_ms for a mapped top-level window whose title (UTF-8) is title.
  // Returns its id, 0 when none came.
  unsigned long WaitForWindow(const std::string& title, int timeout_ms);
  // The window's width and height.
  bool WindowSize(unsigned long window, int* width, int* height);
  // Sends the window the close request (WM_DELETE_WINDOW).
  bool RequestClose(unsigned long window);

 private:
  pid_t server_ = -1;
  std::string name_;
  void* display_ = nullptr;  // Display*
};

// Waits up to timeout_ms for a child to end; its exit status 0..255, -1 for a signal, -2 when
// it did not end in time (it is then killed).
int WaitForExit(pid_t pid, int timeout_ms);

}  // namespace jollix::testing
