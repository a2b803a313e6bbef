// The previous-page and next-page commands: they repeat the search of the channel that
// ResultType names on the link the last parsed page gave (PrevPageLink, NextPageLink).
#pragma once

#include <functional>

#include "common/Prompter.h"

namespace jollix {

// The side-bar page of the form whose search a paging command repeats for a result type: 1 web
// pages (types 1 to 4), 2 news (5 to 7), 3 documents (8 to 10), 4 music (11, 12), 5 education
// (13 to 16), 6 software (17 to 19), 7 travel (20 to 25); -1 for the desktop (0) and others.
int PagingFormPage(int result_type);

// With next false the previous page, else the next. An empty link shows "当前页为第一页" (resp.
// "当前页为最后一页") with the application title; otherwise run_search(form page) runs with
// PagingMode set and the link in PageLinkScratch, unless the desktop is chosen. Returns whether
// a search ran.
bool RunPagingCommand(bool next, Prompter& prompter,
                      const std::function<void(int form_page)>& run_search);

}  // namespace jollix
