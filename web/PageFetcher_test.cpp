#include "web/PageFetcher.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <thread>

#include "testing/HttpTestServer.h"

namespace jollix {
namespace {

using testing::HttpReply;
using testing::HttpRequestRecord;
using testing::HttpTestServer;

constexpr char kUserAgent[] = "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1)";

class PageFetcherTest : public ::testing::Test {
 protected:
  std::vector<std::string> Targets() const {
    std::vector<std::string> targets;
    for (const HttpRequestRecord& r : server.Requests()) targets.push_back(r.target);
    return targets;
  }
  std::string HostPort() const { return "127.0.0.1:" + std::to_string(server.port()); }

  HttpTestServer server;
};

// A port on 127.0.0.1 where nothing listens.
uint16_t ClosedPort() {
  int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t len = sizeof addr;
  bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
  getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
  close(fd);
  return ntohs(addr.sin_port);
}

TEST(PageText, StartsEmptyWithItsFirstBlock) {
  PageText text;
  EXPECT_EQ(text.Capacity(), 40960u);
  EXPECT_EQ(text.Length(), 0u);
  EXPECT_STREQ(text.Start(), "");
  EXPECT_EQ(text.Append(nullptr), nullptr);
  EXPECT_EQ(text.Append(""), text.Start());
}

TEST(PageText, GrowsByItsOwnRule) {
  PageText text;
  const char* first_block = text.Start();
  std::string fill(40959, 'a');
  EXPECT_EQ(text.Append(fill.c_str()), first_block);  // 40959 < 40960: in place
  EXPECT_EQ(text.Capacity(), 40960u);

  text.Append("b");  // 40960 is not below the capacity: a new block, capacity = new length
  EXPECT_EQ(text.Capacity(), 40960u);
  EXPECT_EQ(text.Length(), 40960u);
  text.Append("cd");  // and so the next append replaces it again
  EXPECT_EQ(text.Capacity(), 40962u);
  EXPECT_EQ(std::string(text.Start()), fill + "bcd");
  EXPECT_EQ(text.Start()[text.Length()], '\0');

  text.Clear();
  EXPECT_EQ(text.Length(), 0u);
  EXPECT_STREQ(text.Start(), "");
  EXPECT_EQ(text.Capacity(), 40962u);
  EXPECT_STREQ(text.Append("again"), "again");
}

TEST(PageText, OneLargeAppend) {
  PageText text;
  std::string big(100000, 'x');
  text.Append("head");
  text.Append(big.c_str());
  EXPECT_EQ(text.Capacity(), 100004u);
  EXPECT_EQ(std::string(text.Start()), "head" + big);
}

TEST_F(PageFetcherTest, FetchesAPageAndItsHead) {
  server.Serve("/page.htm", HttpReply::Page("<html>hello</html>").Header("X-Test", "1"));
  PageFetcher fetcher;
  ASSERT_EQ(fetcher.Fetch(server.Url("/page.htm").c_str()), 0);
  EXPECT_STREQ(fetcher.Text(), "<html>hello</html>");
  EXPECT_EQ(fetcher.TextLength(), 18u);
  EXPECT_EQ(fetcher.StatusCode(), 200u);
  EXPECT_EQ(fetcher.Server(), "127.0.0.1");
  EXPECT_EQ(fetcher.Port(), server.port());
  EXPECT_EQ(fetcher.Object(), "/page.htm");
  EXPECT_FALSE(fetcher.ErrorFlag());
  const std::string& head = fetcher.ResponseHeaders();
  EXPECT_EQ(head.substr(0, 17), "HTTP/1.1 200 OK\r\n");
  EXPECT_NE(head.find("\r\nX-Test: 1\r\n"), std::string::npos);
  EXPECT_EQ(head.substr(head.size() - 4), "\r\n\r\n");
}

TEST_F(PageFetcherTest, SendsTheRequestLineAndHeaders) {
  server.Serve("/s", HttpReply::Page("ok"));
  PageFetcher fetcher;
  ASSERT_EQ(fetcher.Fetch(server.Url("/s?wd=%C4%E3&rn=100").c_str()), 0);
  std::vector<HttpRequestRecord> requests = server.Requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].request_line, "GET /s?wd=%C4%E3&rn=100 HTTP/1.1");
  EXPECT_EQ(requests[0].Header("User-Agent"), kUserAgent);
  EXPECT_EQ(requests[0].HeaderCount("User-Agent"), 1);
  EXPECT_NE(requests[0].raw_headers.find("User-Agent: Mozilla/4.0 (compatible; MSIE 6.0; "
                                         "Windows NT 5.1)\r\n"),
            std::string::npos);
  EXPECT_EQ(requests[0].Header("Host"), HostPort());
  EXPECT_EQ(requests[0].Header("Pragma"), "no-cache");
  EXPECT_EQ(requests[0].Header("Cache-Control"), "no-cache");
}

