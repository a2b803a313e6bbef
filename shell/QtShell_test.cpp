#include "shell/QtShell.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDesktopServices>
#include <QObject>
#include <QUrl>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

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

// Stands in for the desktop's handlers of the schemes it is registered for.
class UrlCatcher : public QObject {
  Q_OBJECT

 public:
  std::vector<QUrl> urls;

 public slots:
  void Catch(const QUrl& url) { urls.push_back(url); }
};

TEST(QtShell, OpensALocalPathAsAFileAndOnlyHttpOrHttpsAddressesInTheBrowser) {
  testing::EnsureApplication();
  UrlCatcher catcher;
  const char* schemes[] = {"http", "https", "file", "ftp"};
  for (const char* scheme : schemes) QDesktopServices::setUrlHandler(scheme, &catcher, "Catch");
  TempDir dir;
  const std::string disk = dir / reinterpret_cast<const char*>(u8"文件夹/报告.txt");
  dir.Write(reinterpret_cast<const char*>(u8"文件夹/报告.txt"), "x");
  const std::string local = FileNameToGbk(disk);
  QtShell shell;
  EXPECT_TRUE(shell.Open(LocalPathTarget(local)));
  EXPECT_TRUE(shell.Open(WebAddressTarget("http://www.example.com/s?wd=天气")));
  EXPECT_TRUE(shell.Open(WebAddressTarget("www.example.com/soft/1.html")));
  // Refused: a missing file, and anything handed over as a web address that is not one.
  EXPECT_FALSE(shell.Open(LocalPathTarget(local + ".gone")));
  EXPECT_FALSE(shell.Open({ShellTargetKind::kWebAddress, "file://" + local}));
  EXPECT_FALSE(shell.Open({ShellTargetKind::kWebAddress, "ftp://files.example.com/a.zip"}));
  EXPECT_FALSE(shell.Open({ShellTargetKind::kWebAddress, local}));
  EXPECT_FALSE(shell.Open({}));
  for (const char* scheme : schemes) QDesktopServices::unsetUrlHandler(scheme);

  ASSERT_EQ(catcher.urls.size(), 3u);
  EXPECT_EQ(catcher.urls[0], QUrl::fromLocalFile(QString::fromUtf8(disk.c_str())));
  // The query keeps its GBK bytes, as the site expects them.
  EXPECT_EQ(catcher.urls[1].toEncoded(),
            "http://www.example.com/s?wd=" + QByteArray("天气").toPercentEncoding());
  EXPECT_EQ(catcher.urls[2].toString(), u"http://www.example.com/soft/1.html");
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

#include "QtShell_test.moc"
