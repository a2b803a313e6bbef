#include "channels/SearchState.h"

#include <cstring>

#include "channels/ResultRecords.h"

namespace jollix {

void ClearPageLinks() {
  std::memset(PrevPageLink, 0, sizeof PrevPageLink);
  std::memset(NextPageLink, 0, sizeof NextPageLink);
  std::memset(PageLinkScratch, 0, sizeof PageLinkScratch);
}

ScopedPaging::ScopedPaging(const char* link) {
  if (link != PageLinkScratch) SetField(PageLinkScratch, link);
  PagingMode = true;
}

ScopedPaging::~ScopedPaging() { PagingMode = false; }

}  // namespace jollix
