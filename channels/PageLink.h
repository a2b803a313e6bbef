// Finding the previous-page and next-page links of a result page.
//
// A result page names its page links by a text such as "上一页" (previous page) or "下一页" (next
// page) inside the link element. FindPageLink finds the first occurrence of the marker in text,
// looks back from it, one byte at a time, for "href=" (then, failing that, "HREF=") starting in
// the 299 bytes before the marker, and takes the link after the attribute: from 5 bytes after it
// (one byte more past an opening double quote) up to the first double quote, blank or ">", at
// most 300 bytes. PageLinkScratch (SearchState.h) is zeroed and receives the link; target
// becomes prefix followed by the link, cut to fit. With no marker, or no attribute before it,
// target becomes empty.
//
// The look-back never goes before text, and the link never runs past the end of text, so text
// may be any NUL-terminated string (a whole page, or a page from an anchor text on).
#pragma once

#include "channels/SearchState.h"

namespace jollix {

void FindPageLink(const char* text, const char* marker, const char* prefix,
                  char (&target)[kPageLinkSize]);

// Both page links of a result page: PrevPageLink from "上一页" and NextPageLink from "下一页",
// each found from text on with FindPageLink and the same prefix.
void FindPrevNextLinks(const char* text, const char* prefix);

// The software channel's form: the link may also open with a single quote, and it also ends
// before a single quote. Otherwise as FindPageLink. Returns where the link ends in text (the
// byte after its last one), or null when no link was found; a parser may search on from there.
const char* FindSoftwarePageLink(const char* text, const char* marker, const char* prefix,
                                 char (&target)[kPageLinkSize]);

}  // namespace jollix
