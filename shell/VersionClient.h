// The version check's client: one TCP connection to the version server, one request, one reply.
//
// Wire format (all integers 32-bit little-endian): the client sends a block, its length (88)
// and the 88-byte VersionRequest; the server answers with a status (1 information follows,
// 2 refused, 3 stop the program) and, after status 1, a payload length N and N bytes of GBK
// text: "build TAB word TAB download-address", optionally a line feed and the description.
//
// Every connect, send and receive is bounded in time (Limits), so a server that accepts and
// never answers, or an address that never answers the connection, ends the check with a
// failure instead of holding the caller.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "common/Prompter.h"

namespace jollix {

inline constexpr int kVersionPort = 7758;
inline constexpr size_t kVersionRequestSize = 88;
inline constexpr char kMachineIdFile[] = "/etc/machine-id";

// Where and how to ask: the two server addresses (dotted IPv4 text), the port, the time limits
// and the file that identifies the machine.
struct VersionServer {
  std::string FirstAddress, SecondAddress;
  int Port = kVersionPort;
  int ConnectMs = 5000;   // per address
  int ReceiveMs = 10000;  // per receive of a status, a length or the payload; also per send
  std::string MachineIdPath = kMachineIdFile;
};

// The machine's GUID text, 38 characters: the 32 hex digits of the machine-id file as
// {xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}, or all zeros when the file cannot be read or does
// not start with 32 hex digits.
std::string MachineGuidText(const std::string& machine_id_path);

// The 88-byte request: "vers", the build number, the GUID text and its NUL, a NUL, a copy of
// byte 8, and bytes 49 to 87 derived from bytes 8 to 47.
std::string BuildVersionRequest(int build_number, const std::string& guid_text);

class VersionClient {
 public:
  // prompter shows the message of a socket that cannot be created; it outlives the client.
  VersionClient(const VersionServer& server, Prompter& prompter);
  ~VersionClient();
  VersionClient(const VersionClient&) = delete;
  VersionClient& operator=(const VersionClient&) = delete;

  // Connects to the first address, else to the second. 0 on success; -2 when no socket can be
  // created (after the message, caption "Error"); -1 when neither address accepts.
  int Connect();
  // Closes the connection: 0, or -1 when the system reports an error (or none was open).
  int Close();
  // Sends the length (one send: failure -1), then the bytes (failure -2); 0 when all went.
  int SendBlock(const void* bytes, uint32_t length);
  // Sends the request and reads the reply. Returns the server's newest build (0 when it gave
  // none), or -1 not sent, -2 no status, -3 refused or incomplete reply, -4 no description
  // line. Status 3 ends the process with exit code -4.
  int Request(int build_number);

  int LatestVersion() const { return latest_version_; }
  const char* DownloadAddress() const { return download_address_; }
  const char* Description() const { return description_; }

 private:
  int ConnectTo(const std::string& address);
  // Reads exactly size bytes unless the peer closes, an error comes or the time runs out;
  // returns the count read.
  size_t Receive(void* buffer, size_t size);
  bool ReceiveInt(int32_t* value);

  VersionServer server_;
  Prompter& prompter_;
  int socket_ = -1;
  int latest_version_ = 0;
  char download_address_[500] = {};
  char description_[500] = {};
};

}  // namespace jollix
