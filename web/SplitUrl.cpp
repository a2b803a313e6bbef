#include "web/SplitUrl.h"

#include <cstring>

#include "common/IndexLayout.h"

namespace jollix {
namespace {

bool IsSchemeByte(unsigned char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '+' ||
         c == '-' || c == '.';
}

uint16_t DefaultPort(const std::string& scheme) {
  if (scheme == "http") return 80;
  if (scheme == "https") return 443;
  if (scheme == "ftp") return 21;
  return 0;
}

}  // namespace

bool SplitUrl(const char* url, UrlParts* parts) {
  if (url == nullptr) return false;
  const char* p = url;
  if (!((*p >= 'a' && *p <= 'z') || (*p >= 'A' && *p <= 'Z'))) return false;
  while (IsSchemeByte(static_cast<unsigned char>(*p))) ++p;
  if (std::strncmp(p, "://", 3) != 0) return false;
  std::string scheme(url, p);
  for (char& c : scheme) c = static_cast<char>(LowerByte(static_cast<unsigned char>(c)));
  p += 3;

  const char* host = p;
  while (*p != '\0' && *p != ':' && *p != '/' && *p != '?' && *p != '#') {
    if (static_cast<unsigned char>(*p) <= 0x20 || *p == 0x7F) return false;
    ++p;
  }
  if (p == host) return false;
  std::string server(host, p);

  uint16_t port = DefaultPort(scheme);
  if (*p == ':') {
    ++p;
    unsigned value = 0;
    int digits = 0;
    while (*p >= '0' && *p <= '9') {
      value = value * 10 + static_cast<unsigned>(*p - '0');
      if (++digits > 5) return false;
      ++p;
    }
    if (*p != '\0' && *p != '/' && *p != '?' && *p != '#') return false;
    if (digits > 0) {
      if (value == 0 || value > 65535) return false;
      port = static_cast<uint16_t>(value);
    }
  }

  parts->Scheme = std::move(scheme);
  parts->Server = std::move(server);
  parts->Port = port;
  parts->Object = *p == '/' ? std::string(p) : "/" + std::string(p);
  return true;
}

}  // namespace jollix
