#include "testing/HttpTestServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <stdexcept>

#include "common/IndexLayout.h"

namespace jollix::testing {
namespace {

constexpr size_t kMaxRequestHead = 64 * 1024;

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(LowerByte(static_cast<unsigned char>(c)));
  return s;
}

std::string HostKey(std::string host) {
  host = Lower(std::move(host));
  if (host.size() > 3 && host.compare(host.size() - 3, 3, ":80") == 0) host.resize(host.size() - 3);
  return host;
}

const char* ReasonPhrase(int status) {
  switch (status) {
    case 200:
      return "OK";
    case 301:
      return "Moved Permanently";
    case 302:
      return "Found";
    case 303:
      return "See Other";
    case 304:
      return "Not Modified";
    case 307:
      return "Temporary Redirect";
    case 400:
      return "Bad Request";
    case 403:
      return "Forbidden";
    case 404:
      return "Not Found";
    case 500:
      return "Internal Server Error";
    case 503:
      return "Service Unavailable";
    default:
      return "Status";
  }
}

bool HasHeader(const HttpReply& reply, const char* name) {
  for (const auto& [key, value] : reply.headers)
    if (Lower(key) == name) return true;
  return false;
}

// Parses the request line and header lines of a request head (up to the blank line).
HttpRequestRecord ParseRequest(const std::string& head) {
  HttpRequestRecord r;
  size_t line_end = head.find('\n');
  r.request_line = head.substr(0, line_end);
  if (!r.request_line.empty() && r.request_line.back() == '\r') r.request_line.pop_back();
  r.raw_headers = line_end == std::string::npos ? "" : head.substr(line_end + 1);

  size_t sp1 = r.request_line.find(' ');
  size_t sp2 = sp1 == std::string::npos ? sp1 : r.request_line.find(' ', sp1 + 1);
  r.method = r.request_line.substr(0, sp1);
  if (sp1 != std::string::npos) r.target = r.request_line.substr(sp1 + 1, sp2 - sp1 - 1);
  if (sp2 != std::string::npos) r.version = r.request_line.substr(sp2 + 1);

  size_t pos = 0;
  while (pos < r.raw_headers.size()) {
    size_t end = r.raw_headers.find('\n', pos);
    if (end == std::string::npos) end = r.raw_headers.size();
    std::string line = r.raw_headers.substr(pos, end - pos);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    size_t colon = line.find(':');
    if (colon != std::string::npos) {
      size_t value = line.find_first_not_of(" \t", colon + 1);
      r.headers.emplace_back(line.substr(0, colon),
                             value == std::string::npos ? "" : line.substr(value));
    }
    pos = end + 1;
  }

  std::string lower_target = Lower(r.target);
  if (lower_target.compare(0, 7, "http://") == 0) {
    size_t slash = r.target.find_first_of("/?", 7);
    r.host = HostKey(r.target.substr(7, slash - 7));
    r.path = slash == std::string::npos ? "/" : r.target.substr(slash);
    if (r.path[0] == '?') r.path.insert(0, "/");
  } else {
    r.host = HostKey(r.Header("Host"));
    r.path = r.target;
  }
  return r;
}

}  // namespace

HttpReply HttpReply::Page(std::string body) {
  HttpReply r;
  r.body = std::move(body);
  return r;
}

HttpReply HttpReply::Status(int status, std::string body) {
  HttpReply r;
  r.status = status;
  r.body = std::move(body);
  return r;
}

HttpReply HttpReply::Redirect(int status, std::string location) {
  HttpReply r;
  r.status = status;
  r.headers.emplace_back("Location", std::move(location));
  return r;
}

HttpReply HttpReply::Raw(std::string bytes) {
  HttpReply r;
  r.raw = std::move(bytes);
  return r;
}

HttpReply HttpReply::HangUp() {
  HttpReply r;
  r.hang_up = true;
  return r;
}

HttpReply& HttpReply::Header(std::string name, std::string value) {
  headers.emplace_back(std::move(name), std::move(value));
  return *this;
}

std::string HttpRequestRecord::Header(const std::string& name) const {
  std::string key = Lower(name);
  for (const auto& [n, value] : headers)
    if (Lower(n) == key) return value;
  return "";
}