TEST_F(PageFetcherTest, RequestObjectKeepsDotsAndQueryBytesAndEncodesBlanks) {
  server.SetHandler([](const HttpRequestRecord&) { return HttpReply::Page("ok"); });
  PageFetcher fetcher;
  ASSERT_EQ(fetcher.Fetch(server.Url("/a/../b/./c.htm").c_str()), 0);
  ASSERT_EQ(fetcher.Fetch(server.Url("/a b\xC4\xE3.htm?q=\xC4\xE3 x").c_str()), 0);
  EXPECT_EQ(fetcher.Object(), "/a b\xC4\xE3.htm?q=\xC4\xE3 x");
  ASSERT_EQ(fetcher.Fetch(server.Url("/x.htm#part").c_str()), 0);
  EXPECT_EQ(Targets(), (std::vector<std::string>{"/a/../b/./c.htm",
                                                 "/a%20b%C4%E3.htm?q=\xC4\xE3%20x", "/x.htm"}));
}

TEST_F(PageFetcherTest, SchemeIsAddedWhenMissingAndMatchedWithoutCase) {
  server.Serve("/p", HttpReply::Page("page"));
  PageFetcher fetcher;
  ASSERT_EQ(fetcher.Fetch((HostPort() + "/p?x=1").c_str()), 0);
  EXPECT_STREQ(fetcher.Text(), "page");
  ASSERT_EQ(fetcher.Fetch(("HTTP://" + HostPort() + "/p").c_str()), 0);
  EXPECT_STREQ(fetcher.Text(), "page");
  EXPECT_EQ(Targets(), (std::vector<std::string>{"/p?x=1", "/p"}));
}

TEST_F(PageFetcherTest, OnlyHttpIsFetched) {
  PageFetcher fetcher;
  for (std::string url : {"https://" + HostPort() + "/", "HTTPS://" + HostPort() + "/",
                          "ftp://" + HostPort() + "/", "mms://" + HostPort() + "/"}) {
    EXPECT_EQ(fetcher.Fetch(url.c_str()), -1) << url;
    EXPECT_FALSE(fetcher.ErrorFlag());
    EXPECT_EQ(fetcher.ErrorText(), "");
  }
  EXPECT_EQ(fetcher.Fetch(""), -1);
  EXPECT_EQ(fetcher.Fetch(nullptr), -1);
  EXPECT_EQ(fetcher.Fetch("http://:80/"), -1);
  EXPECT_FALSE(fetcher.ErrorFlag());
  EXPECT_EQ(server.ConnectionCount(), 0);
}

TEST_F(PageFetcherTest, OtherStatusesGiveAnEmptyPage) {
  server.Serve("/ok", HttpReply::Page("previous page"));
  server.Serve("/missing", HttpReply::Status(404, "<html>not found page</html>"));
  server.Serve("/broken", HttpReply::Status(500, "<html>server error page</html>"));
  server.Serve("/moved", HttpReply::Status(307, "<html>moved</html>").Header("Location", "/ok"));
  PageFetcher fetcher;
  ASSERT_EQ(fetcher.Fetch(server.Url("/ok").c_str()), 0);
  for (const char* path : {"/missing", "/broken", "/moved"}) {
    EXPECT_EQ(fetcher.Fetch(server.Url(path).c_str()), 0) << path;
    EXPECT_STREQ(fetcher.Text(), "") << path;
    EXPECT_FALSE(fetcher.ErrorFlag());
  }
  EXPECT_EQ(fetcher.StatusCode(), 307u);
  EXPECT_EQ(server.Requests().size(), 4u);  // 307 is not followed
}

