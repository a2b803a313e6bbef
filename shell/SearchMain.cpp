// JollixSearch: the main window program. Without a display it says that it needs one and
// points to the terminal front end, which searches the same index.
#include <sys/stat.h>

#include <QApplication>
#include <QScreen>
#include <cstdio>
#include <string>

#include "common/Display.h"
#include "common/Fatal.h"
#include "common/Gbk.h"
#include "common/InstallFolder.h"
#include "common/QtPrompter.h"
#include "desktop/CommandLineFolder.h"
#include "results/FileIconList.h"
#include "shell/MainFrame.h"
#include "shell/QtShell.h"

namespace {

int SayDisplayIsNeeded() {
  const std::string jollix = jollix::ProgramFolder() + "/jollix";
  std::string text =
      "JollixSearch 是图形界面程序，需要显示器（没有设置 DISPLAY 或 WAYLAND_DISPLAY）。\n"
      "在终端里可以用 jollix 搜索同一个索引，例如：\n";
  std::fputs(jollix::GbkToUtf8Lossy(text).c_str(), stderr);
  std::fprintf(stderr, "  %s find WORDS\n  %s --help\n", jollix.c_str(), jollix.c_str());
  return 1;
}

// The folder given after the program on the command line, for the desktop form; a file name
// there is ignored.
QString CommandLineFolder(int argc, char** argv) {
  struct stat st;
  if (argc < 2 || stat(argv[1], &st) != 0 || !S_ISDIR(st.st_mode)) return {};
  return jollix::QStringFromGbk(jollix::FolderFromArguments(argc, argv));
}

}  // namespace

int main(int argc, char** argv) {
  using namespace jollix;
  if (!HasDisplay()) return SayDisplayIsNeeded();
  SetConsoleUtf8(true);  // the system's lines reach a terminal readable
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("JollixSearch"));
  const QString folder = CommandLineFolder(argc, argv);  // before the program changes folders
  QtPrompter prompter;
  QtShell shell;
  FileIconList icons;
  CMainFrame frame(prompter, shell, icons, EndProcess);
  if (!frame.Create()) return 1;
  frame.SetCommandLineFolder(folder);
  // Maximised also where no window manager would do it.
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    frame.setGeometry(screen->availableGeometry());
  }
  frame.showMaximized();
  return app.exec();
}
