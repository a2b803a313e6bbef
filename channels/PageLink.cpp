#include "channels/PageLink.h"

#include <cstring>
#include <string>

#include "channels/ResultRecords.h"

namespace jollix {
namespace {

constexpr int kLookBack = 299;
constexpr size_t kLinkMax = 300;

// The nearest attr (5 bytes) that starts in the kLookBack bytes before marker, not before text.
const char* FindAttributeBefore(const char* text, const char* marker, const char* attr) {
  for (int back = 1; back <= kLookBack && marker - back >= text; ++back) {
    if (std::strncmp(marker - back, attr, 5) == 0) return marker - back;
  }
  return nullptr;
}

// Returns the end of the link in text, or null when none was found.
const char* FindLink(const char* text, const char* marker, const char* prefix, bool single_quotes,
                     char (&target)[kPageLinkSize]) {
  target[0] = '\0';
  const char* at = text ? std::strstr(text, marker) : nullptr;
  if (!at) return nullptr;
  const char* attr = FindAttributeBefore(text, at, "href=");
  if (!attr) attr = FindAttributeBefore(text, at, "HREF=");
  if (!attr) return nullptr;
  const char* link = attr + 5;  // within text: the 5 bytes of attr matched
  if (*link == '"' || (single_quotes && *link == '\'')) ++link;
  const char* stops = single_quotes ? "\"' >" : "\" >";
  size_t length = 0;
  while (length < kLinkMax && link[length] && !std::strchr(stops, link[length])) ++length;
  std::memset(PageLinkScratch, 0, sizeof PageLinkScratch);
  std::memcpy(PageLinkScratch, link, length);
  std::string full = prefix ? prefix : "";
  full += PageLinkScratch;
  SetField(target, full.c_str());
  return link + length;
}

}  // namespace

void FindPageLink(const char* text, const char* marker, const char* prefix,
                  char (&target)[kPageLinkSize]) {
  FindLink(text, marker, prefix, false, target);
}

const char* FindSoftwarePageLink(const char* text, const char* marker, const char* prefix,
                                 char (&target)[kPageLinkSize]) {
  return FindLink(text, marker, prefix, true, target);
}

void FindPrevNextLinks(const char* text, const char* prefix) {
  FindPageLink(text, "上一页", prefix, PrevPageLink);
  FindPageLink(text, "下一页", prefix, NextPageLink);
}

}  // namespace jollix