TEST_F(PageFetcherTest, FollowsFiveRedirectsAndRefusesTheSixth) {
  for (int i = 1; i <= 6; ++i) {
    server.Serve("/r" + std::to_string(i), HttpReply::Redirect(i % 3 == 0   ? 301
                                                               : i % 3 == 1 ? 302
                                                                            : 303,
                                                               "/r" + std::to_string(i + 1)));
  }
  server.Serve("/r7", HttpReply::Page("end of chain"));

  PageFetcher five;
  ASSERT_EQ(five.Fetch(server.Url("/r2").c_str()), 0);
  EXPECT_STREQ(five.Text(), "end of chain");
  EXPECT_EQ(five.RedirectCount(), 5);
  EXPECT_EQ(five.Object(), "/r7");

  PageFetcher six;
  EXPECT_EQ(six.Fetch(server.Url("/r1").c_str()), -1);
  EXPECT_FALSE(six.ErrorFlag());
  EXPECT_EQ(six.RedirectCount(), 6);
  EXPECT_EQ(server.Requests().size(), 6u + 6u);  // six requests each; /r7 not asked the second time
}

TEST_F(PageFetcherTest, RedirectCountCarriesOverToTheNextFetch) {
  for (int i = 1; i <= 3; ++i)
    server.Serve("/a" + std::to_string(i), HttpReply::Redirect(302, "/a" + std::to_string(i + 1)));
  server.Serve("/a4", HttpReply::Page("a4"));
  PageFetcher fetcher;
  ASSERT_EQ(fetcher.Fetch(server.Url("/a1").c_str()), 0);
  EXPECT_EQ(fetcher.RedirectCount(), 3);
  // Two more are followed, the third of this chain is one too many.
  EXPECT_EQ(fetcher.Fetch(server.Url("/a1").c_str()), -1);
  EXPECT_EQ(fetcher.RedirectCount(), 6);
  // A page without redirect is still fetched.
  ASSERT_EQ(fetcher.Fetch(server.Url("/a4").c_str()), 0);
  EXPECT_STREQ(fetcher.Text(), "a4");
  EXPECT_EQ(Targets(),
            (std::vector<std::string>{"/a1", "/a2", "/a3", "/a4", "/a1", "/a2", "/a3", "/a4"}));
}

TEST_F(PageFetcherTest, RedirectTargetsAreResolved) {
  server.Serve("/d/start.htm", HttpReply::Redirect(302, "/root?x=1"));
  server.Serve("/root", HttpReply::Redirect(303, "sub/next.htm"));
  server.Serve("/sub/next.htm", HttpReply::Redirect(301, "../d/./final.htm#top"));
  server.Serve("/d/final.htm", HttpReply::Page("final"));
  PageFetcher fetcher;
  ASSERT_EQ(fetcher.Fetch(server.Url("/d/start.htm").c_str()), 0);
  EXPECT_STREQ(fetcher.Text(), "final");
  EXPECT_EQ(Targets(), (std::vector<std::string>{"/d/start.htm", "/root?x=1", "/sub/next.htm",
                                                 "/d/final.htm"}));
  // The "/" target went to "http://127.0.0.1:port/root?x=1".
  EXPECT_EQ(server.Requests()[1].Header("Host"), HostPort());
}

TEST_F(PageFetcherTest, RedirectTargetLosesBlanksAndLineEnds) {
  server.Serve("/a", HttpReply::Raw("HTTP/1.1 302 Found\r\nLocation: /b  \r\r\n"
                                    "Content-Length: 0\r\n\r\n"));
  server.Serve("/c", HttpReply::Redirect(302, "/d e .htm   "));
  server.Serve("/b", HttpReply::Page("b"));
  server.Serve("/de.htm", HttpReply::Page("de"));
  PageFetcher fetcher;
  ASSERT_EQ(fetcher.Fetch(server.Url("/a").c_str()), 0);
  EXPECT_STREQ(fetcher.Text(), "b");
  ASSERT_EQ(fetcher.Fetch(server.Url("/c").c_str()), 0);
  EXPECT_STREQ(fetcher.Text(), "de");
}

