// The cutting tools of the page parsers.
//
// A parser works on a private, writable, NUL-terminated copy of a result page. It finds marker
// texts by substring search, ends the fragments it wants by writing a NUL into the copy, cleans
// them into record fields, and searches on after those points. Because a search stops at the
// first NUL, a search that starts inside a cut fragment sees only that fragment, as the parsers
// intend; steps that move "n bytes on" are clamped to the end of the page, so no parser reads
// past the page whatever the page holds.
#pragma once

#include <cstddef>
#include <string>

#include "channels/ResultRecords.h"

namespace jollix {

class PageScan {
 public:
  // page: the writable copy; its first NUL is its end (later NULs are written by the parser).
  explicit PageScan(char* page);

  char* begin() const { return begin_; }

  // The first marker at or after from (null from: null), up to the next NUL.
  char* Find(const char* from, const char* marker) const;
  // first, or when it does not occur, second: markers tried in a stated case order.
  char* Find(const char* from, const char* first, const char* second) const;
  // Whichever of a and b occurs first.
  char* FindEarlier(const char* from, const char* a, const char* b) const;

  // p moved n bytes on, but never past the end of the page.
  char* Skip(const char* p, size_t n) const;

  // Writes a NUL at p (not null) and returns p.
  static char* Cut(char* p);

  // The class value after a "class=" attribute that ends at value: bytes other than ASCII
  // letters and digits are skipped, then up to max_length letters and digits are taken,
  // lower-cased.
  static std::string ClassValue(const char* value, size_t max_length);

  // The title link of a result element whose class attribute ends at attr_end: the url is the
  // value of the first href=" after attr_end (else of the first HREF=" after pass_start), cut at
  // its closing quote; the title runs from after the next ">" to the next "</A>" (else "</a>"),
  // cut there.
  enum class TitleLink {
    kRead,     // *url, *title and *title_end are set
    kNoTitle,  // *url is set, but no ">" or end tag follows it
    kNoLink,   // no quoted link: nothing more can be read
  };
  TitleLink FindTitleLink(char* attr_end, char* pass_start, char** url, char** title,
                          char** title_end) const;

  // For an attribute that ends with its opening double quote (href=" ending at value): cuts the
  // value at its closing double quote and returns value, or null when no quote closes it.
  static char* CutQuoted(char* value);

 private:
  char* begin_;
  char* end_;  // the page's terminating NUL
};

// CleanHtmlText of html into a field, cut to fit (an empty field when memory runs out).
size_t CleanInto(char* field, size_t width, const char* html);
template <size_t N>
size_t SetCleanField(char (&field)[N], const char* html) {
  return CleanInto(field, N, html);
}

}  // namespace jollix
