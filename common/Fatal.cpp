#include "common/Fatal.h"

#include <cstdio>
#include <cstdlib>

namespace jollix {

void EndProcess(int code) {
  std::fflush(nullptr);
  std::_Exit(code);
}

void FatalLine(const char* format, const char* unit, int line, int code) {
  std::printf(format, unit, line);
  EndProcess(code);
}

}  // namespace jollix
