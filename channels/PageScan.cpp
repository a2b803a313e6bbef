#include "channels/PageScan.h"

#include <cstring>

#include "web/HtmlText.h"

namespace jollix {
namespace {

bool IsAsciiAlnum(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

}  // namespace

PageScan::PageScan(char* page) : begin_(page), end_(page + std::strlen(page)) {}

char* PageScan::Find(const char* from, const char* marker) const {
  return from ? const_cast<char*>(std::strstr(from, marker)) : nullptr;
}

char* PageScan::Find(const char* from, const char* first, const char* second) const {
  char* p = Find(from, first);
  return p ? p : Find(from, second);
}

char* PageScan::FindEarlier(const char* from, const char* a, const char* b) const {
  char* pa = Find(from, a);
  char* pb = Find(from, b);
  if (!pa) return pb;
  if (!pb) return pa;
  return pa < pb ? pa : pb;
}

char* PageScan::Skip(const char* p, size_t n) const {
  size_t room = static_cast<size_t>(end_ - p);
  return const_cast<char*>(p) + (n < room ? n : room);
}

char* PageScan::Cut(char* p) {
  *p = '\0';
  return p;
}

std::string PageScan::ClassValue(const char* value, size_t max_length) {
  while (*value && !IsAsciiAlnum(*value)) ++value;
  std::string out;
  for (; out.size() < max_length && IsAsciiAlnum(*value); ++value) {
    char c = *value;
    out += (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
  }
  return out;
}

char* PageScan::CutQuoted(char* value) {
  char* quote = std::strchr(value, '"');
  if (!quote) return nullptr;
  Cut(quote);
  return value;
}

PageScan::TitleLink PageScan::FindTitleLink(char* attr_end, char* pass_start, char** url,
                                            char** title, char** title_end) const {
  char* href = Find(attr_end, "href=\"");
  if (!href) href = Find(pass_start, "HREF=\"");
  if (!href) return TitleLink::kNoLink;
  *url = CutQuoted(href + 6);
  if (!*url) return TitleLink::kNoLink;
  char* gt = Find(*url + std::strlen(*url) + 1, ">");
  char* end = gt ? Find(gt + 1, "</A>", "</a>") : nullptr;
  if (!end) return TitleLink::kNoTitle;
  *title = gt + 1;
  *title_end = Cut(end);
  return TitleLink::kRead;
}

size_t CleanInto(char* field, size_t width, const char* html) {
  char* text = nullptr;
  if (CleanHtmlText(html, &text) != 0) return FitText(field, width, "", 0);
  CleanText owner(text);
  return FitText(field, width, text, std::strlen(text));
}

}  // namespace jollix
