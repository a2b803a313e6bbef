#include "common/ShellTarget.h"

#include <gtest/gtest.h>

#include "testing/TempDir.h"

namespace jollix {
namespace {

TEST(ShellTarget, AddressesPathsAndAddressesWithoutTheirScheme) {
  testing::TempDir dir;
  dir.Write("JollixHelp.chm", "");
  testing::ScopedCurrentDir cd(dir.path());
  struct Case {
    const char* target;
    bool address;
    const char* text;
  } cases[] = {
      {"http://www.example.com/a?b=1", true, "http://www.example.com/a?b=1"},
      {"HTTP://Example.com/", true, "HTTP://Example.com/"},
      {"ftp://files.example.com/x.zip", true, "ftp://files.example.com/x.zip"},
      {"www.example.com/soft/1.html", true, "http://www.example.com/soft/1.html"},
      {"/home/用户/文档/报告.doc", false, "/home/用户/文档/报告.doc"},
      {"JollixHelp.chm", false, "JollixHelp.chm"},  // an entry of the current folder
      {"", false, ""},
  };
  for (const Case& c : cases) {
    ShellTarget t = ClassifyShellTarget(c.target);
    EXPECT_EQ(t.IsAddress, c.address) << c.target;
    EXPECT_EQ(t.Text, c.text) << c.target;
  }
}

}  // namespace
}  // namespace jollix
