// The search action that every web channel runs, over the ports.
//
//   status "parsing the query" -> engine (the selected result tab, or the form's own tab)
//   -> URL: the engine's template filled with the encoded query, or, while PagingMode is set,
//      the stored link in PageLinkScratch -> status "fetching" -> PageFetcher::Fetch
//   -> status "parsing" -> the engine's parser over a private copy of the page, into a
//      ResultStore -> the rows of the engine's result page (old rows deleted), or the channel's
//      no-result row -> status with the count.
//
// A channel (web pages, news, documents, music, software, travel, education) describes only
// what differs: its texts, URL templates, parsers, rows and the few steps of its own (a browser
// engine, a refusal before the fetch). The action runs on the thread that owns the ports and
// blocks while the page downloads.
#pragma once

#include <string>

#include "channels/QueryUrl.h"
#include "channels/ResultStore.h"
#include "common/IconList.h"
#include "common/Prompter.h"
#include "common/ResultPage.h"
#include "common/ResultTabs.h"
#include "common/Shell.h"
#include "common/StatusLine.h"

namespace jollix {

// The status bar pane that the searches write to.
inline constexpr int kChannelStatusPane = 1;

inline constexpr char kFetchFailedMessage[] = "初始化采集器失败，请与软件开发商联系！";
inline constexpr char kFetchFailedRow[] = "初始化采集器失败!";

// The fields of a channel form that a search reads (GBK), and the list it filled last.
struct SearchForm {
  std::string query;         // the query field (travel: the first field)
  std::string second_query;  // travel: the second field
  int file_type = 0;         // documents: 0 all, 1 doc, 2 pdf, 3 xls, 4 ppt, 5 rtf
  int format = -1;           // music: -1 all, 0 mp3, 1 rm, 2 wma
  int tab = 0;               // education and travel: the form's own selected tab
  // The result page this form filled last (null before its first search that showed rows);
  // a failed fetch puts its row there. Pages live as long as the result view.
  ResultPage* current_list = nullptr;
};

// The ports a search uses; all must be set.
struct SearchPorts {
  StatusLine* status;
  Prompter* prompter;
  Shell* shell;
  ResultTabs* tabs;
  IconList* icons;
};

// The texts of a channel's search (GBK). found_status holds one %d, the record count.
struct ChannelTexts {
  const char* parsing_query;
  const char* fetching;
  const char* parsing_page;
  const char* no_result_row;
  const char* no_result_status;
  const char* found_status;
};

class Channel {
 public:
  virtual ~Channel() = default;

  virtual const ChannelTexts& Texts() const = 0;

  // The engine of this search: by default the selected tab of the result view.
  virtual int Engine(const SearchForm& /*form*/, const ResultTabs& tabs) const {
    return tabs.SelectedIndex();
  }
  // The tab position whose page receives the rows: by default the engine's.
  virtual int ListPosition(int engine) const { return engine; }
  // False for a channel whose searches ignore PagingMode (it always builds its URL).
  virtual bool Pages() const { return true; }

  // Checks the form before any URL is built; false ends the search (the channel has shown
  // why through the ports).
  virtual bool Accept(SearchForm& /*form*/, int /*engine*/, const SearchPorts& /*ports*/) {
    return true;
  }
  // The request URL of an engine; an engine without template leaves it empty (the fetch then
  // fails). False when the query does not fit the form's buffers.
  virtual bool BuildUrl(const SearchForm& form, int engine, std::string* url) const = 0;
  // True for an engine whose URL is opened in the browser instead of fetched (not while paging).
  virtual bool OpensInBrowser(int /*engine*/) const { return false; }
  // False for a channel whose failed fetch shows only the message.
  virtual bool RowOnFetchFailure() const { return true; }

  // Runs the engine's parser over page (a private copy it may cut) and shows the records as the
  // rows of list, after deleting the old rows (list may be null: then nothing is shown).
  // Returns the number of records.
  virtual int ParseAndShow(int engine, char* page, ResultPage* list, IconList* icons) = 0;
};

// The common part of the channels: a store of the channel's records and its rows.
template <class Record>
class RecordChannel : public Channel {
 public:
  using Parser = int (*)(ResultStore<Record>* store, char* page);

  int ParseAndShow(int engine, char* page, ResultPage* list, IconList* icons) override {
    ResultStore<Record> store;
    store.Clear();
    if (Parser parse = ParserFor(engine)) parse(&store, page);
    if (!list) return store.Count();
    list->DeleteAllRows();
    if (store.Count() == 0) {
      ShowNoResult(*list);
      return 0;
    }
    for (int row = 0; row < store.Count(); ++row) ShowRow(*list, row, *store.Next(), engine, icons);
    return store.Count();
  }

 protected:
  // The parser of an engine, or null (no records).
  virtual Parser ParserFor(int engine) const = 0;
  // Shows a record as row of list (the record may be changed in place).
  virtual void ShowRow(ResultPage& list, int row, Record& record, int engine,
                       IconList* icons) const = 0;
  virtual void ShowNoResult(ResultPage& list) const {
    list.InsertRow(0, Texts().no_result_row, -1);
  }
};

enum class SearchOutcome {
  kShown,            // rows (or the no-result row) shown
  kOpenedInBrowser,  // the engine's URL was handed to the shell
  kRefused,          // the form was refused before any fetch
  kFetchFailed,      // the page could not be fetched
};

// Runs one search of channel with the form's fields.
SearchOutcome RunSearch(Channel& channel, SearchForm& form, const SearchPorts& ports);

}  // namespace jollix
