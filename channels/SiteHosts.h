// The host names of the outside sites that the web channels query: deployment values, kept in
// this one table. The request paths and query keys belong to the channels; only the hosts are
// here.
//
// Tests leave the table alone and send the requests through a local HTTP proxy (http_proxy),
// which answers for any host; SetHostName points a site elsewhere (a mirror, a local server).
// Change the table before any search runs: it is read without a lock.
#pragma once

namespace jollix {

enum class Site {
  kBaiduWeb,
  kBaiduNews,
  kBaiduMp3,
  kBaiduClassics,
  kGoogleChinaWeb,
  kGoogleWeb,  // the international site, prefix of the Google web page links
  kGoogleChinaNews,
  kGoogleScholar,
  kYahooChinaSearch,
  kYahooChinaNews,
  kYahooChinaMusic,
  kSogouWeb,
  kSkycnSite,
  kSkycnSearch,
  kNewhuaSearch,
  kSinaTech,
  kSinaWeather,
  kTrainSearch,
  kAviation,
  kPhoneRegion,
  kCount
};

// The host name of a site (no scheme, no slash), e.g. "www.baidu.com".
const char* HostName(Site site);

// Replaces the host name of a site; an empty or null name restores the default.
void SetHostName(Site site, const char* host);

}  // namespace jollix
