#include "shell/Paging.h"

#include "channels/SearchState.h"

namespace jollix {

int PagingFormPage(int t) {
  if (t >= 1 && t <= 4) return 1;
  if (t >= 5 && t <= 7) return 2;
  if (t >= 8 && t <= 10) return 3;
  if (t == 11 || t == 12) return 4;
  if (t >= 13 && t <= 16) return 5;
  if (t >= 17 && t <= 19) return 6;
  if (t >= 20 && t <= 25) return 7;
  return -1;
}

bool RunPagingCommand(bool next, Prompter& prompter,
                      const std::function<void(int form_page)>& run_search) {
  const char* link = next ? NextPageLink : PrevPageLink;
  if (!*link) {
    prompter.Ask(next ? "当前页为最后一页" : "当前页为第一页", nullptr, PromptButtons::kOk);
    return false;
  }
  const int page = PagingFormPage(ResultType);
  if (page < 0) return false;
  ScopedPaging paging(link);
  run_search(page);
  return true;
}

}  // namespace jollix
