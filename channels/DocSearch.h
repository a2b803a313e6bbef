// Document search: office documents of one file type found through Baidu, Sogou or Google, one
// row per document with its type icon, title, type, URL, size and time, and abstract.
//
// The form's file-type choice gives the query's type word: 1 doc, 2 pdf, 3 xls, 4 ppt, 5 rtf,
// anything else "all", which Google refuses before any fetch. Engine tabs: 0 Baidu, 1 Sogou,
// 2 Google; other indices have no URL (the fetch fails).
//
// The parsers take the store and a writable page copy, which they cut; they empty the page links
// first, and return 0, or -1 when the page lacks the result-area marker.
#pragma once

#include "channels/ResultRecords.h"
#include "channels/SearchAction.h"

namespace jollix {

inline constexpr char kGoogleDocRefusal[] =
    "谷歌不支持搜索所有类型的文档，请选择您需要的具体文件类型！";
inline constexpr char kGoogleDocRefusalCaption[] = "格式选择错误";

// The type word of a file-type choice.
const char* DocTypeWord(int file_type);

// Results open with the type in "【" "】", then the link, a title line, a line passed over, the
// abstract line and the size-and-time line (a result whose size line has no blank is dropped).
int ParseBaiduDoc(ResultStore<DocRecord>* store, char* page);
// Results are elements of class "ff"; the type is the last three characters of the link.
int ParseSogouDoc(ResultStore<DocRecord>* store, char* page);
// Results are elements of class "w"; the type stands in brackets after a bold tag. No size.
int ParseGoogleDoc(ResultStore<DocRecord>* store, char* page);

class DocChannel : public RecordChannel<DocRecord> {
 public:
  const ChannelTexts& Texts() const override;
  bool Accept(SearchForm& form, int engine, const SearchPorts& ports) override;
  bool BuildUrl(const SearchForm& form, int engine, std::string* url) const override;

 protected:
  Parser ParserFor(int engine) const override;
  // Lower-cases the record's type and shows its type icon.
  void ShowRow(ResultPage& list, int row, DocRecord& record, int engine,
               IconList* icons) const override;
  // An empty row whose type column holds the no-result text.
  void ShowNoResult(ResultPage& list) const override;
};

}  // namespace jollix
