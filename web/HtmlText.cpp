#include "web/HtmlText.h"

#include <climits>
#include <cstdio>
#include <cstring>

#include "common/IndexLayout.h"
#include "web/SplitUrl.h"

namespace jollix {
namespace {

constexpr char kHttp[] = "http://";
constexpr size_t kHttpLength = 7;

bool IsAsciiSpace(unsigned char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool StartsWithNoCase(const std::string& s, const char* prefix) {
  size_t i = 0;
  for (; prefix[i] != '\0'; ++i)
    if (i >= s.size() || LowerByte(static_cast<unsigned char>(s[i])) != prefix[i]) return false;
  return true;
}

struct Entity {
  const char* name;  // the text after "&", with its ";"
  size_t length;
  char byte;
};

// Checked in this order.
constexpr Entity kEntities[] = {
    {"amp;", 4, '&'},
    {"lt;", 3, '<'},
    {"gt;", 3, '>'},
    {"quot;", 5, '"'},
    {"nbsp;", 5, ' '},
    {"copy;", 5, static_cast<char>(0xA9)},
    {"reg;", 4, static_cast<char>(0xAE)},
};

// Runs of "/" after "http://" and before the first "?" become one "/".
void CollapseSlashes(std::string* url) {
  std::string& s = *url;
  size_t query = s.find('?');
  size_t end = query == std::string::npos ? s.size() : query;
  size_t out = kHttpLength;
  for (size_t in = kHttpLength; in < end; ++in) {
    if (s[in] == '/' && out > kHttpLength && s[out - 1] == '/') continue;
    s[out++] = s[in];
  }
  s.erase(out, end - out);
}

// Position of the n-th "/" before pos, looking back no further than from; npos when fewer.
size_t NthSlashBefore(const std::string& s, size_t pos, size_t from, int n) {
  for (size_t i = pos; i > from;) {
    --i;
    if (s[i] == '/' && --n == 0) return i;
  }
  return std::string::npos;
}

// Resolves the dot segments of the path: from the first "/" after "http://" up to the query.
// A run of two or three dots that begins a segment climbs one or two folders: the path is cut
// back to the second (third) "/" before the dots and goes on with what follows them; when there
// are not that many folders the dots alone go and the scan starts again. "./" goes, a "." at the
// end of the path goes, and any other dot stays.
void ResolveDots(std::string* url) {
  std::string& s = *url;
  size_t end = s.find('?');
  if (end == std::string::npos) end = s.size();
  size_t path = s.find('/', kHttpLength);
  if (path == std::string::npos || path > end) return;
  size_t i = path;
  while (i < end) {
    if (s[i] != '.' || s[i - 1] != '/') {
      ++i;
      continue;
    }
    size_t dots = 1;
    while (dots < 3 && i + dots < end && s[i + dots] == '.') ++dots;
    if (dots == 1) {
      if (i + 1 < end && s[i + 1] == '/') {
        s.erase(i - 1, 2);
        end -= 2;
        --i;
      } else if (i + 1 == end) {
        s.erase(i, 1);
        --end;
      } else {
        ++i;
      }
      continue;
    }
    size_t cut = NthSlashBefore(s, i, path, static_cast<int>(dots));
    if (cut == std::string::npos) {
      s.erase(i, dots);
      end -= dots;
      i = path;
    } else {
      s.erase(cut, i + dots - cut);
      end -= i + dots - cut;
      i = cut;
    }
  }
}

void DecodeUrlEntities(std::string* url) {
  static constexpr Entity kUrlEntities[] = {
      {"&amp;", 5, '&'}, {"&lt;", 4, '<'}, {"&gt;", 4, '>'}, {"&nbsp;", 6, ' '}};
  std::string& s = *url;
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size();) {
    bool decoded = false;
    if (s[i] == '&') {
      for (const Entity& e : kUrlEntities) {
        if (s.compare(i, e.length, e.name) == 0) {
          out += e.byte;
          i += e.length;
          decoded = true;
          break;
        }
      }
    }
    if (!decoded) out += s[i++];
  }
  s = std::move(out);
}

void RemoveFragment(std::string* url) {
  size_t fragment = url->rfind('#');
  if (fragment != std::string::npos) url->erase(fragment);
}

// The folder of the base page: "http://" + server and path up to its last "/", without query
// and fragment (a "/" inside the fragment must not count as a folder).
std::string BaseDirectory(const char* base) {
  std::string url = base;
  if (!StartsWithNoCase(url, kHttp)) url.insert(0, kHttp);
  RemoveFragment(&url);
  CollapseSlashes(&url);
  ResolveDots(&url);
  std::string part = url.substr(kHttpLength);
  size_t query = part.rfind('?');
  if (query != std::string::npos) part.erase(query);
  size_t slash = part.rfind('/');
  if (slash == std::string::npos) {
    part += '/';
  } else {
    part.erase(slash + 1);
  }
  return kHttp + part;
}

}  // namespace

int CleanHtmlText(const char* html, char** text) {
  if (html == nullptr) html = "";
  size_t length = std::strlen(html);
  char* buffer = static_cast<char*>(std::malloc(length + 1));
  if (buffer == nullptr) {
    std::fputs("分配内存失败.\n", stderr);
    *text = nullptr;
    return -1;
  }
  size_t out = 0;
  for (const char* p = html; *p != '\0';) {
    if (*p != '<') {
      buffer[out++] = *p++;
      continue;
    }
    const char* close = std::strchr(p, '>');
    if (close == nullptr) break;
    p = close + 1;
  }
  if (out > static_cast<size_t>(INT_MAX)) out = INT_MAX;
  int decoded = DecodeEntities(buffer, static_cast<int>(out));
  buffer[decoded] = '\0';
  *text = buffer;
  return 0;
}

int CleanHtmlText(const char* html, CleanText* text) {
  char* plain = nullptr;
  int result = CleanHtmlText(html, &plain);
  text->reset(plain);
  return result;
}

int DecodeEntities(char* text, int length) {
  if (text == nullptr || length <= 0) return 0;
  const unsigned char* in = reinterpret_cast<const unsigned char*>(text);
  int end = length;
  while (end > 0 && IsAsciiSpace(in[end - 1])) --end;
  int pos = 0;
  while (pos < end && IsAsciiSpace(in[pos])) ++pos;

  int out = 0;
  bool after_text_blank = false;  // the last byte written is a blank copied from the text
  while (pos < end) {
    char c = text[pos];
    if (c != '&') {
      ++pos;
      if (c == ' ' && after_text_blank) continue;
      text[out++] = c;
      after_text_blank = c == ' ';
      continue;
    }
    ++pos;  // past "&"
    if (pos < end && text[pos] == '#') {
      ++pos;
      unsigned value = 0;
      while (pos < end && text[pos] >= '0' && text[pos] <= '9') {
        value = (value * 10 + static_cast<unsigned>(text[pos] - '0')) % 256;
        ++pos;
      }
      if (pos < end) ++pos;  // the ";" (or whatever stands there)
      text[out++] = static_cast<char>(value);
      after_text_blank = false;
      continue;
    }
    for (const Entity& e : kEntities) {
      if (static_cast<size_t>(end - pos) >= e.length &&
          std::memcmp(text + pos, e.name, e.length) == 0) {
        text[out++] = e.byte;
        pos += static_cast<int>(e.length);
        after_text_blank = false;
        break;
      }
    }
    // An unknown entity loses only its "&".
  }
  return out;
}

std::string EncodeQuery(const char* query) {
  std::string out;
  if (query == nullptr) return out;
  static constexpr char kHex[] = "0123456789ABCDEF";
  for (const unsigned char* p = reinterpret_cast<const unsigned char*>(query); *p != 0; ++p) {
    if (*p >= 0x80) {
      out += '%';
      out += kHex[*p >> 4];
      out += kHex[*p & 0x0F];
    } else if (*p == ' ') {
      out += '+';
    } else {
      out += static_cast<char>(*p);
    }
  }
  return out;
}

int ResolveLink(const char* base, const char* link, std::string* target) {
  if (base == nullptr || link == nullptr || target == nullptr) return 0;
  std::string directory = BaseDirectory(base);
  std::string lower = link;
  for (char& c : lower) c = static_cast<char>(LowerByte(static_cast<unsigned char>(c)));

  std::string url;
  if (lower[0] == '/') {
    UrlParts parts;
    if (!SplitUrl(directory.c_str(), &parts)) return 0;
    url = kHttp + parts.Server + ":" + std::to_string(parts.Port) + link;
  } else if (lower.compare(0, kHttpLength, kHttp) == 0) {
    url = link;
  } else {
    UrlParts parts;
    if (SplitUrl(link, &parts)) return 0;  // another scheme
    url = directory + link;
  }

  RemoveFragment(&url);
  CollapseSlashes(&url);
  ResolveDots(&url);
  DecodeUrlEntities(&url);
  *target = std::move(url);
  return 1;
}

void RemoveChar(char* text, char c) {
  if (text == nullptr) return;
  char* out = text;
  for (const char* in = text; *in != '\0'; ++in)
    if (*in != c) *out++ = *in;
  *out = '\0';
}

}  // namespace jollix
