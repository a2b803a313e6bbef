// Reading the cells of result tables, for the parsers of the music, software, travel and
// education channels. Built on PageScan: each routine cuts the page at the end of what it
// reads, so the text it returns is NUL-terminated, and a caller searches on after *end.
#pragma once

#include "channels/PageScan.h"

namespace jollix {

// Tag texts tried in a stated case order.
struct TagPair {
  const char* first;
  const char* second;
};
inline constexpr TagPair kCellOpen = {"<td", "<TD"};
inline constexpr TagPair kCellClose = {"</td", "</TD"};
inline constexpr TagPair kUpperCellOpen = {"<TD", "<td"};
inline constexpr TagPair kUpperCellClose = {"</TD", "</td"};
inline constexpr TagPair kTableOpen = {"<table", "<TABLE"};
inline constexpr TagPair kTableClose = {"</table", "</TABLE"};
inline constexpr TagPair kRowOpen = {"<tr", "<TR"};
inline constexpr TagPair kRowClose = {"</tr", "</TR"};
inline constexpr TagPair kHrefQuote = {"href=\"", "HREF=\""};

// The next cell at or after from: its opening tag, and the first closing tag after that. Cuts
// the page at the closing tag, sets *end to it and returns the cell's start (its opening tag
// included: cleaning removes it). Null when either tag is missing.
//
// The closing tag is searched from the opening tag on, not from where the search for the
// opening tag began (from, one byte after the end of what was read before). Read the second
// way, a name read up to its link's "</a>" leaves its own cell's "</td" as the first closing
// tag: it lies before the next cell's opening tag, and every cell after such a name would be
// misplaced by one.
char* NextCell(const PageScan& scan, char* from, char** end, TagPair open = kCellOpen,
               TagPair close = kCellClose);

// The text from from up to close (its first text, else its second): cut there, *end set to it,
// from returned. Null when neither follows.
char* TextUpTo(const PageScan& scan, char* from, TagPair close, char** end);
// The same with one closing text.
char* TextUpTo(const PageScan& scan, char* from, const char* close, char** end);

// The first tag of the pair at or after from (its first text, else its second), or null.
char* FindTag(const PageScan& scan, const char* from, TagPair tag);

// The quoted link of the first href=" (else HREF=") at or after from: cut at its closing quote
// and returned; *end is set to the cut. Null when there is no such attribute or no closing quote.
char* QuotedLink(const PageScan& scan, char* from, char** end);

// The text of an element after a marker: from skip bytes after the marker's start, the next
// ">", then the text up to the earlier of "</a>" and "</A>", cut there. Returns the text after
// the ">", or null when the marker, the ">" or the end tag is missing.
char* LinkTextAfter(const PageScan& scan, char* from, const char* marker, size_t skip, char** end);

}  // namespace jollix
