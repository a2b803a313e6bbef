// Splitting a URL into the parts that a request needs: scheme, server, port and object.
//
// Works on raw bytes and accepts GBK in the object: the delimiters '/', '?' and '#' never occur
// as the trail byte of a GBK character, so a byte-wise split is safe.
#pragma once

#include <cstdint>
#include <string>

namespace jollix {

struct UrlParts {
  std::string Scheme;  // lower case, without "://"
  std::string Server;  // host name as written
  uint16_t Port = 0;   // the URL's port, or the scheme's default (http 80, https 443, ftp 21,
                       // 0 for other schemes)
  std::string Object;  // path and query from the first byte after the host and port; "/" when
                       // the URL names none, and always beginning with "/"
};

// Splits "scheme://server[:port][object]". Fails on a URL without "://" after a scheme of
// letters, digits, '+', '-' and '.', on an empty server, on a server holding blanks or control
// bytes, and on a port that is not a number from 1 to 65535.
bool SplitUrl(const char* url, UrlParts* parts);

}  // namespace jollix
