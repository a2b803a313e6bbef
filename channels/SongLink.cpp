#include "channels/SongLink.h"

#include <cstring>

#include "web/PageFetcher.h"

namespace jollix {
namespace {

// The text after the first marker in page, or null.
const char* After(const char* page, const char* marker) {
  const char* at = std::strstr(page, marker);
  return at ? at + std::strlen(marker) : nullptr;
}

}  // namespace

bool FindSongLink(const char* page, std::string* link) {
  if (!page) return false;
  const char* from = After(page, "请点击此链接");
  if (!from) from = After(page, "歌曲出处");
  if (!from) return false;
  const char* href = std::strstr(from, "href=\"");
  if (!href) href = std::strstr(from, "HREF=\"");
  if (!href) return false;
  const char* start = href + 6;
  const char* quote = std::strchr(start, '"');
  if (!quote) return false;
  link->assign(start, quote);
  return true;
}

bool ResolveSongLink(const char* url, Prompter& prompter, std::string* link) {
  PageFetcher fetcher;
  const char* page = fetcher.Fetch(url ? url : "") == 0 ? fetcher.Text() : "";
  if (FindSongLink(page, link)) return true;
  prompter.Ask(kSongLinkFailedMessage, kSongLinkFailedCaption, PromptButtons::kOk);
  return false;
}

}  // namespace jollix
