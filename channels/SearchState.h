// The process-wide state that the web searches, the paging commands and the result lists share.
//
// Page links: every parser empties the three link buffers at its start and fills PrevPageLink and
// NextPageLink with FindPageLink (PageLink.h), so after a search they describe the page just
// shown (empty where it has no such link); a parse that fails keeps what it found up to then. A
// paging command copies one of them into PageLinkScratch, sets PagingMode and runs the search of
// the channel that ResultType names; the search then fetches PageLinkScratch instead of building
// a URL. The buffers are touched only by the thread that runs the searches (the user-interface
// thread); they are plain arrays for that reason.
//
// PagingMode, ResultType, UrlColumn and DetailColumn are read by the result lists and the details
// list as well, so they are atomic.
#pragma once

#include <atomic>
#include <cstddef>

namespace jollix {

inline constexpr size_t kPageLinkSize = 2000;

// Link to the previous result page of the last parsed page, or empty.
inline char PrevPageLink[kPageLinkSize];
// Link to the next result page of the last parsed page, or empty.
inline char NextPageLink[kPageLinkSize];
// Work buffer of FindPageLink; while paging, the link to fetch.
inline char PageLinkScratch[kPageLinkSize];

// Set only while a previous-page or next-page command runs a channel's search.
inline std::atomic<bool> PagingMode{false};

// The result page (0 to 25) of the channel and engine chosen last: 0 desktop, 1 to 4 web pages,
// 5 to 7 news, 8 to 10 documents, 11 and 12 music, 13 to 16 education, 17 to 19 software,
// 20 to 25 travel.
inline std::atomic<int> ResultType{0};
// The column of the result rows that holds the address a double-click opens.
inline std::atomic<int> UrlColumn{0};
// The column the details list shows wrapped, or -1 to show every column on a line of its own.
inline std::atomic<int> DetailColumn{-1};

// Empties PrevPageLink, NextPageLink and PageLinkScratch (as every parser does first).
void ClearPageLinks();

// Sets PagingMode for the lifetime of the object, with link (PrevPageLink or NextPageLink)
// copied into PageLinkScratch: the span of one paging command's search.
class ScopedPaging {
 public:
  explicit ScopedPaging(const char* link);
  ~ScopedPaging();
  ScopedPaging(const ScopedPaging&) = delete;
  ScopedPaging& operator=(const ScopedPaging&) = delete;
};

}  // namespace jollix
