#include "testing/HttpTestServer.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>

namespace jollix::testing {
namespace {

// Sends raw bytes to the server and reads until it closes the connection.
std::string Exchange(const HttpTestServer& server, const std::string& request) {
  int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  addr.sin_port = htons(server.port());
  EXPECT_EQ(connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
  EXPECT_EQ(send(fd, request.data(), request.size(), 0), static_cast<ssize_t>(request.size()));
  std::string reply;
  char buffer[4096];
  ssize_t n;
  while ((n = recv(fd, buffer, sizeof buffer, 0)) > 0) reply.append(buffer, static_cast<size_t>(n));
  close(fd);
  return reply;
}

std::string Body(const std::string& reply) { return reply.substr(reply.find("\r\n\r\n") + 4); }

TEST(HttpTestServer, ServesByTargetAndRecordsTheRequest) {
  HttpTestServer server;
  server.Serve("/s?wd=1", HttpReply::Page("exact"));
  server.Serve("/s", HttpReply::Page("any query"));
  std::string reply = Exchange(server, "GET /s?wd=1 HTTP/1.1\r\nHost: 127.0.0.1\r\nX-A: 1\r\n\r\n");
  EXPECT_EQ(reply.substr(0, 17), "HTTP/1.1 200 OK\r\n");
  EXPECT_NE(reply.find("Content-Length: 5\r\n"), std::string::npos);
  EXPECT_EQ(Body(reply), "exact");
  EXPECT_EQ(Body(Exchange(server, "GET /s?wd=2 HTTP/1.1\r\n\r\n")), "any query");
  EXPECT_EQ(Exchange(server, "GET /none HTTP/1.1\r\n\r\n").substr(0, 12), "HTTP/1.1 404");

  std::vector<HttpRequestRecord> requests = server.Requests();
  ASSERT_EQ(requests.size(), 3u);
  EXPECT_EQ(requests[0].request_line, "GET /s?wd=1 HTTP/1.1");
  EXPECT_EQ(requests[0].method, "GET");
  EXPECT_EQ(requests[0].target, "/s?wd=1");
  EXPECT_EQ(requests[0].version, "HTTP/1.1");
  EXPECT_EQ(requests[0].host, "127.0.0.1");
  EXPECT_EQ(requests[0].raw_headers, "Host: 127.0.0.1\r\nX-A: 1\r\n");
  EXPECT_EQ(requests[0].Header("x-a"), "1");
  EXPECT_EQ(requests[0].HeaderCount("HOST"), 1);
  EXPECT_EQ(server.ConnectionCount(), 3);
}

TEST(HttpTestServer, AnswersForAnyHostAsAProxy) {
  HttpTestServer server;
  server.ServeForHost("www.example.com", "/s", HttpReply::Page("example"));
  server.Serve("/s", HttpReply::Page("other"));
  EXPECT_EQ(Body(Exchange(server, "GET http://WWW.example.com:80/s?q HTTP/1.1\r\n\r\n")),
            "example");
  EXPECT_EQ(Body(Exchange(server, "GET /s HTTP/1.1\r\nHost: www.example.com\r\n\r\n")), "example");
  EXPECT_EQ(Body(Exchange(server, "GET http://other.example.com/s HTTP/1.1\r\n\r\n")), "other");
  std::vector<HttpRequestRecord> requests = server.Requests();
  ASSERT_EQ(requests.size(), 3u);
  EXPECT_EQ(requests[0].host, "www.example.com");
  EXPECT_EQ(requests[0].path, "/s?q");
}

TEST(HttpTestServer, StatusRedirectChunkedRawAndHandler) {
  HttpTestServer server;
  server.Serve("/r", HttpReply::Redirect(302, "/next"));
  HttpReply chunked = HttpReply::Page("abcdefg");
  chunked.chunked = true;
  chunked.chunk_size = 3;
  server.Serve("/c", chunked);
  server.Serve("/raw", HttpReply::Raw("HTTP/1.0 200 OK\n\nbody"));
  server.Serve("/gone", HttpReply::HangUp());
  server.SetHandler([](const HttpRequestRecord& r) { return HttpReply::Status(500, r.path); });

  std::string redirect = Exchange(server, "GET /r HTTP/1.1\r\n\r\n");
  EXPECT_EQ(redirect.substr(0, 22), "HTTP/1.1 302 Found\r\nLo");
  EXPECT_NE(redirect.find("Location: /next\r\n"), std::string::npos);
  std::string c = Exchange(server, "GET /c HTTP/1.1\r\n\r\n");
  EXPECT_NE(c.find("Transfer-Encoding: chunked\r\n"), std::string::npos);
  EXPECT_EQ(c.find("Content-Length"), std::string::npos);
  EXPECT_EQ(Body(c), "3\r\nabc\r\n3\r\ndef\r\n1\r\ng\r\n0\r\n\r\n");
  EXPECT_EQ(Exchange(server, "GET /raw HTTP/1.1\r\n\r\n"), "HTTP/1.0 200 OK\n\nbody");
  EXPECT_EQ(Exchange(server, "GET /gone HTTP/1.1\r\n\r\n"), "");
  std::string handled = Exchange(server, "GET /x?y HTTP/1.1\r\n\r\n");
  EXPECT_EQ(handled.substr(0, 12), "HTTP/1.1 500");
  EXPECT_EQ(Body(handled), "/x?y");
}

TEST(HttpTestServer, StalledReplyEndsWhenTheServerStops) {
  auto server = std::make_unique<HttpTestServer>();
  HttpReply stall = HttpReply::Page("partial");
  stall.stall = HttpReply::Stall::kAfterBody;
  server->Serve("/stall", stall);
  int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  addr.sin_port = htons(server->port());
  ASSERT_EQ(connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
  std::string request = "GET /stall HTTP/1.1\r\n\r\n";
  send(fd, request.data(), request.size(), 0);
  std::string reply;
  char buffer[4096];
  while (reply.find("partial") == std::string::npos) {
    ssize_t n = recv(fd, buffer, sizeof buffer, 0);
    ASSERT_GT(n, 0);
    reply.append(buffer, static_cast<size_t>(n));
  }
  EXPECT_EQ(reply.find("Content-Length"), std::string::npos);
  server.reset();  // must not hang on the open connection
  EXPECT_EQ(recv(fd, buffer, sizeof buffer, 0), 0);
  close(fd);
}

TEST(HttpTestServer, ProxyVariablesAreClearedAndSetOnDemand) {
  setenv("http_proxy", "http://proxy.invalid:3128", 1);
  setenv("ALL_PROXY", "http://proxy.invalid:3128", 1);
  HttpTestServer server;
  EXPECT_EQ(getenv("http_proxy"), nullptr);
  EXPECT_EQ(getenv("ALL_PROXY"), nullptr);
  {
    ScopedHttpProxy proxy(server);
    EXPECT_EQ(std::string(getenv("http_proxy")), server.Origin());
  }
  EXPECT_EQ(getenv("http_proxy"), nullptr);
}

}  // namespace
}  // namespace jollix::testing
