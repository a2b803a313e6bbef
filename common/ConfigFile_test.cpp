#include "common/ConfigFile.h"

#include <gtest/gtest.h>

#include "testing/TempDir.h"

namespace jollix {
namespace {

using testing::TempDir;

const char kLf[] = "索引更新频率\t86400\n上次索引时间\t1170000000\n第一服务器IP\t10.0.0.1\n第二服务器IP\t10.0.0.2\n";
const char kCrLf[] = "索引更新频率\t86400\r\n上次索引时间\t1170000000\r\n第一服务器IP\t10.0.0.1\r\n第二服务器IP\t10.0.0.2\r\n";

TEST(ConfigFile, CrLfAndLfReadAlike) {
  TempDir dir;
  dir.Write("lf.txt", kLf);
  dir.Write("crlf.txt", kCrLf);
  IndexConfig a, b;
  ASSERT_TRUE(ReadConfig((dir / "lf.txt").c_str(), &a));
  ASSERT_TRUE(ReadConfig((dir / "crlf.txt").c_str(), &b));
  for (const IndexConfig* c : {&a, &b}) {
    EXPECT_EQ(c->UpdateFrequency, 86400);
    EXPECT_EQ(c->LastIndexTime, 1170000000);
    EXPECT_STREQ(c->FirstServerAddress, "10.0.0.1");
    EXPECT_STREQ(c->SecondServerAddress, "10.0.0.2");
  }
}

TEST(ConfigFile, OneByteKeyMismatchLeavesAllFourAtTheirStartValues) {
  TempDir dir;
  std::string text = kLf;
  text[1] ^= 1;  // second byte of the first key
  dir.Write("config.txt", text);
  IndexConfig c;
  ASSERT_TRUE(ReadConfig((dir / "config.txt").c_str(), &c));
  EXPECT_EQ(c.UpdateFrequency, 0);
  EXPECT_EQ(c.LastIndexTime, 0);
  EXPECT_STREQ(c.FirstServerAddress, "");
  EXPECT_STREQ(c.SecondServerAddress, "");
}

TEST(ConfigFile, ValuesAfterABadValueKeepTheirPreviousContent) {
  TempDir dir;
  dir.Write("config.txt", "索引更新频率\t0\n上次索引时间\tsoon\n第一服务器IP\t1.1.1.1\n");
  IndexConfig c;
  c.LastIndexTime = 77;
  ASSERT_TRUE(ReadConfig((dir / "config.txt").c_str(), &c));
  EXPECT_EQ(c.UpdateFrequency, 0);
  EXPECT_EQ(c.LastIndexTime, 77);
  EXPECT_STREQ(c.FirstServerAddress, "");
}

TEST(ConfigFile, OverlongAddressIsCutToItsField) {
  TempDir dir;
  std::string text = "索引更新频率\t1\n上次索引时间\t2\n第一服务器IP\t" + std::string(500, '9') +
                     "\n第二服务器IP\t5.5.5.5\n";
  dir.Write("config.txt", text);
  IndexConfig c;
  ASSERT_TRUE(ReadConfig((dir / "config.txt").c_str(), &c));
  EXPECT_EQ(std::string(c.FirstServerAddress), std::string(99, '9'));
  EXPECT_STREQ(c.SecondServerAddress, "");  // the rest of the long value is no key
}

TEST(ConfigFile, MissingFileIsReportedAndLeavesValues) {
  IndexConfig c;
  c.UpdateFrequency = 5;
  EXPECT_FALSE(ReadConfig("/nonexistent/config.txt", &c));
  EXPECT_EQ(c.UpdateFrequency, 5);
}

TEST(ConfigFile, WritesExactBytesWithEitherLineEnd) {
  TempDir dir;
  IndexConfig c;
  c.UpdateFrequency = 604800;
  c.LastIndexTime = 1234;
  std::snprintf(c.FirstServerAddress, sizeof c.FirstServerAddress, "127.0.0.1");
  std::snprintf(c.SecondServerAddress, sizeof c.SecondServerAddress, "127.0.0.2");
  ASSERT_TRUE(WriteConfig((dir / "a.txt").c_str(), c, LineEnd::kLf));
  ASSERT_TRUE(WriteConfig((dir / "b.txt").c_str(), c, LineEnd::kCrLf));
  EXPECT_EQ(dir.Read("a.txt"),
            "索引更新频率\t604800\n上次索引时间\t1234\n第一服务器IP\t127.0.0.1\n第二服务器IP\t127.0.0.2\n");
  EXPECT_EQ(dir.Read("b.txt"),
            "索引更新频率\t604800\r\n上次索引时间\t1234\r\n第一服务器IP\t127.0.0.1\r\n"
            "第二服务器IP\t127.0.0.2\r\n");
  IndexConfig back;
  ASSERT_TRUE(ReadConfig((dir / "b.txt").c_str(), &back));
  EXPECT_EQ(back.LastIndexTime, 1234);
  EXPECT_STREQ(back.SecondServerAddress, "127.0.0.2");
}

TEST(ConfigFile, WriteIntoMissingFolderFails) {
  IndexConfig c;
  EXPECT_FALSE(WriteConfig("/nonexistent/dir/config.txt", c, LineEnd::kLf));
}

TEST(ConfigFile, WriteToFullDeviceIsAFailure) {
  IndexConfig c;
  EXPECT_FALSE(WriteConfig("/dev/full", c, LineEnd::kLf));
}

}  // namespace
}  // namespace jollix
