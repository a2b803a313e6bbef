#include "shell/QtShell.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <QDesktopServices>
#include <QFileDialog>
#include <QUrl>
#include <cstring>
#include <string>

#include "common/Gbk.h"
#include "common/QtPrompter.h"

extern char** environ;

namespace jollix {
namespace {

// "scheme:" at the start: letters, digits, '+', '-', '.' after a first letter.
bool HasScheme(const char* target) {
  const char* colon = std::strchr(target, ':');
  if (!colon || colon == target) return false;
  for (const char* c = target; c < colon; ++c) {
    const bool letter = (*c >= 'a' && *c <= 'z') || (*c >= 'A' && *c <= 'Z');
    const bool other = (*c >= '0' && *c <= '9') || *c == '+' || *c == '-' || *c == '.';
    if (!letter && !(c > target && other)) return false;
  }
  return colon[1] == '/';
}

}  // namespace

bool QtShell::Open(const char* target) {
  if (!target || !*target) return false;
  if (HasScheme(target)) return QDesktopServices::openUrl(QUrl(QStringFromGbk(target)));
  const std::string disk = DiskPathFromGbk(target);
  return QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromLocal8Bit(disk.c_str())));
}

bool QtShell::PickFolder(const char* title, std::string* folder) {
  const QString chosen =
      QFileDialog::getExistingDirectory(parent_, QStringFromGbk(title ? title : ""));
  if (chosen.isEmpty()) return false;
  std::string disk = chosen.toLocal8Bit().toStdString();
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
