#include "shell/VersionClient.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <memory>

#include "common/Fatal.h"
#include "common/FormattedInput.h"
#include "common/TextFile.h"

namespace jollix {
namespace {

constexpr char kZeroGuid[] = "{00000000-0000-0000-0000-000000000000}";
constexpr int kStatusInformation = 1;
constexpr int kStatusRefused = 2;
constexpr int kStatusStop = 3;
constexpr int kStopExit = -4;
// A payload is a line of numbers and an address and a short description; a length beyond this
// is no reply of a version server.
constexpr int32_t kMaxPayload = 1 << 20;

using Clock = std::chrono::steady_clock;

void PutLittleEndian(uint32_t value, char* out) {
  for (int i = 0; i < 4; ++i) out[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

int32_t GetLittleEndian(const unsigned char* in) {
  return static_cast<int32_t>(in[0] | in[1] << 8 | in[2] << 16 |
                              static_cast<uint32_t>(in[3]) << 24);
}

int RemainingMs(Clock::time_point deadline) {
  auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
  return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

// Waits until the socket is ready for events or the deadline passes; false on time-out.
bool WaitFor(int fd, short events, Clock::time_point deadline) {
  for (;;) {
    pollfd p{fd, events, 0};
    int r = poll(&p, 1, RemainingMs(deadline));
    if (r < 0 && errno == EINTR) continue;
    return r > 0;
  }
}

int NewSocket() { return socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0); }

// Copies text into a fixed field, cut before a double-byte character that would not fit whole.
void CopyCut(const char* text, size_t length, char* field, size_t capacity) {
  size_t n = 0;
  while (n < length) {
    const size_t width = static_cast<unsigned char>(text[n]) >= 0x80 ? 2 : 1;
    if (n + width > capacity - 1 || n + width > length) break;
    n += width;
  }
  std::memcpy(field, text, n);
  field[n] = '\0';
}

bool IsHex(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

}  // namespace

std::string MachineGuidText(const std::string& machine_id_path) {
  std::string id;
  if (!ReadWholeFile(machine_id_path.c_str(), &id) || id.size() < 32) return kZeroGuid;
  for (size_t i = 0; i < 32; ++i) {
    if (!IsHex(id[i])) return kZeroGuid;
  }
  return "{" + id.substr(0, 8) + "-" + id.substr(8, 4) + "-" + id.substr(12, 4) + "-" +
         id.substr(16, 4) + "-" + id.substr(20, 12) + "}";
}

std::string BuildVersionRequest(int build_number, const std::string& guid_text) {
  std::string request(kVersionRequestSize, '\0');
  std::memcpy(request.data(), "vers", 4);
  PutLittleEndian(static_cast<uint32_t>(build_number), request.data() + 4);
  std::memcpy(request.data() + 8, guid_text.data(), std::min<size_t>(guid_text.size(), 38));
  // Bytes 46 and 47 stay 0.
  auto* b = reinterpret_cast<unsigned char*>(request.data());
  b[48] = b[8];
  for (int j = 49; j < 88; ++j) b[j] = static_cast<unsigned char>(17 * b[j - 40] + b[j - 41]);
  return request;
}

VersionClient::VersionClient(const VersionServer& server, Prompter& prompter)
    : server_(server), prompter_(prompter) {}

VersionClient::~VersionClient() {
  if (socket_ >= 0) close(socket_);
}

int VersionClient::ConnectTo(const std::string& address) {
  socket_ = NewSocket();
  if (socket_ < 0) {
    prompter_.Ask("建立Socket失败!", "Error", PromptButtons::kOk);
    return -2;
  }
  sockaddr_in to{};
  to.sin_family = AF_INET;
  to.sin_port = htons(static_cast<uint16_t>(server_.Port));
  if (inet_pton(AF_INET, address.c_str(), &to.sin_addr) == 1) {
    int r = connect(socket_, reinterpret_cast<sockaddr*>(&to), sizeof to);
    if (r == 0) return 0;
    if (errno == EINPROGRESS &&
        WaitFor(socket_, POLLOUT, Clock::now() + std::chrono::milliseconds(server_.ConnectMs))) {
      int error = 0;
      socklen_t size = sizeof error;
      if (getsockopt(socket_, SOL_SOCKET, SO_ERROR, &error, &size) == 0 && error == 0) return 0;
    }
  }
  close(socket_);
  socket_ = -1;
  return -1;
}

int VersionClient::Connect() {
  if (socket_ >= 0) Close();
  int r = ConnectTo(server_.FirstAddress);
  if (r != -1) return r;
  return ConnectTo(server_.SecondAddress);
}

int VersionClient::Close() {
  if (socket_ < 0) return -1;
  int r = close(socket_);
  socket_ = -1;
  return r == 0 ? 0 : -1;
}

int VersionClient::SendBlock(const void* bytes, uint32_t length) {
  if (socket_ < 0) return -1;
  const auto deadline = Clock::now() + std::chrono::milliseconds(server_.ReceiveMs);
  char prefix[4];
  PutLittleEndian(length, prefix);
  if (!WaitFor(socket_, POLLOUT, deadline) || send(socket_, prefix, 4, MSG_NOSIGNAL) != 4) {
    return -1;
  }
  const char* data = static_cast<const char*>(bytes);
  size_t sent = 0;
  while (sent < length) {
    if (!WaitFor(socket_, POLLOUT, deadline)) return -2;
    ssize_t n = send(socket_, data + sent, length - sent, MSG_NOSIGNAL);
    if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
    if (n <= 0) return -2;
    sent += static_cast<size_t>(n);
  }
  return 0;
}

size_t VersionClient::Receive(void* buffer, size_t size) {
  const auto deadline = Clock::now() + std::chrono::milliseconds(server_.ReceiveMs);
  size_t got = 0;
  while (got < size && socket_ >= 0) {
    if (!WaitFor(socket_, POLLIN, deadline)) break;
    ssize_t n = recv(socket_, static_cast<char*>(buffer) + got, size - got, 0);
    if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
    if (n <= 0) break;  // an error, or the peer closed
    got += static_cast<size_t>(n);
  }
  return got;
}

bool VersionClient::ReceiveInt(int32_t* value) {
  unsigned char bytes[4];
  if (Receive(bytes, 4) != 4) return false;
  *value = GetLittleEndian(bytes);
  return true;
}

int VersionClient::Request(int build_number) {
  const std::string request =
      BuildVersionRequest(build_number, MachineGuidText(server_.MachineIdPath));
  if (SendBlock(request.data(), static_cast<uint32_t>(request.size())) != 0) return -1;
  int32_t status;
  if (!ReceiveInt(&status)) return -2;
  if (status == kStatusRefused) return -3;
  if (status == kStatusStop) EndProcess(kStopExit);
  if (status != kStatusInformation) return latest_version_;

  int32_t length;
  if (!ReceiveInt(&length) || length < 0 || length > kMaxPayload) return -3;
  std::string payload(static_cast<size_t>(length), '\0');
  if (Receive(payload.data(), payload.size()) != payload.size()) return -3;
  payload.resize(std::strlen(payload.c_str()));  // the text ends at a NUL byte, if any

  char word[500] = {};
  ScanFormat(payload, "%d\t%s\t%s", {&latest_version_, word, download_address_});
  if (latest_version_ == build_number) return latest_version_;
  const size_t line_feed = payload.find('\n');
  if (line_feed == std::string::npos) return -4;
  CopyCut(payload.data() + line_feed + 1, payload.size() - line_feed - 1, description_,
          sizeof description_);
  return latest_version_;
}

}  // namespace jollix
