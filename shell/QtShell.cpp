#include "shell/QtShell.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <QDesktopServices>
#include <QFile>
#include <QFileDialog>
#include <QUrl>
#include <string>

#include "common/Gbk.h"
#include "common/QtPrompter.h"
#include "common/ShellTarget.h"

extern char** environ;

namespace jollix {

bool QtShell::Open(const char* target) {
  if (!target || !*target) return false;
  const ShellTarget t = ClassifyShellTarget(target);
  // An address keeps its bytes: a GBK query in it reaches the site as the site's own bytes.
  if (t.IsAddress) {
    return QDesktopServices::openUrl(
        QUrl::fromEncoded(QByteArray::fromStdString(t.Text), QUrl::TolerantMode));
  }
  const std::string disk = DiskPathFromGbk(t.Text);
  return QDesktopServices::openUrl(QUrl::fromLocalFile(QFile::decodeName(disk.c_str())));
}

bool QtShell::PickFolder(const char* title, std::string* folder) {
  const QString chosen =
      QFileDialog::getExistingDirectory(parent_, QStringFromGbk(title ? title : ""));
  if (chosen.isEmpty()) return false;
  std::string disk = QFile::encodeName(chosen).toStdString();
  while (disk.size() > 1 && disk.back() == '/') disk.pop_back();
  *folder = FileNameToGbk(disk);
  return true;
}

bool QtShell::Launch(const char* program) {
  const std::string disk = DiskPathFromGbk(program ? program : "");
  posix_spawnattr_t attr;
  posix_spawnattr_init(&attr);
  posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSID);
  char* argv[] = {const_cast<char*>(disk.c_str()), nullptr};
  pid_t pid;
  const int rc = posix_spawn(&pid, disk.c_str(), nullptr, &attr, argv, environ);
  posix_spawnattr_destroy(&attr);
  return rc == 0;
}

}  // namespace jollix
