#include "common/ShellTarget.h"

#include <sys/stat.h>

#include <string_view>

#include "common/Gbk.h"

namespace jollix {
namespace {

bool IsAsciiAlnum(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    char c = text[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != prefix[i]) return false;
  }
  return true;
}

// "http://" or "https://" followed by something.
bool IsWebScheme(std::string_view text) {
  for (std::string_view scheme : {"http://", "https://"}) {
    if (StartsWithNoCase(text, scheme) && text.size() > scheme.size()) return true;
  }
  return false;
}

bool EndsHostPart(std::string_view rest) {
  return rest.empty() || rest[0] == '/' || rest[0] == '?' || rest[0] == '#';
}

// Labels of ASCII letters, digits and '-' joined by single dots, at least two of them, then an
// optional ":port", then the end of the text or the start of a path, query or fragment.
bool StartsWithHostName(std::string_view text) {
  size_t at = 0, labels = 0;
  while (true) {
    const size_t start = at;
    while (at < text.size() && (IsAsciiAlnum(text[at]) || text[at] == '-')) ++at;
    if (at == start) return false;
    ++labels;
    if (at < text.size() && text[at] == '.') {
      ++at;
      continue;
    }
    break;
  }
  if (labels < 2) return false;
  if (at < text.size() && text[at] == ':') {
    const size_t digits = ++at;
    while (at < text.size() && text[at] >= '0' && text[at] <= '9') ++at;
    if (at == digits) return false;
  }
  return EndsHostPart(text.substr(at));
}

}  // namespace

ShellTarget LocalPathTarget(const std::string& path) {
  struct stat st;
  if (path.empty() || path[0] != '/') return {};
  if (stat(DiskPathFromGbk(path).c_str(), &st) != 0) return {};
  return {ShellTargetKind::kLocalPath, path};
}

ShellTarget WebAddressTarget(const std::string& text) {
  if (IsWebScheme(text)) return {ShellTargetKind::kWebAddress, text};
  if (StartsWithHostName(text)) return {ShellTargetKind::kWebAddress, "http://" + text};
  return {};
}

}  // namespace jollix
