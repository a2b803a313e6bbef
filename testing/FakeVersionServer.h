// A version server on 127.0.0.1 for tests: listens on a port of its own choosing, takes each
// connection's request (4-byte length and 88 bytes), answers with scripted bytes and closes, or
// holds the connection without a word (a server that never answers).
#pragma once

#include <atomic>
#include <cstddef>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace jollix::testing {

// The reply bytes of a status alone, and of status 1 with its payload.
std::string VersionStatusReply(int status);
std::string VersionInformationReply(const std::string& payload);

// How a reply goes out: whole (piece 0), or in pieces of piece bytes, each sent on its own with
// a pause between them, so that the client receives it over several TCP segments.
struct ReplyPieces {
  size_t Piece = 0;
  int PauseMs = 0;
};

class FakeVersionServer {
 public:
  // answer false: accept, read the request and never answer until the server is destroyed.
  explicit FakeVersionServer(std::string reply, bool answer = true, ReplyPieces pieces = {});
  ~FakeVersionServer();
  FakeVersionServer(const FakeVersionServer&) = delete;
  FakeVersionServer& operator=(const FakeVersionServer&) = delete;

  int port() const { return port_; }
  // The bytes each connection sent, in order of the connections.
  std::vector<std::string> Requests() const;

 private:
  void Serve();
  void Handle(int fd);
  void SendReply(int fd);

  std::string reply_;
  bool answer_;
  ReplyPieces pieces_;
  int listener_ = -1;
  int port_ = 0;
  std::atomic<bool> stop_{false};
  mutable std::mutex mu_;
  std::vector<std::string> requests_;
  std::thread thread_;
};

}  // namespace jollix::testing
