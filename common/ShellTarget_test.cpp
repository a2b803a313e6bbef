#include "common/ShellTarget.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include "common/Gbk.h"
#include "testing/TempDir.h"

namespace jollix {
namespace {

using testing::TempDir;

TEST(ShellTarget, OnlyHttpAndHttpsAddressesAndHostNamesAreWebAddresses) {
  TempDir dir;
  dir.Write("www.example.com", "");  // a local entry that looks like a host name
  testing::ScopedCurrentDir cd(dir.path());
  struct Case {
    const char* text;
    const char* address;  // null: not a web address
  } cases[] = {
      {"http://www.example.com/a?b=1", "http://www.example.com/a?b=1"},
      {"HTTPS://Example.com/", "HTTPS://Example.com/"},
      {"http://www.example.com/s?wd=天气", "http://www.example.com/s?wd=天气"},  // GBK bytes kept
      // Download sites that give their addresses without a scheme.
      {"www.example.com/soft/1.html", "http://www.example.com/soft/1.html"},
      {"www.example.com", "http://www.example.com"},
      {"dl.example.com:8080/x.zip", "http://dl.example.com:8080/x.zip"},
      {"192.168.0.1/index.html", "http://192.168.0.1/index.html"},
      // What a page must not be able to open with a double-click.
      {"file:///etc/passwd", nullptr},
      {"FILE:/home/user/.bashrc", nullptr},
      {"ftp://files.example.com/x.zip", nullptr},
      {"javascript:alert(1)", nullptr},
      {"mailto:someone@example.com", nullptr},
      {"/usr/share/applications/evil.desktop", nullptr},
      {"/home/用户/文档/报告.doc", nullptr},
      {"../../etc/passwd", nullptr},
      {"evil.desktop:x", nullptr},
      {"localhost", nullptr},
      {"http://", nullptr},
      {"搜索完毕，没有结果可显示", nullptr},
      {"", nullptr},
  };
  for (const Case& c : cases) {
    const ShellTarget t = WebAddressTarget(c.text);
    if (c.address) {
      EXPECT_EQ(t.Kind, ShellTargetKind::kWebAddress) << c.text;
      EXPECT_EQ(t.Text, c.address) << c.text;
    } else {
      EXPECT_EQ(t.Kind, ShellTargetKind::kNone) << c.text;
    }
  }
}

TEST(ShellTarget, ALocalPathIsAnAbsolutePathThatExistsNow) {
  TempDir dir;
  dir.Write(reinterpret_cast<const char*>(u8"文件夹/报告.txt"), "x");
  ASSERT_EQ(symlink((dir / "gone").c_str(), (dir / "dangling").c_str()), 0);
  testing::ScopedCurrentDir cd(dir.path());
  const std::string folder = FileNameToGbk(dir / reinterpret_cast<const char*>(u8"文件夹"));
  struct Case {
    std::string path;
    bool local;
  } cases[] = {
      {folder + "/报告.txt", true},
      {folder + "/", true},
      {folder + "/已删除.txt", false},
      {dir / "dangling", false},
      {"文件夹", false},  // relative: never taken from the current folder
      {"http://www.example.com/", false},
      {"搜索完毕，没有结果可显示", false},
      {"", false},
  };
  for (const Case& c : cases) {
    const ShellTarget t = LocalPathTarget(c.path);
    EXPECT_EQ(t.Kind, c.local ? ShellTargetKind::kLocalPath : ShellTargetKind::kNone) << c.path;
    if (c.local) EXPECT_EQ(t.Text, c.path);
  }
}

}  // namespace
}  // namespace jollix
