#include "shell/VersionClient.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>

#include "shell/VersionCheck.h"
#include "testing/FakePorts.h"
#include "testing/FakeVersionServer.h"
#include "testing/TempDir.h"

namespace jollix {
namespace {

using testing::FakeVersionServer;
using testing::VersionInformationReply;
using testing::VersionStatusReply;

constexpr int kBuild = 20070408;
constexpr char kZeroGuid[] = "{00000000-0000-0000-0000-000000000000}";

class VersionClientTest : public ::testing::Test {
 protected:
  VersionClientTest() { dir_.Write("machine-id", "0123456789abcdef0123456789ABCDEF\n"); }

  VersionServer ServerAt(int port, const char* first = "127.0.0.1",
                         const char* second = "127.0.0.1") {
    VersionServer server;
    server.FirstAddress = first;
    server.SecondAddress = second;
    server.Port = port;
    server.ConnectMs = 1000;
    server.ReceiveMs = 2000;
    server.MachineIdPath = dir_ / "machine-id";
    return server;
  }
  // The check button against a server that sends reply.
  VersionDialogTexts CheckButton(const std::string& reply, int* result = nullptr) {
    FakeVersionServer fake(reply);
    VersionDialogTexts texts;
    int r = CheckForNewVersion(ServerAt(fake.port()), kBuild, prompter_, &texts);
    if (result) *result = r;
    return texts;
  }
  bool StartCheck(const std::string& reply, VersionDialogTexts* texts) {
    FakeVersionServer fake(reply);
    return CheckAtStart(ServerAt(fake.port()), kBuild, prompter_, texts);
  }

