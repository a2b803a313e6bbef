// A small HTTP/1.1 server on 127.0.0.1 for tests: fixed replies by request target (and by host,
// so that it can stand in for any web site as an HTTP proxy), chosen statuses and headers,
// redirects, chunked bodies, stalls, raw byte replies, and a record of every request received.
//
//   HttpTestServer server;                       // any free port; proxy variables cleared
//   server.Serve("/s?wd=%C4%E3", HttpReply::Page(gbk_page));
//   server.ServeForHost("www.example.com", "/s", HttpReply::Page(other_page));
//   ScopedHttpProxy proxy(server);               // now every http:// URL goes to the server
//   ... fetch ...
//   server.Requests()[0].request_line            // "GET http://www.example.com/s HTTP/1.1"
//
// Each connection carries one request and is closed after the reply (or when the client or the
// server goes away during a stall). Connections are served on threads of their own, so a
// stalled reply never holds up another.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace jollix::testing {

struct HttpReply {
  enum class Stall {
    kNone,
    kBeforeReply,  // read the request, then send nothing
    kAfterBody,    // send the headers and the body, then keep the connection open silently
  };

  int status = 200;
  std::string reason;  // empty: the usual phrase of the status
  // Header lines in order. "Content-Length" (when neither chunked nor stalled), "Content-Type:
  // text/html" and "Connection: close" are added unless given here.
  std::vector<std::pair<std::string, std::string>> headers;
  std::string body;
  bool chunked = false;  // Transfer-Encoding: chunked, in chunks of chunk_size bytes
  size_t chunk_size = 1000;
  Stall stall = Stall::kNone;
  std::string raw;       // when set, these bytes are the whole reply
  bool hang_up = false;  // close the connection without a reply

  static HttpReply Page(std::string body);
  static HttpReply Status(int status, std::string body = "");
  static HttpReply Redirect(int status, std::string location);
  static HttpReply Raw(std::string bytes);
  static HttpReply HangUp();
  HttpReply& Header(std::string name, std::string value);
};

struct HttpRequestRecord {
  std::string request_line;  // "GET /path?query HTTP/1.1", without its line end
  std::string method, target, version;
  // Host of the request: from an absolute target (proxy form) or the Host header; lower case,
  // ":80" left out.
  std::string host;
  std::string path;         // the target without scheme and host: "/path?query"
  std::string raw_headers;  // the header lines as received, up to and without the blank line
  std::vector<std::pair<std::string, std::string>> headers;

  // The first value of a header (name compared without case), "" when absent.
  std::string Header(const std::string& name) const;
  int HeaderCount(const std::string& name) const;
};

class HttpTestServer {
 public:
  using Handler = std::function<HttpReply(const HttpRequestRecord&)>;

  // Listens on 127.0.0.1 at a free port. Clears the proxy variables of the environment first
  // (see ClearProxyEnvironment), so that no test request leaves the machine.
  HttpTestServer();
  // Stops accepting, ends stalls, closes every connection and joins the threads.
  ~HttpTestServer();
  HttpTestServer(const HttpTestServer&) = delete;
  HttpTestServer& operator=(const HttpTestServer&) = delete;

  uint16_t port() const { return port_; }
  std::string Origin() const;                     // "http://127.0.0.1:port"
  std::string Url(const std::string& path) const  // Origin() + path
  {
    return Origin() + path;
  }

  // The reply for a target ("/path?query" exactly, or "/path" for any query), for every host.
  void Serve(const std::string& target, HttpReply reply);
  // The reply for a target on one host (as named in the request, ":80" left out).
  void ServeForHost(const std::string& host, const std::string& target, HttpReply reply);
  // Answers what no entry matches; without a handler such requests get 404.
  void SetHandler(Handler handler);

  std::vector<HttpRequestRecord> Requests() const;
  int ConnectionCount() const { return connections_.load(); }

 private:
  void AcceptLoop();
  void ServeConnection(int fd);
  bool ReadRequest(int fd, std::string* head);
  HttpReply FindReply(const HttpRequestRecord& request);
  void SendReply(int fd, const HttpReply& reply);
  bool SendAll(int fd, const std::string& bytes);
  void WaitUntilClosed(int fd);

  uint16_t port_ = 0;
  int listen_fd_ = -1;
  int wake_pipe_[2] = {-1, -1};  // readable once the server stops
  std::atomic<bool> stopping_{false};
  std::atomic<int> connections_{0};
  std::thread accept_thread_;

  mutable std::mutex mu_;
  std::map<std::pair<std::string, std::string>, HttpReply> replies_;  // (host or "", target)
  Handler handler_;
  std::vector<HttpRequestRecord> requests_;
  std::vector<std::thread> connection_threads_;
  std::set<int> open_fds_;
};

// Unsets http_proxy, HTTP_PROXY, https_proxy, HTTPS_PROXY, all_proxy, ALL_PROXY, no_proxy and
// NO_PROXY.
void ClearProxyEnvironment();

// Points http_proxy at a test server for its lifetime, then clears the proxy variables again.
class ScopedHttpProxy {
 public:
  explicit ScopedHttpProxy(const HttpTestServer& server);
  ~ScopedHttpProxy();
  ScopedHttpProxy(const ScopedHttpProxy&) = delete;
  ScopedHttpProxy& operator=(const ScopedHttpProxy&) = delete;
};

}  // namespace jollix::testing
