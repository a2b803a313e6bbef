// The song link behind a music result: a music row holds the address of the song's page, and
// the page names the song itself in a link after "请点击此链接" (or, failing that, "歌曲出处").
// Opening a music row downloads that page and opens the link found there.
#pragma once

#include <string>

#include "common/Prompter.h"

namespace jollix {

inline constexpr char kSongLinkFailedMessage[] = "解析网页出现异常，或者您选择的音乐URL已经失效！";
inline constexpr char kSongLinkFailedCaption[] = "解析异常";

// Finds the song link in a song page: after "请点击此链接" (else after "歌曲出处") the value of the
// first href=" (else HREF=") up to its closing double quote. False when a marker is missing.
bool FindSongLink(const char* page, std::string* link);

// Downloads the song page at url and finds its song link (a failed download counts as an empty
// page). When no link is found, shows kSongLinkFailedMessage through prompter and returns false.
// Blocks while the page downloads.
bool ResolveSongLink(const char* url, Prompter& prompter, std::string* link);

}  // namespace jollix
