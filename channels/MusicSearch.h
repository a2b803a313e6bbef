// Music search: songs found through Baidu MP3 or Yahoo China music, one row per song with its
// format icon, name, singer, album, size, format and the address of the song's page.
//
// The form's format choice narrows the search: -1 all music, 0 mp3, 1 rm, 2 wma. Engines by
// result tab: 0 Baidu MP3, 1 Yahoo music; any other index has no URL (the fetch fails).
//
// The parsers take the store and a writable NUL-terminated page copy, which they cut. Both empty
// the page links first and fill them from the page's "上一页" and "下一页" links. They return 0, or
// -1 when the page has no result table (the search action ignores it). A pass that misses one of
// its markers ends the parse; the songs read until then stay.
#pragma once

#include "channels/ResultRecords.h"
#include "channels/SearchAction.h"

namespace jollix {

// The result table starts at its "链接速度" header and is cut at its end. Each song is a link
// (the song page), the title cell, the singer and album cells, then, after the ringtone cell,
// the size and the format cells.
int ParseBaiduMp3(ResultStore<MusicRecord>* store, char* page);

// The results follow "连通率" and the first class attribute after it. Each song: the link, then
// the texts after "点击查看下载链接" (title), "按歌手搜索" (singer) and "按专辑搜索" (album), and
// after "歌词" the format cell and then the size cell. Page links get the music host in front.
int ParseYahooMusic(ResultStore<MusicRecord>* store, char* page);

class MusicChannel : public RecordChannel<MusicRecord> {
 public:
  const ChannelTexts& Texts() const override;
  bool BuildUrl(const SearchForm& form, int engine, std::string* url) const override;

 protected:
  Parser ParserFor(int engine) const override;
  // Lower-cases the record's format and shows the icon of that file type.
  void ShowRow(ResultPage& list, int row, MusicRecord& record, int engine,
               IconList* icons) const override;
};

}  // namespace jollix
