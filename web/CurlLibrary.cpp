#include "web/CurlLibrary.h"

#include <dlfcn.h>

#include <mutex>

namespace jollix {
namespace {

template <class F>
bool Bind(void* handle, const char* name, F* slot) {
  *slot = reinterpret_cast<F>(dlsym(handle, name));
  return *slot != nullptr;
}

bool Load(CurlLibrary* lib) {
  void* h = dlopen("libcurl.so.4", RTLD_NOW | RTLD_LOCAL);
  if (!h) return false;
  bool ok = Bind(h, "curl_easy_init", &lib->easy_init) &&
            Bind(h, "curl_easy_cleanup", &lib->easy_cleanup) &&
            Bind(h, "curl_easy_setopt", &lib->easy_setopt) &&
            Bind(h, "curl_easy_getinfo", &lib->easy_getinfo) &&
            Bind(h, "curl_multi_init", &lib->multi_init) &&
            Bind(h, "curl_multi_cleanup", &lib->multi_cleanup) &&
            Bind(h, "curl_multi_add_handle", &lib->multi_add_handle) &&
            Bind(h, "curl_multi_remove_handle", &lib->multi_remove_handle) &&
            Bind(h, "curl_multi_perform", &lib->multi_perform) &&
            Bind(h, "curl_multi_poll", &lib->multi_poll) &&
            Bind(h, "curl_multi_wakeup", &lib->multi_wakeup) &&
            Bind(h, "curl_multi_info_read", &lib->multi_info_read) &&
            Bind(h, "curl_url", &lib->url) && Bind(h, "curl_url_set", &lib->url_set) &&
            Bind(h, "curl_url_cleanup", &lib->url_cleanup) &&
            Bind(h, "curl_slist_append", &lib->slist_append) &&
            Bind(h, "curl_slist_free_all", &lib->slist_free_all);
  decltype(&curl_global_init) global_init = nullptr;
  ok = ok && Bind(h, "curl_global_init", &global_init) &&
       global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
  // The library stays loaded for the life of the process, as a linked one would.
  return ok;
}

}  // namespace

const CurlLibrary* Curl() {
  static CurlLibrary library;
  static bool loaded = false;
  static std::once_flag once;
  std::call_once(once, [] { loaded = Load(&library); });
  return loaded ? &library : nullptr;
}

}  // namespace jollix
