#include "web/HtmlText.h"

#include <gtest/gtest.h>

#include <cstring>

namespace jollix {
namespace {

std::string Clean(const char* html) {
  char* text = nullptr;
  EXPECT_EQ(CleanHtmlText(html, &text), 0);
  if (text == nullptr) return "<null>";
  CleanText owner(text);
  return text;
}

// Decodes exactly `length` bytes of a copy and returns the decoded bytes, zero bytes included.
std::string Decode(const std::string& text) {
  std::string copy = text;
  int n = DecodeEntities(copy.data(), static_cast<int>(copy.size()));
  EXPECT_GE(n, 0);
  EXPECT_LE(static_cast<size_t>(n), text.size());
  return copy.substr(0, static_cast<size_t>(n));
}

std::string Resolve(const char* base, const char* link) {
  std::string target = "untouched";
  if (ResolveLink(base, link, &target) != 1) {
    EXPECT_EQ(target, "untouched");
    return "<none>";
  }
  return target;
}

TEST(CleanHtmlText, TrimsAndMergesBlanks) {
  EXPECT_EQ(Clean("  \t\r\n hello \n "), "hello");
  EXPECT_EQ(Clean("a  b    c"), "a b c");
  EXPECT_EQ(Clean(" \t\n "), "");
  EXPECT_EQ(Clean(""), "");
  EXPECT_EQ(Clean(nullptr), "");
}

TEST(CleanHtmlText, KeepsTabsAndLineBreaksInside) {
  EXPECT_EQ(Clean("a \t b"), "a \t b");
  EXPECT_EQ(Clean("a\n\nb"), "a\n\nb");
  EXPECT_EQ(Clean("a \r\n  b"), "a \r\n b");
}

TEST(CleanHtmlText, NamedEntities) {
  EXPECT_EQ(Clean("Q&amp;A"), "Q&A");
  EXPECT_EQ(Clean("&lt;b&gt; &quot;x&quot;"), "<b> \"x\"");
  EXPECT_EQ(Clean("&copy;&reg;"), "\xA9\xAE");
  // "&amp;" is decoded once: what it yields is text, not the start of another entity.
  EXPECT_EQ(Clean("&amp;lt;"), "&lt;");
}

TEST(CleanHtmlText, NonBreakingSpacesAreNeverMerged) {
  EXPECT_EQ(Clean("a&nbsp;&nbsp;b"), "a  b");
  EXPECT_EQ(Clean("a&nbsp; b"), "a  b");
  EXPECT_EQ(Clean("a &nbsp;b"), "a  b");
  EXPECT_EQ(Clean("a  &nbsp;  b"), "a   b");
}

TEST(CleanHtmlText, UnknownEntityLosesOnlyItsAmpersand) {
  EXPECT_EQ(Clean("x&hellip;y"), "xhellip;y");
  EXPECT_EQ(Clean("AT&T"), "ATT");
  EXPECT_EQ(Clean("tail&"), "tail");
  EXPECT_EQ(Clean("&AMP;"), "AMP;");  // names are case-sensitive
}

TEST(CleanHtmlText, DecimalReferences) {
  EXPECT_EQ(Clean("&#65;&#66"), "AB");   // the second at the very end, without ";"
  EXPECT_EQ(Clean("&#65x&#66;"), "AB");  // whatever byte follows the digits is skipped
  EXPECT_EQ(Clean("&#321;"), "A");       // modulo 256
  EXPECT_EQ(Clean("&#99999999999999999999;"), "\xFF");
  // The byte written by "&#32;" is not a blank of the text, so a blank after it stays.
  EXPECT_EQ(Clean("a&#32; b"), "a  b");
}

TEST(CleanHtmlText, HexadecimalReferenceWritesAZeroByte) {
  EXPECT_EQ(Clean("ab&#x41;cd"), "ab");
  EXPECT_EQ(Decode("ab&#x41;cd"), std::string("ab\0"
                                              "41;cd",
                                              8));
  EXPECT_EQ(Decode("x&#"), std::string("x\0", 2));
}

TEST(CleanHtmlText, RemovesTagsWithoutLeavingGaps) {
  EXPECT_EQ(Clean("<a href=\"http://h/x.htm\" target=_blank>Link text</a> word"), "Link text word");
  EXPECT_EQ(Clean("<td><br/><img src=x></td>"), "");
  EXPECT_EQ(Clean("<b>中</b>文<em>搜</em>索"), "中文搜索");
  EXPECT_EQ(Clean("a<br>b"), "ab");
}

TEST(CleanHtmlText, OpenTagWithoutEndDropsTheRest) {
  EXPECT_EQ(Clean("title <a href=\"x"), "title");
  EXPECT_EQ(Clean("<"), "");
  EXPECT_EQ(Clean("a > b"), "a > b");  // a lone ">" is text
}

TEST(CleanHtmlText, GbkBytesPassUnchanged) {
  // Trail bytes that look like ASCII punctuation ('\\', '|', '@') stay where they are, and
  // high bytes are never trimmed as whitespace.
  EXPECT_EQ(Clean(" \xD5\x5C\xB1\x7C\xA1\xA1 "), "\xD5\x5C\xB1\x7C\xA1\xA1");
  EXPECT_EQ(Clean("\xA0x\xA0"), "\xA0x\xA0");
}

TEST(DecodeEntities, StaysWithinTheGivenLength) {
  // The bytes after `length` would complete "&amp;" but must not be looked at.
  char text[] = "a&amp;";
  EXPECT_EQ(DecodeEntities(text, 4), 3);
  EXPECT_EQ(std::string(text, 3), "aam");
  // Trailing blanks are trimmed before entities are matched.
  EXPECT_EQ(Decode("x&nbsp  "), "xnbsp");
  EXPECT_EQ(Decode("&#12"), std::string(1, '\x0C'));
  EXPECT_EQ(Decode("&"), "");
  EXPECT_EQ(DecodeEntities(nullptr, 5), 0);
  char empty[] = "";
  EXPECT_EQ(DecodeEntities(empty, 0), 0);
}

TEST(EncodeQuery, EncodesHighBytesAndBlanksOnly) {
  EXPECT_EQ(EncodeQuery("a b"), "a+b");
  EXPECT_EQ(EncodeQuery("x&y=z?#+%"), "x&y=z?#+%");
  EXPECT_EQ(EncodeQuery("\xC4\xE3"), "%C4%E3");
  EXPECT_EQ(EncodeQuery("你好 mp3"), "%C4%E3%BA%C3+mp3");
  EXPECT_EQ(EncodeQuery("\x80\xFF"), "%80%FF");
  EXPECT_EQ(EncodeQuery(""), "");
  EXPECT_EQ(EncodeQuery(nullptr), "");
}

TEST(ResolveLink, AgainstAPageInAFolder) {
  const char* base = "http://www.example.com/d/page.htm?q=1/2#top";
  EXPECT_EQ(Resolve(base, "next.htm"), "http://www.example.com/d/next.htm");
  EXPECT_EQ(Resolve(base, "../up.htm"), "http://www.example.com/up.htm");
  EXPECT_EQ(Resolve(base, "/s?wd=1"), "http://www.example.com:80/s?wd=1");
  EXPECT_EQ(Resolve(base, "https://secure.example.com/"), "<none>");
  EXPECT_EQ(Resolve(base, "ftp://files.example.com/a.zip"), "<none>");
  EXPECT_EQ(Resolve(base, "mms://media.example.com/a.wma"), "<none>");
  EXPECT_EQ(Resolve(base, "http://Other.example.com/X.htm"), "http://Other.example.com/X.htm");
  EXPECT_EQ(Resolve(base, "HTTP://other/x"), "HTTP://other/x");
  EXPECT_EQ(Resolve(base, ""), "http://www.example.com/d/");
  EXPECT_EQ(Resolve(base, "?p=2"), "http://www.example.com/d/?p=2");
}

TEST(ResolveLink, BaseForms) {
  EXPECT_EQ(Resolve("www.example.com/d/p.htm", "x.htm"), "http://www.example.com/d/x.htm");
  EXPECT_EQ(Resolve("HTTP://h/d/p.htm", "x.htm"), "http://h/d/x.htm");
  EXPECT_EQ(Resolve("http://h", "x.htm"), "http://h/x.htm");
  EXPECT_EQ(Resolve("http://h?u=/a/b", "x.htm"), "http://h/x.htm");
  EXPECT_EQ(Resolve("http://h:8080/d/", "/x"), "http://h:8080/x");
  EXPECT_EQ(Resolve("http://h//a///b/p.htm", "x"), "http://h/a/b/x");
  EXPECT_EQ(Resolve("http://h/a/b/../p.htm", "x"), "http://h/a/x");
  EXPECT_EQ(Resolve("http://h/d/p.htm#part/two", "x"), "http://h/d/x");
  EXPECT_EQ(Resolve("", "/x"), "<none>");
  EXPECT_EQ(Resolve("http://h:99999/", "/x"), "<none>");
  EXPECT_EQ(Resolve("http://h:99999/", "x"), "http://h:99999/x");
  EXPECT_EQ(Resolve(nullptr, "x"), "<none>");
  EXPECT_EQ(Resolve("http://h/", nullptr), "<none>");
}

TEST(ResolveLink, DotSegments) {
  const char* base = "http://h/a/b/c/page.htm";
  EXPECT_EQ(Resolve(base, "./x.htm"), "http://h/a/b/c/x.htm");
  EXPECT_EQ(Resolve(base, "../x.htm"), "http://h/a/b/x.htm");
  EXPECT_EQ(Resolve(base, "../../x.htm"), "http://h/a/x.htm");
  EXPECT_EQ(Resolve(base, ".../x.htm"), "http://h/a/x.htm");
  EXPECT_EQ(Resolve(base, "y/./z/./x.htm"), "http://h/a/b/c/y/z/x.htm");
  EXPECT_EQ(Resolve(base, "."), "http://h/a/b/c/");
  EXPECT_EQ(Resolve(base, ".."), "http://h/a/b");
  EXPECT_EQ(Resolve(base, ".hidden"), "http://h/a/b/c/.hidden");
  EXPECT_EQ(Resolve(base, "a.b.htm"), "http://h/a/b/c/a.b.htm");
  EXPECT_EQ(Resolve(base, "file..htm"), "http://h/a/b/c/file..htm");
  // Climbing above the server removes the dots only.
  EXPECT_EQ(Resolve("http://h/p.htm", "../x.htm"), "http://h//x.htm");
  EXPECT_EQ(Resolve("http://h/p.htm", ".../x.htm"), "http://h//x.htm");
  // Dots in the query are data.
  EXPECT_EQ(Resolve(base, "s?q=a...b/../c"), "http://h/a/b/c/s?q=a...b/../c");
}

TEST(ResolveLink, FragmentSlashesAndEntities) {
  const char* base = "http://h/d/";
  EXPECT_EQ(Resolve(base, "x.htm#sec"), "http://h/d/x.htm");
  EXPECT_EQ(Resolve(base, "a//b///x.htm?u=http://k//m"), "http://h/d/a/b/x.htm?u=http://k//m");
  EXPECT_EQ(Resolve(base, "list.php?a=1&amp;b=&lt;&gt;&nbsp;"), "http://h/d/list.php?a=1&b=<> ");
  EXPECT_EQ(Resolve(base, "q?x=&amp;amp;"), "http://h/d/q?x=&amp;");
  // Blanks and line ends are kept here; the fetcher removes them from redirect targets.
  EXPECT_EQ(Resolve(base, "/x \r"), "http://h:80/x \r");
}

TEST(RemoveChar, RemovesEveryOccurrence) {
  char text[] = " a b  c ";
  RemoveChar(text, ' ');
  EXPECT_STREQ(text, "abc");
  char none[] = "abc";
  RemoveChar(none, 'x');
  EXPECT_STREQ(none, "abc");
  char all[] = "xxx";
  RemoveChar(all, 'x');
  EXPECT_STREQ(all, "");
  char empty[] = "";
  RemoveChar(empty, 'x');
  EXPECT_STREQ(empty, "");
  RemoveChar(nullptr, 'x');
}

}  // namespace
}  // namespace jollix
