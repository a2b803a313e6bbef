// JollixIndexer: one index run, then the process ends (exit codes in IndexRun.h and the units
// of the run). With a display it shows only a notification-area icon, with the progress dialog
// on demand; without one it works headless and writes a progress line every 2000 ms to
// standard error.
#include <QApplication>
#include <thread>

#include "common/Display.h"
#include "common/Fatal.h"
#include "common/InstallFolder.h"
#include "common/QtPrompter.h"
#include "indexer/IndexRun.h"
#include "indexer/IndexerDialog.h"

int main(int argc, char** argv) {
  using namespace jollix;
  if (!EnterInstallFolder()) EndProcess(-1);
  ScanProgress& progress = TheScanProgress();
  if (!HasDisplay()) {
    ConsolePrompter prompter;
    EndProcess(RunWithProgressLines(prompter, progress, stderr));
  }

  QApplication app(argc, argv);
  QApplication::setApplicationDisplayName(QString::fromUtf16(u"Jollix超级搜索桌面索引器"));
  QApplication::setQuitOnLastWindowClosed(false);
  QtPrompter prompter;
  CIndexerDialog dialog(progress, prompter, EndProcess);
  std::thread([&] { RunIndexWork(prompter, progress); }).detach();
  dialog.exec();
  EndProcess(kQuitExitCode);
}
