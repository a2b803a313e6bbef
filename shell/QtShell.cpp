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

extern char** environ;

namespace jollix {
namespace {

// The bytes of an address with every byte that may not stand in a URL as it is (blanks,
// controls, and the bytes of GBK characters) percent-encoded. QUrl reads raw bytes as UTF-8 and
// would turn a GBK query into replacement characters; encoded, it reaches the site as the site's
// own bytes.
QByteArray EscapedAddress(const std::string& address) {
  static const char kHex[] = "0123456789ABCDEF";
  QByteArray escaped;
  for (unsigned char c : address) {
    if (c > 0x20 && c < 0x7F) {
      escaped += static_cast<char>(c);
    } else {
      escaped += '%';
      escaped += kHex[c >> 4];
      escaped += kHex[c & 15];
    }
  }
  return escaped;
}

}  // namespace

bool QtShell::Open(const ShellTarget& target) {
  switch (target.Kind) {
    case ShellTargetKind::kLocalPath: {
      const std::string disk = DiskPathFromGbk(target.Text);
      return QDesktopServices::openUrl(QUrl::fromLocalFile(QFile::decodeName(disk.c_str())));
    }
    case ShellTargetKind::kWebAddress: {
      const QUrl url = QUrl::fromEncoded(EscapedAddress(target.Text), QUrl::TolerantMode);
      const QString scheme = url.scheme().toLower();
      if (scheme != u"http" && scheme != u"https") return false;
      return QDesktopServices::openUrl(url);
    }
    case ShellTargetKind::kNone:
      return false;
  }
  return false;
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
