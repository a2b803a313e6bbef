#include "channels/PageLink.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace jollix {
namespace {

class PageLinkTest : public ::testing::Test {
 protected:
  void SetUp() override { ClearPageLinks(); }
  void TearDown() override { ClearPageLinks(); }
};

TEST_F(PageLinkTest, TakesTheQuotedLinkBeforeTheMarkerWithThePrefix) {
  const char page[] = "<a href=\"s?wd=a&pn=0\">上一页</a> <a href=\"s?wd=a&pn=20\">下一页</a>";
  FindPageLink(page, "上一页", "www.baidu.com/", PrevPageLink);
  FindPageLink(page, "下一页", "www.baidu.com/", NextPageLink);
  EXPECT_STREQ(PrevPageLink, "www.baidu.com/s?wd=a&pn=0");
  EXPECT_STREQ(NextPageLink, "www.baidu.com/s?wd=a&pn=20");
  EXPECT_STREQ(PageLinkScratch, "s?wd=a&pn=20");
}

TEST_F(PageLinkTest, UnquotedLinkEndsAtBlankOrBracket) {
  FindPageLink("<A HREF=/n?p=2 class=x>下一页</A>", "下一页", "", NextPageLink);
  EXPECT_STREQ(NextPageLink, "/n?p=2");
  FindPageLink("<a href=/n?p=3>下一页</a>", "下一页", "", NextPageLink);
  EXPECT_STREQ(NextPageLink, "/n?p=3");
}

TEST_F(PageLinkTest, LowerCaseAttributeIsPreferredOverANearerUpperCaseOne) {
  FindPageLink("<a href=\"/low\"><A HREF=\"/up\">下一页</A>", "下一页", "", NextPageLink);
  EXPECT_STREQ(NextPageLink, "/low");
}

TEST_F(PageLinkTest, NoMarkerOrNoAttributeEmptiesTheTarget) {
  std::strcpy(NextPageLink, "old");
  FindPageLink("<a href=\"/x\">上一页</a>", "下一页", "p", NextPageLink);
  EXPECT_STREQ(NextPageLink, "");
  std::strcpy(NextPageLink, "old");
  FindPageLink("<b>下一页</b>", "下一页", "p", NextPageLink);
  EXPECT_STREQ(NextPageLink, "");
}

TEST_F(PageLinkTest, LooksBackOnly299Bytes) {
  std::string near = "<a href=\"/x\">" + std::string(289, 'y') + "下一页";
  FindPageLink(near.c_str(), "下一页", "", NextPageLink);
  EXPECT_STREQ(NextPageLink, "/x");  // "href=" starts exactly 299 bytes before the marker
  std::string far = "<a href=\"/x\">" + std::string(290, 'y') + "下一页";
  FindPageLink(far.c_str(), "下一页", "", NextPageLink);
  EXPECT_STREQ(NextPageLink, "");
}

TEST_F(PageLinkTest, NeverLooksBeforeTheText) {
  std::string page = "<a href=\"/early\">xx下一页";
  // The text to search starts after the attribute: nothing is found, nothing before it is read.
  FindPageLink(page.c_str() + 10, "下一页", "", NextPageLink);
  EXPECT_STREQ(NextPageLink, "");
}

TEST_F(PageLinkTest, LinkIsAtMost300BytesAndPrefixedTextIsCutToTheBuffer) {
  // A link that starts before the marker and runs on far past it.
  std::string page = "<a href=\"/qq下一页" + std::string(500, 'q') + "\">";
  FindPageLink(page.c_str(), "下一页", "", NextPageLink);
  EXPECT_EQ(std::strlen(NextPageLink), 300u);
  std::string prefix(1900, 'p');
  FindPageLink(page.c_str(), "下一页", prefix.c_str(), NextPageLink);
  EXPECT_EQ(std::strlen(NextPageLink), kPageLinkSize - 1);
}

TEST_F(PageLinkTest, LinkAtTheVeryEndOfTheTextStopsThere) {
  FindPageLink("下一页href=\"abc", "下一页", "", NextPageLink);
  EXPECT_STREQ(NextPageLink, "");  // the attribute lies after the marker
  FindPageLink("href=下一页", "下一页", "", NextPageLink);
  EXPECT_STREQ(NextPageLink, "下一页");  // no quote, blank or ">" before the text ends
}

TEST_F(PageLinkTest, SoftwareFormTakesSingleQuotes) {
  const char page[] = "<a href='list.php?page=2'>下一页</a>";
  FindSoftwarePageLink(page, "下一页", "http://h/search.php", NextPageLink);
  EXPECT_STREQ(NextPageLink, "http://h/search.phplist.php?page=2");
  FindPageLink(page, "下一页", "", NextPageLink);
  EXPECT_STREQ(NextPageLink, "'list.php?page=2'");  // the common form stops only at " blank >
  FindSoftwarePageLink("<a href=\"a'b\">下一页", "下一页", "", NextPageLink);
  EXPECT_STREQ(NextPageLink, "a");
}

TEST_F(PageLinkTest, SoftwareFormTellsWhereTheLinkEnds) {
  const char page[] = "<a href='list.php?page=2'>下一页</a> rest";
  const char* end = FindSoftwarePageLink(page, "下一页", "", NextPageLink);
  ASSERT_NE(end, nullptr);
  EXPECT_EQ(end, std::strchr(page, '2') + 1);  // the closing quote
  EXPECT_EQ(FindSoftwarePageLink(page, "上一页", "", PrevPageLink), nullptr);
  EXPECT_EQ(FindSoftwarePageLink("<b>下一页</b>", "下一页", "", NextPageLink), nullptr);
}

TEST_F(PageLinkTest, ScopedPagingCopiesTheLinkAndClearsTheFlag) {
  std::strcpy(NextPageLink, "www.baidu.com/s?pn=20");
  {
    ScopedPaging paging(NextPageLink);
    EXPECT_TRUE(PagingMode);
    EXPECT_STREQ(PageLinkScratch, "www.baidu.com/s?pn=20");
  }
  EXPECT_FALSE(PagingMode);
}

}  // namespace
}  // namespace jollix
