#include "common/ShellTarget.h"

#include <sys/stat.h>

#include "common/Gbk.h"

namespace jollix {
namespace {

// "scheme:/" at the start: a letter, then letters, digits, '+', '-' or '.'.
bool HasScheme(const std::string& target) {
  const size_t colon = target.find(':');
  if (colon == std::string::npos || colon == 0 || colon + 1 >= target.size()) return false;
  for (size_t i = 0; i < colon; ++i) {
    const char c = target[i];
    const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    const bool other = (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.';
    if (!letter && !(i > 0 && other)) return false;
  }
  return target[colon + 1] == '/';
}

}  // namespace

ShellTarget ClassifyShellTarget(const std::string& target) {
  if (HasScheme(target)) return {true, target};
  struct stat st;
  const bool local =
      !target.empty() && (target[0] == '/' || lstat(DiskPathFromGbk(target).c_str(), &st) == 0);
  if (local || target.empty()) return {false, target};
  return {true, "http://" + target};
}

}  // namespace jollix