TEST_F(PageFetcherTest, LocationHeaderIsFoundByItsName) {
  // Header names carry no case, and "Content-Location" is another header.
  server.Serve("/a", HttpReply::Raw("HTTP/1.1 302 Found\r\nContent-Location: /wrong\r\n"
                                    "location:/right\r\nContent-Length: 0\r\n\r\n"));
  server.Serve("/right", HttpReply::Page("right"));
  PageFetcher fetcher;
  ASSERT_EQ(fetcher.Fetch(server.Url("/a").c_str()), 0);
  EXPECT_STREQ(fetcher.Text(), "right");
}

TEST_F(PageFetcherTest, RedirectsThatCannotBeFollowed) {
  server.Serve("/nowhere", HttpReply::Status(302));
  server.Serve("/secure", HttpReply::Redirect(301, "https://127.0.0.1/"));
  PageFetcher fetcher;
  EXPECT_EQ(fetcher.Fetch(server.Url("/nowhere").c_str()), -1);
  EXPECT_EQ(fetcher.Fetch(server.Url("/secure").c_str()), -1);
  EXPECT_FALSE(fetcher.ErrorFlag());
  EXPECT_EQ(fetcher.StatusCode(), 301u);
  EXPECT_EQ(fetcher.RedirectCount(), 0);
  EXPECT_EQ(server.Requests().size(), 2u);
}

TEST_F(PageFetcherTest, StalledBodyIsCutAtTheReadLimit) {
  HttpReply stall = HttpReply::Page("<html>first part of the page");
  stall.stall = HttpReply::Stall::kAfterBody;
  server.Serve("/stall", stall);
  FetchLimits limits;
  limits.Read = 300;
  PageFetcher fetcher(limits);
  EXPECT_EQ(fetcher.Fetch(server.Url("/stall").c_str()), 0);
  EXPECT_STREQ(fetcher.Text(), "<html>first part of the page");
  EXPECT_FALSE(fetcher.ErrorFlag());
  EXPECT_EQ(fetcher.StatusCode(), 200u);
}

std::atomic<int> wait_hook_calls{0};
std::thread::id wait_hook_thread;

TEST_F(PageFetcherTest, TheWaitHookRunsOnTheFetchingThreadWhileThePageIsAwaited) {
  HttpReply stall = HttpReply::Page("<html>slow");
  stall.stall = HttpReply::Stall::kAfterBody;
  server.Serve("/slow", stall);
  server.Serve("/fast", HttpReply::Page("<html>fast"));
  FetchLimits limits;
  limits.Read = 300;
  PageFetcher::SetWaitHook([] {
    ++wait_hook_calls;
    wait_hook_thread = std::this_thread::get_id();
  });
  PageFetcher fetcher(limits);
  EXPECT_EQ(fetcher.Fetch(server.Url("/slow").c_str()), 0);
  PageFetcher::SetWaitHook(nullptr);
  // About ten slices of 30 ms in 300 ms; the page is whole as without a hook.
  EXPECT_GE(wait_hook_calls.load(), 3);
  EXPECT_EQ(wait_hook_thread, std::this_thread::get_id());
  EXPECT_STREQ(fetcher.Text(), "<html>slow");
  const int calls = wait_hook_calls;
  EXPECT_EQ(fetcher.Fetch(server.Url("/fast").c_str()), 0);
  EXPECT_EQ(wait_hook_calls.load(), calls);  // no hook set: never called
  EXPECT_STREQ(fetcher.Text(), "<html>fast");
}

TEST_F(PageFetcherTest, StalledChunkedBodyEndsAtTheDataLimit) {
  HttpReply stall = HttpReply::Page(std::string(5000, 'z'));
  stall.chunked = true;
  stall.stall = HttpReply::Stall::kAfterBody;
  server.Serve("/stall", stall);
  FetchLimits limits;
  limits.DataReceive = 200;  // silence in the body ends it before the read limit
  PageFetcher fetcher(limits);
  EXPECT_EQ(fetcher.Fetch(server.Url("/stall").c_str()), 0);
  EXPECT_EQ(std::string(fetcher.Text()), std::string(5000, 'z'));
}

