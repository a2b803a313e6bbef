#include "web/SplitUrl.h"

#include <gtest/gtest.h>

namespace jollix {
namespace {

UrlParts Split(const char* url) {
  UrlParts parts;
  EXPECT_TRUE(SplitUrl(url, &parts)) << url;
  return parts;
}

TEST(SplitUrl, SplitsServerPortAndObject) {
  UrlParts p = Split("http://www.example.com:8080/s?wd=%C4%E3&pn=10");
  EXPECT_EQ(p.Scheme, "http");
  EXPECT_EQ(p.Server, "www.example.com");
  EXPECT_EQ(p.Port, 8080);
  EXPECT_EQ(p.Object, "/s?wd=%C4%E3&pn=10");
}

TEST(SplitUrl, DefaultsAndMissingParts) {
  EXPECT_EQ(Split("HTTP://h").Scheme, "http");
  EXPECT_EQ(Split("http://h").Port, 80);
  EXPECT_EQ(Split("http://h").Object, "/");
  EXPECT_EQ(Split("http://h?q=1").Object, "/?q=1");
  EXPECT_EQ(Split("http://h:/x").Port, 80);
  EXPECT_EQ(Split("https://h/").Port, 443);
  EXPECT_EQ(Split("ftp://h/").Port, 21);
  EXPECT_EQ(Split("mms://h/a.wma").Port, 0);
  // GBK in the object is kept byte for byte; a trail byte of 0x5C or 0x7C is no delimiter.
  EXPECT_EQ(Split("http://h/\xD5\x5C\xB1\x7C.htm").Object, "/\xD5\x5C\xB1\x7C.htm");
}

TEST(SplitUrl, RejectsWhatCannotBeRequested) {
  UrlParts parts;
  for (const char* url : {"", "www.example.com/x", "http:/h/x", "http://", "http:///x",
                          "http://h:0/", "http://h:65536/", "http://h:12a/", "http://h:123456/",
                          "http://a b/", "://h/", "1http://h/", "http://user:pw@h/"}) {
    EXPECT_FALSE(SplitUrl(url, &parts)) << url;
  }
  EXPECT_FALSE(SplitUrl(nullptr, &parts));
}

}  // namespace
}  // namespace jollix
