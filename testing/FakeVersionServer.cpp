#include "testing/FakeVersionServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

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

FakeVersionServer::FakeVersionServer(std::string reply, bool answer)
    : reply_(std::move(reply)), answer_(answer) {
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
    send(fd, reply_.data(), reply_.size(), MSG_NOSIGNAL);
  } else {
    while (!stop_) Readable(fd, 20);
  }
  close(fd);
}

}  // namespace jollix::testing