TEST_F(PageFetcherTest, LargePageArrivesIntact) {
  std::string page;
  for (int i = 0; page.size() < 300 * 1024; ++i) page += "<p>line " + std::to_string(i) + "</p>\n";
  server.Serve("/big", HttpReply::Page(page));
  PageFetcher fetcher;
  ASSERT_EQ(fetcher.Fetch(server.Url("/big").c_str()), 0);
  EXPECT_EQ(fetcher.TextLength(), page.size());
  EXPECT_TRUE(std::string(fetcher.Text()) == page);
  EXPECT_EQ(fetcher.Text()[page.size()], '\0');
}

TEST_F(PageFetcherTest, ChunkedBody) {
  std::string page;
  for (int i = 0; i < 2000; ++i) page += static_cast<char>('a' + i % 26);
  HttpReply chunked = HttpReply::Page(page);
  chunked.chunked = true;
  chunked.chunk_size = 77;
  server.Serve("/chunked", chunked);
  PageFetcher fetcher;
  ASSERT_EQ(fetcher.Fetch(server.Url("/chunked").c_str()), 0);
  EXPECT_EQ(std::string(fetcher.Text()), page);
}

TEST_F(PageFetcherTest, InterimResponseIsSkipped) {
  server.Serve("/i", HttpReply::Raw("HTTP/1.1 100 Continue\r\n\r\n"
                                    "HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok"));
  PageFetcher fetcher;
  ASSERT_EQ(fetcher.Fetch(server.Url("/i").c_str()), 0);
  EXPECT_STREQ(fetcher.Text(), "ok");
  EXPECT_EQ(fetcher.ResponseHeaders(), "HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\n");
}

TEST_F(PageFetcherTest, Utf8PagesAreConvertedToGbk) {
  const std::string utf8 = "<p>\xE4\xB8\xAD\xE6\x96\x87</p>";  // 中文
  const std::string gbk = "<p>中文</p>";
  server.Serve("/header", HttpReply::Page(utf8).Header("Content-Type", "text/html; charset=UTF-8"));
  server.Serve("/quoted",
               HttpReply::Page(utf8).Header("Content-Type", "text/html; Charset=\"utf8\""));
  server.Serve("/meta", HttpReply::Page("<html><head><meta http-equiv=\"Content-Type\" "
                                        "content=\"text/html; charset=utf-8\"></head>" +
                                        utf8));
  server.Serve("/meta5", HttpReply::Page("<meta charset = 'UTF-8'>" + utf8));
  server.Serve("/bom", HttpReply::Page("\xEF\xBB\xBF" + utf8));
  PageFetcher fetcher;
  ASSERT_EQ(fetcher.Fetch(server.Url("/header").c_str()), 0);
  EXPECT_EQ(std::string(fetcher.Text()), gbk);
  ASSERT_EQ(fetcher.Fetch(server.Url("/quoted").c_str()), 0);
  EXPECT_EQ(std::string(fetcher.Text()), gbk);
  ASSERT_EQ(fetcher.Fetch(server.Url("/meta").c_str()), 0);
  EXPECT_NE(std::string(fetcher.Text()).find("</head>" + gbk), std::string::npos);
  ASSERT_EQ(fetcher.Fetch(server.Url("/meta5").c_str()), 0);
  EXPECT_EQ(std::string(fetcher.Text()), "<meta charset = 'UTF-8'>" + gbk);
  ASSERT_EQ(fetcher.Fetch(server.Url("/bom").c_str()), 0);
  EXPECT_EQ(std::string(fetcher.Text()), gbk);
}