int HttpRequestRecord::HeaderCount(const std::string& name) const {
  std::string key = Lower(name);
  int count = 0;
  for (const auto& header : headers)
    if (Lower(header.first) == key) ++count;
  return count;
}

HttpTestServer::HttpTestServer() {
  ClearProxyEnvironment();
  if (pipe(wake_pipe_) != 0) throw std::runtime_error("pipe failed");
  listen_fd_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (listen_fd_ < 0) throw std::runtime_error("socket failed");
  int one = 1;
  setsockopt(listen_fd_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  addr.sin_port = 0;
  socklen_t len = sizeof addr;
  if (bind(listen_fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
      listen(listen_fd_, 64) != 0 ||
      getsockname(listen_fd_, reinterpret_cast<sockaddr*>(&addr), &len) != 0) {
    throw std::runtime_error("cannot listen on 127.0.0.1");
  }
  port_ = ntohs(addr.sin_port);
  accept_thread_ = std::thread([this] { AcceptLoop(); });
}

HttpTestServer::~HttpTestServer() {
  stopping_ = true;
  char byte = 1;
  if (write(wake_pipe_[1], &byte, 1) != 1) std::perror("HttpTestServer wake");
  accept_thread_.join();
  {
    std::lock_guard<std::mutex> lock(mu_);
    for (int fd : open_fds_) shutdown(fd, SHUT_RDWR);
  }
  // No thread is added once the accept loop has ended.
  for (std::thread& t : connection_threads_) t.join();
  close(listen_fd_);
  close(wake_pipe_[0]);
  close(wake_pipe_[1]);
}

std::string HttpTestServer::Origin() const { return "http://127.0.0.1:" + std::to_string(port_); }

void HttpTestServer::Serve(const std::string& target, HttpReply reply) {
  std::lock_guard<std::mutex> lock(mu_);
  replies_[{"", target}] = std::move(reply);
}

void HttpTestServer::ServeForHost(const std::string& host, const std::string& target,
                                  HttpReply reply) {
  std::lock_guard<std::mutex> lock(mu_);
  replies_[{HostKey(host), target}] = std::move(reply);
}

void HttpTestServer::SetHandler(Handler handler) {
  std::lock_guard<std::mutex> lock(mu_);
  handler_ = std::move(handler);
}

std::vector<HttpRequestRecord> HttpTestServer::Requests() const {
  std::lock_guard<std::mutex> lock(mu_);
  return requests_;
}

void HttpTestServer::AcceptLoop() {
  while (!stopping_) {
    pollfd fds[2] = {{listen_fd_, POLLIN, 0}, {wake_pipe_[0], POLLIN, 0}};
    if (poll(fds, 2, -1) < 0) continue;
    if (fds[1].revents != 0) break;
    if ((fds[0].revents & POLLIN) == 0) continue;
    int fd = accept4(listen_fd_, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0) continue;
    ++connections_;
    std::lock_guard<std::mutex> lock(mu_);
    open_fds_.insert(fd);
    connection_threads_.emplace_back([this, fd] { ServeConnection(fd); });
  }
}

void HttpTestServer::ServeConnection(int fd) {
  std::string head;
  if (ReadRequest(fd, &head)) {
    HttpRequestRecord request = ParseRequest(head);
    {
      std::lock_guard<std::mutex> lock(mu_);
      requests_.push_back(request);
    }
    SendReply(fd, FindReply(request));
  }
  std::lock_guard<std::mutex> lock(mu_);
  open_fds_.erase(fd);
  close(fd);
}

// Reads up to the blank line that ends the request head; false when the client or the server
// goes away first, or the head is too long.
bool HttpTestServer::ReadRequest(int fd, std::string* head) {
  std::string data;
  char buffer[4096];
  while (true) {
    size_t end = data.find("\r\n\r\n");
    if (end != std::string::npos) {
      *head = data.substr(0, end + 2);
      return true;
    }
    end = data.find("\n\n");
    if (end != std::string::npos) {
      *head = data.substr(0, end + 1);
      return true;
    }
    if (data.size() > kMaxRequestHead) return false;
    pollfd fds[2] = {{fd, POLLIN, 0}, {wake_pipe_[0], POLLIN, 0}};
    if (poll(fds, 2, -1) < 0) continue;
    if (fds[1].revents != 0) return false;
    ssize_t n = recv(fd, buffer, sizeof buffer, 0);
    if (n <= 0) return false;
    data.append(buffer, static_cast<size_t>(n));
  }
}

HttpReply HttpTestServer::FindReply(const HttpRequestRecord& request) {
  std::string bare = request.path.substr(0, request.path.find('?'));
  Handler handler;
  {
    std::lock_guard<std::mutex> lock(mu_);
    for (const auto& key :
         {std::pair{request.host, request.path}, std::pair{request.host, bare},
          std::pair{std::string(), request.path}, std::pair{std::string(), bare}}) {
      auto it = replies_.find(key);
      if (it != replies_.end()) return it->second;
    }
    handler = handler_;
  }
  if (handler) return handler(request);
  return HttpReply::Status(404, "<html><body>Not Found</body></html>");
}

void HttpTestServer::SendReply(int fd, const HttpReply& reply) {
  if (reply.hang_up) return;
  if (!reply.raw.empty()) {
    SendAll(fd, reply.raw);
    return;
  }
  if (reply.stall == HttpReply::Stall::kBeforeReply) {
    WaitUntilClosed(fd);
    return;
  }

  std::string out = "HTTP/1.1 " + std::to_string(reply.status) + " " +
                    (reply.reason.empty() ? ReasonPhrase(reply.status) : reply.reason) + "\r\n";
  for (const auto& [name, value] : reply.headers) out += name + ": " + value + "\r\n";
  if (!HasHeader(reply, "content-type")) out += "Content-Type: text/html\r\n";
  if (reply.chunked) {
    out += "Transfer-Encoding: chunked\r\n";
  } else if (reply.stall == HttpReply::Stall::kNone && !HasHeader(reply, "content-length")) {
    out += "Content-Length: " + std::to_string(reply.body.size()) + "\r\n";
  }
  if (!HasHeader(reply, "connection")) out += "Connection: close\r\n";
  out += "\r\n";
  if (!SendAll(fd, out)) return;

  if (reply.chunked) {
    size_t step = reply.chunk_size == 0 ? 1 : reply.chunk_size;
    for (size_t pos = 0; pos < reply.body.size(); pos += step) {
      std::string chunk = reply.body.substr(pos, step);
      char size_line[32];
      std::snprintf(size_line, sizeof size_line, "%zx\r\n", chunk.size());
      if (!SendAll(fd, size_line + chunk + "\r\n")) return;
    }
    if (reply.stall == HttpReply::Stall::kNone && !SendAll(fd, "0\r\n\r\n")) return;
  } else if (!SendAll(fd, reply.body)) {
    return;
  }
  if (reply.stall == HttpReply::Stall::kAfterBody) WaitUntilClosed(fd);
}

bool HttpTestServer::SendAll(int fd, const std::string& bytes) {
  size_t sent = 0;
  while (sent < bytes.size()) {
    ssize_t n = send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
    if (n <= 0) return false;
    sent += static_cast<size_t>(n);
  }
  return true;
}

// Holds a stalled connection until the client closes it or the server stops.
void HttpTestServer::WaitUntilClosed(int fd) {
  char buffer[1024];
  while (true) {
    pollfd fds[2] = {{fd, POLLIN, 0}, {wake_pipe_[0], POLLIN, 0}};
    if (poll(fds, 2, -1) < 0) continue;
    if (fds[1].revents != 0) return;
    if (recv(fd, buffer, sizeof buffer, 0) <= 0) return;
  }
}

void ClearProxyEnvironment() {
  for (const char* name : {"http_proxy", "HTTP_PROXY", "https_proxy", "HTTPS_PROXY", "all_proxy",
                           "ALL_PROXY", "no_proxy", "NO_PROXY"}) {
    unsetenv(name);
  }
}

ScopedHttpProxy::ScopedHttpProxy(const HttpTestServer& server) {
  ClearProxyEnvironment();
  setenv("http_proxy", server.Origin().c_str(), 1);
}

ScopedHttpProxy::~ScopedHttpProxy() { ClearProxyEnvironment(); }

}  // namespace jollix::testing
