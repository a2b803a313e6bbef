#include "channels/SearchAction.h"

#include <cstdio>
#include <string>

#include "channels/SearchState.h"
#include "web/PageFetcher.h"

namespace jollix {
namespace {

void ShowStatus(const SearchPorts& ports, const char* text) {
  ports.status->SetText(kChannelStatusPane, text);
}

}  // namespace

SearchOutcome RunSearch(Channel& channel, SearchForm& form, const SearchPorts& ports) {
  const ChannelTexts& texts = channel.Texts();
  ShowStatus(ports, texts.parsing_query);
  int engine = channel.Engine(form, *ports.tabs);
  bool paging = PagingMode && channel.Pages();
  if (!channel.Accept(form, engine, ports)) return SearchOutcome::kRefused;

  std::string url;
  if (paging) {
    url = PageLinkScratch;
  } else {
    if (!channel.BuildUrl(form, engine, &url)) {
      ports.prompter->Ask(kQueryTooLongMessage, kInputErrorCaption, PromptButtons::kOk);
      return SearchOutcome::kRefused;
    }
    if (channel.OpensInBrowser(engine)) {
      ports.shell->Open(WebAddressTarget(url));
      return SearchOutcome::kOpenedInBrowser;
    }
  }

  ShowStatus(ports, texts.fetching);
  std::string page;
  {
    PageFetcher fetcher;
    if (fetcher.Fetch(url.c_str()) != 0) {
      ports.prompter->Ask(kFetchFailedMessage, nullptr, PromptButtons::kOk);
      if (channel.RowOnFetchFailure() && form.current_list) {
        form.current_list->InsertRow(0, kFetchFailedRow, -1);
      }
      return SearchOutcome::kFetchFailed;
    }
    page.assign(fetcher.Text(), fetcher.TextLength());
  }

  ShowStatus(ports, texts.parsing_page);
  ResultPage* list = ports.tabs->PageAt(channel.ListPosition(engine));
  if (list) form.current_list = list;
  int count = channel.ParseAndShow(engine, page.data(), list, ports.icons);
  if (count == 0) {
    ShowStatus(ports, texts.no_result_status);
  } else {
    char status[512];
    std::snprintf(status, sizeof status, texts.found_status, count);
    ShowStatus(ports, status);
  }
  return SearchOutcome::kShown;
}

}  // namespace jollix