  testing::TempDir dir_;
  testing::FakePrompter prompter_;
};

TEST_F(VersionClientTest, RequestIsTheLengthAndEightyEightBytes) {
  FakeVersionServer fake(VersionStatusReply(7));
  VersionClient client(ServerAt(fake.port()), prompter_);
  ASSERT_EQ(client.Connect(), 0);
  EXPECT_EQ(client.Request(kBuild), 0);
  client.Close();
  ASSERT_EQ(fake.Requests().size(), 1u);
  const std::string sent = fake.Requests()[0];
  ASSERT_EQ(sent.size(), 4u + 88u);
  EXPECT_EQ(sent.substr(0, 4), std::string("\x58\0\0\0", 4));
  EXPECT_EQ(sent.substr(4, 4), "vers");
  EXPECT_EQ(sent.substr(8, 4), std::string("\x08\x40\x32\x01", 4));  // 20070408 = 0x01324008
  EXPECT_EQ(sent.substr(12, 38), "{01234567-89ab-cdef-0123-456789ABCDEF}");
  EXPECT_EQ(sent.substr(50, 2), std::string("\0\0", 2));
  EXPECT_EQ(sent[52], '{');
}

TEST_F(VersionClientTest, DerivedBytesOfAKnownGuid) {
  const std::string request = BuildVersionRequest(kBuild, kZeroGuid);
  ASSERT_EQ(request.size(), 88u);
  auto byte = [&](int i) { return static_cast<unsigned char>(request[i]); };
  EXPECT_EQ(byte(48), '{');
  EXPECT_EQ(byte(49), 0xAB);  // 17 * '0' + '{' = 939
  EXPECT_EQ(byte(50), 0x60);  // 17 * '0' + '0' = 864
  EXPECT_EQ(byte(57), 0x2D);  // 17 * '-' + '0' = 813
  EXPECT_EQ(byte(58), 0x5D);  // 17 * '0' + '-' = 861
  EXPECT_EQ(byte(85), 0x7D);  // 17 * '}' + '0' = 2173
  EXPECT_EQ(byte(86), '}');   // 17 * 0 + '}'
  EXPECT_EQ(byte(87), 0);
}

TEST_F(VersionClientTest, MachineGuidFromTheMachineIdFileOrZeros) {
  EXPECT_EQ(MachineGuidText(dir_ / "machine-id"), "{01234567-89ab-cdef-0123-456789ABCDEF}");
  EXPECT_EQ(MachineGuidText(dir_ / "missing"), kZeroGuid);
  dir_.Write("short", "0123456789abcdef\n");
  dir_.Write("bad", "0123456789abcdef0123456789abcdeg\n");
  EXPECT_EQ(MachineGuidText(dir_ / "short"), kZeroGuid);
  EXPECT_EQ(MachineGuidText(dir_ / "bad"), kZeroGuid);
}

TEST_F(VersionClientTest, SameBuildSaysNoUpdateIsNeededAndTheStartStaysSilent) {
  const std::string reply = VersionInformationReply("20070408\tJollix\thttp://dl.example/new");
  VersionDialogTexts texts = CheckButton(reply);
  EXPECT_EQ(texts.VersionText, "服务器最新版本：20070408");
  EXPECT_EQ(texts.Description, "您目前运行的是最新版本，不需要更新！");
  EXPECT_EQ(texts.DownloadAddress, "http://dl.example/new");
  VersionDialogTexts at_start;
  EXPECT_FALSE(StartCheck(reply, &at_start));
  EXPECT_EQ(at_start.VersionText, "服务器最新版本：");
}

TEST_F(VersionClientTest, NewerBuildWithoutLineFeedFails) {
  int result = 0;
  VersionDialogTexts texts =
      CheckButton(VersionInformationReply("20080101\tJollix\thttp://dl.example/new"), &result);
  EXPECT_EQ(result, -4);
  EXPECT_EQ(texts.Description, "检测最新版本失败，请与软件开发商联系！");
  EXPECT_EQ(texts.VersionText, "服务器最新版本：");
}

TEST_F(VersionClientTest, NewerBuildFillsTheTextsAtStart) {
  VersionDialogTexts texts;
  ASSERT_TRUE(StartCheck(
      VersionInformationReply("20080101\tJollix\thttp://dl.example/new\n新版本：更快的搜索"),
      &texts));
  EXPECT_EQ(texts.VersionText, "服务器最新版本：20080101");
  EXPECT_EQ(texts.Description, "新版本：更快的搜索");
  EXPECT_EQ(texts.DownloadAddress, "http://dl.example/new");
}

TEST_F(VersionClientTest, OlderBuildStillFillsTheDescriptionButNotAtStart) {
  const std::string reply =
      VersionInformationReply("20060101\tJollix\thttp://dl.example/old\n旧版");
  VersionDialogTexts texts = CheckButton(reply);
  EXPECT_EQ(texts.VersionText, "服务器最新版本：20060101");
  EXPECT_EQ(texts.Description, "旧版");
  VersionDialogTexts at_start;
  EXPECT_FALSE(StartCheck(reply, &at_start));
}

TEST_F(VersionClientTest, RepliesAndTheirResults) {
  struct Case {
    std::string reply;
    int result;
    const char* description;
    const char* version;
  };
  const std::string failed = "检测最新版本失败，请与软件开发商联系！";
  const Case cases[] = {
      {"", -2, failed.c_str(), "服务器最新版本："},                      // closed at once
      {std::string("\1\0", 2), -2, failed.c_str(), "服务器最新版本："},  // half a status
      {VersionStatusReply(2), -3, failed.c_str(), "服务器最新版本："},   // refused
      {VersionStatusReply(1), -3, failed.c_str(), "服务器最新版本："},   // no length
      {VersionStatusReply(1) + std::string("\x32\0\0\0", 4) + "2008", -3, failed.c_str(),
       "服务器最新版本："},  // short payload
      {VersionStatusReply(1) + std::string("\0\0\0\x40", 4), -3, failed.c_str(),
       "服务器最新版本："},                                                    // absurd length
      {VersionStatusReply(9), 0, "", "服务器最新版本：0"},                     // unknown status
      {VersionInformationReply("x"), -4, failed.c_str(), "服务器最新版本："},  // no number
  };
  for (const Case& c : cases) {
    int result = 1;
    VersionDialogTexts texts = CheckButton(c.reply, &result);
    EXPECT_EQ(result, c.result) << ::testing::PrintToString(c.reply);
    EXPECT_EQ(texts.Description, c.description) << ::testing::PrintToString(c.reply);
    EXPECT_EQ(texts.VersionText, c.version) << ::testing::PrintToString(c.reply);
  }
}

// A reply that reaches the client in several segments, some of which split the status, the
// length and the payload, is read whole: every receive waits for all its bytes.
TEST_F(VersionClientTest, AReplySplitOverSeveralSegmentsIsReadWhole) {
  const std::string payload = "20080101\tJollix\thttp://dl.example/new\n新版本：更快的搜索";
  FakeVersionServer fake(VersionInformationReply(payload), true,
                         testing::ReplyPieces{.Piece = 3, .PauseMs = 10});
  VersionDialogTexts texts;
  EXPECT_EQ(CheckForNewVersion(ServerAt(fake.port()), kBuild, prompter_, &texts), 20080101);
  EXPECT_EQ(texts.VersionText, "服务器最新版本：20080101");
  EXPECT_EQ(texts.Description, "新版本：更快的搜索");
  EXPECT_EQ(texts.DownloadAddress, "http://dl.example/new");
}

TEST_F(VersionClientTest, LongDescriptionIsCutToItsFieldOnACharacterBoundary) {
  std::string long_text;
  for (int i = 0; i < 300; ++i) long_text += "长";
  VersionDialogTexts texts =
      CheckButton(VersionInformationReply("20080101\tJ\thttp://a\nx" + long_text));
  EXPECT_EQ(texts.Description.size(), 499u);  // "x" and 249 whole characters
  EXPECT_EQ(texts.Description, "x" + long_text.substr(0, 498));
}

TEST_F(VersionClientTest, FirstAddressRefusingAndSecondAcceptingSucceeds) {
  FakeVersionServer fake(VersionInformationReply("20070408\tJ\thttp://a"));
  VersionDialogTexts texts;
  // Nothing listens on 127.0.0.2: the server holds 127.0.0.1 alone.
  EXPECT_EQ(CheckForNewVersion(ServerAt(fake.port(), "127.0.0.2", "127.0.0.1"), kBuild, prompter_,
                               &texts),
            kBuild);
  EXPECT_EQ(fake.Requests().size(), 1u);
  EXPECT_TRUE(prompter_.messages().empty());
}

TEST_F(VersionClientTest, NeitherAddressAcceptingIsAConnectionFailure) {
  int port;
  {
    FakeVersionServer gone("");
    port = gone.port();
  }
  VersionDialogTexts texts;
  VersionClient client(ServerAt(port, "127.0.0.2", "not an address"), prompter_);
  EXPECT_EQ(client.Connect(), -1);
  EXPECT_EQ(CheckForNewVersion(ServerAt(port), kBuild, prompter_, &texts), -5);
  EXPECT_EQ(texts.Description, "连接服务器失败！");
  EXPECT_FALSE(CheckAtStart(ServerAt(port), kBuild, prompter_, &texts));
  EXPECT_TRUE(prompter_.messages().empty());
}

TEST_F(VersionClientTest, StopOrderEndsTheProcessWithMinusFour) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        FakeVersionServer fake(VersionStatusReply(3));
        VersionClient client(ServerAt(fake.port()), prompter_);
        client.Connect();
        client.Request(kBuild);
      },
      ::testing::ExitedWithCode(252), "");
}

