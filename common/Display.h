// Whether the process can show windows: a display server is named by DISPLAY or
// WAYLAND_DISPLAY. Without one, the programs work headless or say they need a display.
#pragma once

#include <cstdlib>

namespace jollix {

inline bool HasDisplay() {
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY"}) {
    const char* value = std::getenv(name);
    if (value && *value) return true;
  }
  return false;
}

}  // namespace jollix
