// Web page search: the first result page of Baidu, Google or Yahoo China, one row per result
// with title, URL and abstract.
//
// Engines by result tab: 0 Baidu, 1 Google, 2 Yahoo; 3 fetches the Yahoo page but has no parser
// (no records); any other index has no URL, so the fetch fails.
//
// The parsers take the store and a writable NUL-terminated page copy, which they cut. Each
// empties the page links first and fills them from the page's "上一页" and "下一页" links. They
// return 0, or -1 when the page lacks the result-area marker (the search action ignores it).
#pragma once

#include <cstdio>

#include "channels/ResultRecords.h"
#include "channels/SearchAction.h"

namespace jollix {

int ParseBaiduWeb(ResultStore<WebRecord>* store, char* page);
int ParseGoogleWeb(ResultStore<WebRecord>* store, char* page);
int ParseYahooWeb(ResultStore<WebRecord>* store, char* page);

// The Google parser writes "title=..\nurl=..\nabstract=..\n\n" for every record it adds to this
// stream: standard output unless changed; null writes nothing. Set it before searches run.
void SetGoogleWebTrace(FILE* out);

class WebPageChannel : public RecordChannel<WebRecord> {
 public:
  const ChannelTexts& Texts() const override;
  bool BuildUrl(const SearchForm& form, int engine, std::string* url) const override;

 protected:
  Parser ParserFor(int engine) const override;
  void ShowRow(ResultPage& list, int row, WebRecord& record, int engine,
               IconList* icons) const override;
};

}  // namespace jollix
