// News search: Baidu news and Google news result pages, one row per news item with title,
// source and time, URL and abstract. Any other engine tab opens the Yahoo news search in the
// browser instead (while paging it fetches the stored link and parses nothing).
//
// The parsers take the store and a writable page copy, which they cut; they empty the page links
// first, and return 0, or -1 when the page lacks the result-area marker.
#pragma once

#include "channels/ResultRecords.h"
#include "channels/SearchAction.h"

namespace jollix {

// News items are elements of class "zh": a title link, the source and time between "<nobr>"
// and "</nobr>" (kept as it stands, tags and all), and the abstract up to "</table>".
int ParseBaiduNews(ResultStore<NewsRecord>* store, char* page);
// News items are elements of class "j": a title link, the source and time up to "</nobr>"
// (cleaned) and the abstract up to "</table>". Page links only after "结果页码", kept as found.
int ParseGoogleNews(ResultStore<NewsRecord>* store, char* page);

class NewsChannel : public RecordChannel<NewsRecord> {
 public:
  const ChannelTexts& Texts() const override;
  bool BuildUrl(const SearchForm& form, int engine, std::string* url) const override;
  bool OpensInBrowser(int engine) const override { return engine != 0 && engine != 1; }

 protected:
  Parser ParserFor(int engine) const override;
  void ShowRow(ResultPage& list, int row, NewsRecord& record, int engine,
               IconList* icons) const override;
};

}  // namespace jollix
