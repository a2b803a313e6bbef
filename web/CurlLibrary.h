// libcurl, loaded when the first page fetcher is made rather than when a program starts.
//
// libcurl brings some thirty shared libraries (TLS, compression, name services) whose loading
// and start-up cost more than a whole desktop search; `jollix find` and the indexer never fetch
// a page and should not pay for it. Only the functions the fetcher calls are looked up.
#pragma once

#include <curl/curl.h>

namespace jollix {

struct CurlLibrary {
  decltype(&curl_easy_init) easy_init;
  decltype(&curl_easy_cleanup) easy_cleanup;
  decltype(&curl_easy_setopt) easy_setopt;
  decltype(&curl_easy_getinfo) easy_getinfo;
  decltype(&curl_multi_init) multi_init;
  decltype(&curl_multi_cleanup) multi_cleanup;
  decltype(&curl_multi_add_handle) multi_add_handle;
  decltype(&curl_multi_remove_handle) multi_remove_handle;
  decltype(&curl_multi_perform) multi_perform;
  decltype(&curl_multi_poll) multi_poll;
  decltype(&curl_multi_wakeup) multi_wakeup;
  decltype(&curl_multi_info_read) multi_info_read;
  decltype(&curl_url) url;
  decltype(&curl_url_set) url_set;
  decltype(&curl_url_cleanup) url_cleanup;
  decltype(&curl_slist_append) slist_append;
  decltype(&curl_slist_free_all) slist_free_all;
};

// The library, loaded and globally initialised once for the process (thread-safe); null when
// it cannot be loaded, which a fetch reports as a failure to open the connection.
const CurlLibrary* Curl();

}  // namespace jollix
