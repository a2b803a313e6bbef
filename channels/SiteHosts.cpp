#include "channels/SiteHosts.h"

#include <array>
#include <string>

namespace jollix {
namespace {

constexpr int kSiteCount = static_cast<int>(Site::kCount);

constexpr std::array<const char*, kSiteCount> kDefaultHosts = {
    "www.baidu.com",          // kBaiduWeb
    "news.baidu.com",         // kBaiduNews
    "mp3.baidu.com",          // kBaiduMp3
    "guoxue.baidu.com",       // kBaiduClassics
    "www.google.cn",          // kGoogleChinaWeb
    "www.google.com",         // kGoogleWeb
    "news.google.cn",         // kGoogleChinaNews
    "scholar.google.com",     // kGoogleScholar
    "search.cn.yahoo.com",    // kYahooChinaSearch
    "news.cn.yahoo.com",      // kYahooChinaNews
    "music.cn.yahoo.com",     // kYahooChinaMusic
    "www.sogou.com",          // kSogouWeb
    "www.skycn.com",          // kSkycnSite
    "search.skycn.com",       // kSkycnSearch
    "search.newhua.com",      // kNewhuaSearch
    "tech.sina.com.cn",       // kSinaTech
    "weather.sina.com.cn",    // kSinaWeather
    "search.huochepiao.com",  // kTrainSearch
    "www.feeyo.com",          // kAviation
    "www.imobile.com.cn",     // kPhoneRegion
};

std::array<std::string, kSiteCount>& Hosts() {
  static std::array<std::string, kSiteCount> hosts = [] {
    std::array<std::string, kSiteCount> h;
    for (int i = 0; i < kSiteCount; ++i) h[i] = kDefaultHosts[i];
    return h;
  }();
  return hosts;
}

bool Valid(Site site) { return static_cast<int>(site) >= 0 && site < Site::kCount; }

}  // namespace

const char* HostName(Site site) {
  return Valid(site) ? Hosts()[static_cast<int>(site)].c_str() : "";
}

void SetHostName(Site site, const char* host) {
  if (!Valid(site)) return;
  int i = static_cast<int>(site);
  Hosts()[i] = (host && *host) ? host : kDefaultHosts[i];
}

}  // namespace jollix