TEST_F(PageFetcherTest, GbkPagesStayAsTheyAre) {
  const std::string gbk = "<p>中文</p>";
  server.Serve("/gbk", HttpReply::Page(gbk).Header("Content-Type", "text/html; charset=gb2312"));
  server.Serve("/plain", HttpReply::Page(gbk));
  // The header's charset outranks a meta declaration.
  server.Serve("/both", HttpReply::Page("<meta charset=utf-8>" + gbk)
                            .Header("Content-Type", "text/html; charset=GBK"));
  // A declaration far down the page is not looked for.
  std::string far = std::string(3000, ' ') + "<meta charset=utf-8>" + gbk;
  server.Serve("/far", HttpReply::Page(far));
  PageFetcher fetcher;
  ASSERT_EQ(fetcher.Fetch(server.Url("/gbk").c_str()), 0);
  EXPECT_EQ(std::string(fetcher.Text()), gbk);
  ASSERT_EQ(fetcher.Fetch(server.Url("/plain").c_str()), 0);
  EXPECT_EQ(std::string(fetcher.Text()), gbk);
  ASSERT_EQ(fetcher.Fetch(server.Url("/both").c_str()), 0);
  EXPECT_EQ(std::string(fetcher.Text()), "<meta charset=utf-8>" + gbk);
  ASSERT_EQ(fetcher.Fetch(server.Url("/far").c_str()), 0);
  EXPECT_EQ(std::string(fetcher.Text()), far);
}

TEST_F(PageFetcherTest, HonoursTheHttpProxyVariable) {
  server.ServeForHost("www.example.com", "/s?wd=%C4%E3", HttpReply::Page("via proxy"));
  testing::ScopedHttpProxy proxy(server);
  PageFetcher fetcher;
  ASSERT_EQ(fetcher.Fetch("www.example.com/s?wd=%C4%E3"), 0);
  EXPECT_STREQ(fetcher.Text(), "via proxy");
  std::vector<HttpRequestRecord> requests = server.Requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].request_line, "GET http://www.example.com/s?wd=%C4%E3 HTTP/1.1");
  EXPECT_EQ(requests[0].Header("Host"), "www.example.com");
  EXPECT_EQ(requests[0].Header("User-Agent"), kUserAgent);
}

TEST_F(PageFetcherTest, RequestFailuresSetTheErrorFields) {
  PageFetcher fetcher;
  std::string refused = "http://127.0.0.1:" + std::to_string(ClosedPort()) + "/";
  EXPECT_EQ(fetcher.Fetch(refused.c_str()), -1);
  EXPECT_TRUE(fetcher.ErrorFlag());
  EXPECT_EQ(fetcher.ErrorCode(), 7u);
  EXPECT_EQ(fetcher.ErrorText(), "InternetConnect() Error:7");
  EXPECT_EQ(fetcher.StatusCode(), 0u);

  server.Serve("/hangup", HttpReply::HangUp());
  EXPECT_EQ(fetcher.Fetch(server.Url("/hangup").c_str()), -1);
  EXPECT_EQ(fetcher.ErrorText(), "HttpSendRequest() Error:52");

  server.Serve("/garbage", HttpReply::Raw("this is no http\r\n\r\n"));
  EXPECT_EQ(fetcher.Fetch(server.Url("/garbage").c_str()), -1);
  EXPECT_EQ(fetcher.ErrorText().rfind("HttpQueryInfo() Error:", 0), 0u) << fetcher.ErrorText();

  // A fetch that works clears the fields again.
  server.Serve("/ok", HttpReply::Page("ok"));
  EXPECT_EQ(fetcher.Fetch(server.Url("/ok").c_str()), 0);
  EXPECT_FALSE(fetcher.ErrorFlag());
  EXPECT_EQ(fetcher.ErrorCode(), 0u);
  EXPECT_EQ(fetcher.ErrorText(), "");
}

TEST_F(PageFetcherTest, SilentServerFailsAtTheReceiveLimit) {
  HttpReply silent;
  silent.stall = HttpReply::Stall::kBeforeReply;
  server.Serve("/silent", silent);
  FetchLimits limits;
  limits.Receive = 200;
  PageFetcher fetcher(limits);
  EXPECT_EQ(fetcher.Fetch(server.Url("/silent").c_str()), -1);
  EXPECT_EQ(fetcher.ErrorText(), "HttpSendRequest() Error:28");
  EXPECT_EQ(server.Requests().size(), 1u);
}

}  // namespace
}  // namespace jollix
