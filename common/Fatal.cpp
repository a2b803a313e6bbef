#include "common/Fatal.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "common/Gbk.h"

namespace jollix {
namespace {

std::atomic<bool> console_utf8{false};

}  // namespace

void SetConsoleUtf8(bool utf8) { console_utf8 = utf8; }

void ConsoleWrite(const char* gbk) {
  if (console_utf8) {
    std::fputs(GbkToUtf8Lossy(gbk).c_str(), stdout);
  } else {
    std::fputs(gbk, stdout);
  }
  std::fflush(stdout);  // in step with standard error when both go to one place
}

void EndProcess(int code) {
  std::fflush(nullptr);
  std::_Exit(code);
}

void FatalLine(const char* format, const char* unit, int line, int code) {
  char text[512];
  std::snprintf(text, sizeof text, format, unit, line);
  ConsoleWrite(text);
  EndProcess(code);
}

}  // namespace jollix
