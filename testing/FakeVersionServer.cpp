#include "testing/FakeVersionServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <stdexcept>

namespace jollix::testing {
namespace {

std::string LittleEndian(uint32_t value) {
  std::string bytes(4, '\0');
  for (int i = 0; i < 4; ++i) bytes[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
  return bytes;
}

bool Readable(int fd, int ms) {
  pollfd p{fd, POLLIN, 0};
  return poll(&p, 1, ms) > 0;
}

}  // namespace

std::string VersionStatusReply(int status) { return LittleEndian(static_cast<uint32_t>(status)); }

std::string VersionInformationReply(const std::string& payload) {
  return LittleEndian(1) + LittleEndian(static_cast<uint32_t>(payload.size())) + payload;
}

FakeVersionServer::FakeVersionServer(std::string reply, bool answer, ReplyPieces pieces)
    : reply_(std::move(reply)), answer_(answer), pieces_(pieces) {
  listener_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t size = sizeof address;
  if (listener_ < 0 || bind(listener_, reinterpret_cast<sockaddr*>(&address), size) != 0 ||
      listen(listener_, 8) != 0 ||
      getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
    throw std::runtime_error("the fake version server cannot listen");
  }
  port_ = ntohs(address.sin_port);
  thread_ = std::thread([this] { Serve(); });
}

FakeVersionServer::~FakeVersionServer() {
  stop_ = true;
  thread_.join();
  close(listener_);
}

std::vector<std::string> FakeVersionServer::Requests() const {
  std::lock_guard<std::mutex> lock(mu_);
  return requests_;
}

void FakeVersionServer::Serve() {
  while (!stop_) {
    if (!Readable(listener_, 20)) continue;
    int fd = accept(listener_, nullptr, nullptr);
    if (fd >= 0) Handle(fd);
  }
}

void FakeVersionServer::Handle(int fd) {
  std::string request;
  char buffer[256];
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (request.size() < 4 + 88 && !stop_ && std::chrono::steady_clock::now() < until) {
    if (!Readable(fd, 20)) continue;
    ssize_t n = recv(fd, buffer, sizeof buffer, 0);
    if (n <= 0) break;
    request.append(buffer, static_cast<size_t>(n));
  }
  {
    std::lock_guard<std::mutex> lock(mu_);
    requests_.push_back(request);
  }
  if (answer_) {
    SendReply(fd);
  } else {
    while (!stop_) Readable(fd, 20);
  }
  close(fd);
}

void FakeVersionServer::SendReply(int fd) {
  if (pieces_.Piece == 0) {
    send(fd, reply_.data(), reply_.size(), MSG_NOSIGNAL);
    return;
  }
  // Without Nagle's delay each piece leaves at once, as a segment of its own.
  int on = 1;
  setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
  for (size_t at = 0; at < reply_.size() && !stop_; at += pieces_.Piece) {
    if (at > 0) std::this_thread::sleep_for(std::chrono::milliseconds(pieces_.PauseMs));
    const size_t size = std::min(pieces_.Piece, reply_.size() - at);
    if (send(fd, reply_.data() + at, size, MSG_NOSIGNAL) != static_cast<ssize_t>(size)) return;
  }
}

}  // namespace jollix::testing
