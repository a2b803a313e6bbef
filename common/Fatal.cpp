#include "common/Fatal.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "common/Gbk.h"

namespace jollix {
namespace {

std::atomic<bool> console_utf8{false};
std::atomic<bool> console_stderr{false};

}  // namespace

void SetConsoleUtf8(bool utf8) { console_utf8 = utf8; }

void SetConsoleToStderr(bool to_stderr) { console_stderr = to_stderr; }

void ConsoleWrite(const char* gbk) {
  FILE* out = console_stderr ? stderr : stdout;
  if (console_utf8) {
    std::fputs(GbkToUtf8Lossy(gbk).c_str(), out);
  } else {
    std::fputs(gbk, out);
  }
  std::fflush(out);  // in step with the other stream when both go to one place
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
