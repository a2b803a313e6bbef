// Education search: a query answered by one of four reference sources, chosen by the education
// form's own tab: 0 Google Scholar (opened in the browser), 1 Baidu's classical-Chinese search,
// 2 Sogou's idiom dictionary, 3 Baidu's dictionary. Rows of title, url and abstract always go to
// the page at the first result tab.
//
// The parsers take the store and a writable NUL-terminated page copy, which they cut. They
// return 0, or -1 when the page lacks the result-area marker (the search action ignores it).
#pragma once

#include "channels/ResultRecords.h"
#include "channels/SearchAction.h"

namespace jollix {

// Scholar results, reached only while paging (a first scholar search opens the browser): after
// "查询结果", each element of class "g" gives a record from its first line (link and title), an
// optional source line of class "a", the abstract up to "被引用次数" and the citation count after
// it. A result without "被引用次数" is skipped. The page has no page links: they are emptied.
int ParseScholar(ResultStore<EducationRecord>* store, char* page);

// After "百度一下" and the class attribute that follows, each table gives a record: its link,
// the title line and the abstract line. Page links get the classics host in front.
int ParseClassics(ResultStore<EducationRecord>* store, char* page);

// The text after "成语查询结果" is cleaned, every "】" becomes "--", and the text is cut into
// one record per headword, before each "【" (a leading one stays with the first item).
int ParseIdioms(ResultStore<EducationRecord>* store, char* page);

// The text after "把百度设为首页" up to and including "提供" is cleaned and cut into numbered
// items: a new item starts at the digit before every "." that follows a digit. Item ten is
// thus cut before its second digit, as the page numbers it.
int ParseDictionary(ResultStore<EducationRecord>* store, char* page);

class EducationChannel : public RecordChannel<EducationRecord> {
 public:
  const ChannelTexts& Texts() const override;
  int Engine(const SearchForm& form, const ResultTabs& tabs) const override;
  int ListPosition(int engine) const override;
  bool BuildUrl(const SearchForm& form, int engine, std::string* url) const override;
  bool OpensInBrowser(int engine) const override;

 protected:
  Parser ParserFor(int engine) const override;
  void ShowRow(ResultPage& list, int row, EducationRecord& record, int engine,
               IconList* icons) const override;
};

}  // namespace jollix