TEST_F(VersionClientTest, ServerThatNeverAnswersEndsTheCheckWithinItsBound) {
  FakeVersionServer silent("", false);
  VersionServer server = ServerAt(silent.port());
  server.ReceiveMs = 300;
  VersionDialogTexts texts;
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(CheckForNewVersion(server, kBuild, prompter_, &texts), -2);
  const auto took = std::chrono::steady_clock::now() - start;
  EXPECT_LT(took, std::chrono::seconds(3));
  EXPECT_EQ(texts.Description, "检测最新版本失败，请与软件开发商联系！");
}

// A listener whose queue is full and that never accepts: the system drops further connection
// requests, so a connect to it is never answered.
TEST_F(VersionClientTest, AddressThatNeverAnswersTheConnectionEndsWithinItsBound) {
  int listener = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t size = sizeof address;
  ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&address), size), 0);
  ASSERT_EQ(listen(listener, 0), 0);
  getsockname(listener, reinterpret_cast<sockaddr*>(&address), &size);
  std::vector<int> fillers;
  for (int i = 0; i < 4; ++i) {
    int fd = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
    connect(fd, reinterpret_cast<sockaddr*>(&address), size);
    fillers.push_back(fd);
  }
  usleep(100000);
  VersionServer server = ServerAt(ntohs(address.sin_port));
  server.ConnectMs = 300;
  VersionClient client(server, prompter_);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(client.Connect(), -1);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
  for (int fd : fillers) close(fd);
  close(listener);
}

TEST_F(VersionClientTest, DownloadOpensTheServersAddressOrTheVendorsPage) {
  testing::FakeShell shell;
  VersionDialogTexts texts;
  texts.DownloadAddress = "http://dl.example/new";
  OpenDownloadPage(shell, &texts);
  texts.DownloadAddress.clear();
  OpenDownloadPage(shell, &texts);
  EXPECT_EQ(shell.opened, (std::vector<std::string>{"http://dl.example/new", kVendorDownloadPage}));
  EXPECT_EQ(texts.DownloadAddress, kVendorDownloadPage);
  EXPECT_EQ(RunningVersionText(kBuild), "当前运行程序版本：20070408");
}

TEST_F(VersionClientTest, DownloadOpensOnlyAWebAddressThatTheServerGives) {
  testing::TempDir dir;
  dir.Write("evil.desktop", "[Desktop Entry]\nExec=sh\n");
  const std::pair<std::string, const char*> cases[] = {
      {"https://dl.example/new", "https://dl.example/new"},
      {"dl.example.com/new.zip", "http://dl.example.com/new.zip"},
      {dir / "evil.desktop", nullptr},
      {"file://" + dir / "evil.desktop", nullptr},
      {"smb://files.example/share", nullptr},
  };
  for (const auto& [given, opened] : cases) {
    testing::FakeShell shell;
    VersionDialogTexts texts;
    texts.DownloadAddress = given;
    OpenDownloadPage(shell, &texts);
    EXPECT_EQ(shell.opened, opened ? std::vector<std::string>{opened} : std::vector<std::string>{})
        << given;
  }
}

}  // namespace
}  // namespace jollix
