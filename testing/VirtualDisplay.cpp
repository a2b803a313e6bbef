#include "testing/VirtualDisplay.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <thread>
#include <vector>

extern char** environ;

namespace jollix::testing {
namespace {

Display* AsDisplay(void* d) { return static_cast<Display*>(d); }

std::string WindowTitle(Display* d, Window w) {
  Atom utf8 = XInternAtom(d, "UTF8_STRING", False);
  Atom net_name = XInternAtom(d, "_NET_WM_NAME", False);
  Atom type;
  int format;
  unsigned long count, after;
  unsigned char* data = nullptr;
  std::string title;
  if (XGetWindowProperty(d, w, net_name, 0, 4096, False, utf8, &type, &format, &count, &after,
                         &data) == Success &&
      data) {
    title.assign(reinterpret_cast<char*>(data), count);
    XFree(data);
  }
  return title;
}

bool IsMapped(Display* d, Window w) {
  XWindowAttributes attributes;
  return XGetWindowAttributes(d, w, &attributes) && attributes.map_state == IsViewable;
}

}  // namespace

VirtualDisplay::VirtualDisplay() {
  int fds[2];
  if (pipe(fds) != 0) return;
  // Xvfb writes the display number it chose to the descriptor given by -displayfd.
  const std::string fd_text = std::to_string(fds[1]);
  std::vector<std::string> args = {"Xvfb", "-displayfd",  fd_text,     "-screen",
                                   "0",    "1280x800x24", "-nolisten", "tcp"};
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addclose(&actions, fds[0]);
  const int rc = posix_spawnp(&server_, "Xvfb", &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(fds[1]);
  if (rc != 0) {
    server_ = -1;
    close(fds[0]);
    return;
  }
  std::string number;
  pollfd p = {fds[0], POLLIN, 0};
  char c;
  while (poll(&p, 1, 10000) > 0 && read(fds[0], &c, 1) == 1 && c != '\n') number += c;
  close(fds[0]);
  if (number.empty()) return;
  name_ = ":" + number;
  display_ = XOpenDisplay(name_.c_str());
}

VirtualDisplay::~VirtualDisplay() {
  if (display_) XCloseDisplay(AsDisplay(display_));
  if (server_ > 0) {
    kill(server_, SIGTERM);
    WaitForExit(server_, 5000);
  }
}

unsigned long VirtualDisplay::WaitForWindow(const std::string& title, int timeout_ms) {
  if (!display_) return 0;
  Display* d = AsDisplay(display_);
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  while (std::chrono::steady_clock::now() < end) {
    Window root, parent, *children = nullptr;
    unsigned int count = 0;
    Window found = 0;
    if (XQueryTree(d, DefaultRootWindow(d), &root, &parent, &children, &count)) {
      for (unsigned int i = 0; i < count && !found; ++i) {
        if (IsMapped(d, children[i]) && WindowTitle(d, children[i]) == title) found = children[i];
      }
      if (children) XFree(children);
    }
    if (found) return found;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  return 0;
}

bool VirtualDisplay::WindowSize(unsigned long window, int* width, int* height) {
  if (!display_) return false;
  XWindowAttributes attributes;
  if (!XGetWindowAttributes(AsDisplay(display_), window, &attributes)) return false;
  *width = attributes.width;
  *height = attributes.height;
  return true;
}

bool VirtualDisplay::RequestClose(unsigned long window) {
  if (!display_) return false;
  Display* d = AsDisplay(display_);
  XEvent event;
  std::memset(&event, 0, sizeof event);
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = static_cast<long>(XInternAtom(d, "WM_DELETE_WINDOW", False));
  event.xclient.data.l[1] = CurrentTime;
  const bool sent = XSendEvent(d, window, False, NoEventMask, &event) != 0;
  XFlush(d);
  return sent;
}

int WaitForExit(pid_t pid, int timeout_ms) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  int status = 0;
  while (std::chrono::steady_clock::now() < end) {
    pid_t r = waitpid(pid, &status, WNOHANG);
    if (r == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    if (r < 0) return -1;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  kill(pid, SIGKILL);
  waitpid(pid, &status, 0);
  return -2;
}

}  // namespace jollix::testing
