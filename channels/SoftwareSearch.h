// Software search: programs found on three download sites, Skycn, Newhua and Sina download,
// one row per program with its name, update time, size (Sina: basic information), popularity
// (Sina: download count), download page and summary.
//
// Engines by result tab: 0 Skycn, 1 Newhua, 2 Sina download; any other index has no URL (the
// fetch fails). Newhua takes the query as typed, GBK bytes and blanks unencoded; the others take
// it percent-encoded. A failed fetch shows only the message, no row.
//
// The parsers take the store and a writable NUL-terminated page copy, which they cut. Once the
// page's first markers are found (Skycn and Newhua: the header and the cut marker; Sina: the
// sort marker) they empty the page links and fill them with the software form of the page-link
// search; a page without those markers leaves the links of the page before as they were. They
// return 0, or -1 or -2 when a marker of the page is missing (the search action ignores it). A
// pass that misses one of its markers ends the parse; the programs read until then stay.
#pragma once

#include "channels/ResultRecords.h"
#include "channels/SearchAction.h"

namespace jollix {

// The results follow the "人气" header; the page is cut at "搜索结果|共", after which the page
// links stand. Each program is a table: the link (whose url gets the site's host in front, without
// scheme) and its text, three cells (time, size, popularity), then a table holding the summary.
// A program is kept only when another table follows its summary table.
int ParseSkycn(ResultStore<SoftwareRecord>* store, char* page);

// The results follow the "文件大小" header; the page is cut at "搜索结果 『共" after it. Each
// program: a table whose link is the url and whose first cell is the name, the time,
// popularity and size cells, and the summary from "描述" to the end of its cell.
int ParseNewhua(ResultStore<SoftwareRecord>* store, char* page);

// The results follow the second "按更新时间排序", searched after the next-page link when the page
// has one. Each program: a table whose link is the url, the name up to "查看截图", the time after
// "更新日期", the summary cell, the basic information up to "星级" and the download count after
// "下载次数". Page links are stored as they stand.
int ParseSinaDownload(ResultStore<SoftwareRecord>* store, char* page);

class SoftwareChannel : public RecordChannel<SoftwareRecord> {
 public:
  const ChannelTexts& Texts() const override;
  bool BuildUrl(const SearchForm& form, int engine, std::string* url) const override;
  bool RowOnFetchFailure() const override { return false; }

 protected:
  Parser ParserFor(int engine) const override;
  void ShowRow(ResultPage& list, int row, SoftwareRecord& record, int engine,
               IconList* icons) const override;
};

}  // namespace jollix
