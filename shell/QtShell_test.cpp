#include "shell/QtShell.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <string>

#include "common/Gbk.h"
#include "testing/QtTestApp.h"
#include "testing/TempDir.h"

namespace jollix {
namespace {

using testing::TempDir;

// The session of a process, field 6 of /proc/PID/stat.
long SessionOf(long pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string line;
  std::getline(stat, line);
  std::istringstream fields(line.substr(line.rfind(')') + 2));
  std::string state;
  long parent = 0, group = 0, session = -1;
  fields >> state >> parent >> group >> session;
  return session;
}

TEST(QtShell, LaunchStartsTheProgramInASessionOfItsOwnWithoutWaiting) {
  testing::EnsureApplication();
  TempDir dir;
  // A program under a Chinese folder name, given in GBK as the system names it.
  dir.Write(reinterpret_cast<const char*>(u8"索引器/run"),
            "#!/bin/sh\necho $$ > \"$(dirname \"$0\")/pid\"\nsleep 2\n");
  const std::string program = dir / reinterpret_cast<const char*>(u8"索引器/run");
  chmod(program.c_str(), 0755);
  QtShell shell;
  ASSERT_TRUE(shell.Launch(FileNameToGbk(program).c_str()));
  const std::string pid_file = dir / reinterpret_cast<const char*>(u8"索引器/pid");
  long pid = 0;
  for (int i = 0; i < 200 && pid == 0; ++i) {
    usleep(20000);
    std::ifstream(pid_file) >> pid;
  }
  ASSERT_GT(pid, 0) << "the program did not run";
  EXPECT_EQ(SessionOf(pid), pid) << "not the leader of a new session";
  EXPECT_NE(SessionOf(pid), static_cast<long>(getsid(0)));
  EXPECT_FALSE(shell.Launch(FileNameToGbk(dir / "missing").c_str()));
}

}  // namespace
}  // namespace jollix
