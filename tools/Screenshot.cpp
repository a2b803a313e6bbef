// jollix-screenshot OUTPUT.png [desktop|web|music|travel]: the main window, drawn offscreen. It
// makes an installation with a small tree of files in a temp folder, indexes it and opens the
// real window there. desktop (the default) searches for "报告" from the desktop form and selects
// a file; web searches for "天气预报" with the Baidu engine, whose result page a local server
// plays; music and travel show their channel's form. For the README; run it with
// QT_QPA_PLATFORM=offscreen (make screenshot).
#include <stdlib.h>
#include <sys/stat.h>
#include <utime.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "channels/ChannelPane.h"
#include "common/ConfigFile.h"
#include "common/Fatal.h"
#include "common/InstallFolder.h"
#include "common/QtPrompter.h"
#include "indexer/BuildIndex.h"
#include "indexer/ScanDisk.h"
#include "indexer/ScanProgress.h"
#include "results/FileIconList.h"
#include "results/ListResultView.h"
#include "results/ResultTabView.h"
#include "shell/MainFrame.h"
#include "shell/QtShell.h"
#include "testing/HttpTestServer.h"

namespace fs = std::filesystem;

namespace {

// Files of the tree (UTF-8 paths) with their sizes and last-write days.
struct TreeFile {
  const char8_t* path;
  size_t size;
  int day;  // days after 2007-01-01
};

const TreeFile kTree[] = {
    {u8"文档/2007年度工作报告.doc", 48128, 95},
    {u8"文档/市场调研报告.pdf", 1203712, 60},
    {u8"文档/报告模板.dot", 30720, 12},
    {u8"文档/会议纪要.txt", 2048, 80},
    {u8"项目/季度报告/第一季度报告.xls", 88064, 97},
    {u8"项目/季度报告/第二季度报告.xls", 91136, 188},
    {u8"项目/季度报告/报告图表.ppt", 512000, 190},
    {u8"项目/源代码/report.cpp", 7340, 150},
    {u8"照片/西湖风景.jpg", 2355200, 120},
    {u8"音乐/茉莉花.mp3", 4194304, 33},
    {u8"下载/报告生成器.exe", 3670016, 200},
};

void Write(const fs::path& path, size_t size, int day) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << std::string(size, 'x');
  const time_t t = 1167609600 + static_cast<time_t>(day) * 86400 + 9 * 3600 + day * 97;
  struct utimbuf times = {t, t};
  utime(path.c_str(), &times);
}

fs::path MakeInstallation(const fs::path& root) {
  const fs::path install = root / "install", tree = root / "tree";
  fs::create_directories(install / "index");
  const fs::path defaults = jollix::InstallFolder();
  fs::copy_file(defaults / "config.txt", install / "config.txt");
  for (const auto& entry : fs::directory_iterator(defaults / "index")) {
    const std::string name = entry.path().filename().string();
    if (name == "FileType.txt" || name == "Translation.dat" || name.rfind("virtualfile.", 0) == 0)
      fs::copy_file(entry.path(), install / "index" / name);
  }
  for (const TreeFile& f : kTree) {
    Write(tree / reinterpret_cast<const char*>(f.path), f.size, f.day);
  }
  std::ofstream(install / "index/ScanFolder.txt", std::ios::binary)
      << "_" << tree.string() << "\r\n";
  return install;
}

bool Index(const fs::path& install) {
  if (chdir(install.c_str()) != 0) return false;
  jollix::ConsolePrompter prompter;
  jollix::ScanProgress progress;
  jollix::ScanDisk(prompter, progress).Scan();
  jollix::IndexConfig config;
  jollix::ReadConfig(jollix::kConfigFile, &config);
  return jollix::BuildIndex(prompter, config).Build() == 0;
}

// A result page of the Baidu web engine with a few results on the weather.
std::string WeatherResults() {
  struct Result {
    const char* url;
    const char* title;
    const char* abstract;
  } results[] = {
      {"http://www.weather.com.cn/", "中国<b>天气</b>网",
       "全国城市天气预报，提供一周天气、空气质量与生活指数。"},
      {"http://weather.sina.com.cn/", "新浪<b>天气预报</b>",
       "城市天气、景点天气与交通天气，每日更新。"},
      {"http://www.nmc.cn/", "中央气象台", "天气实况、雷达图、卫星云图与台风路径。"},
      {"http://tianqi.example.cn/beijing/", "北京<b>天气预报</b>一周",
       "北京今天多云转晴，北风三到四级。"},
      {"http://tianqi.example.cn/shanghai/", "上海<b>天气预报</b>",
       "上海今天小雨，气温十二到十八度。"},
      {"http://www.example.cn/guide/", "出行<b>天气</b>指南",
       "出行前查看目的地天气，合理安排行程。"},
  };
  std::string page =
      "<html><head><title>百度搜索_天气预报</title></head><body>"
      "<form name=f action=/s><input type=submit value=\"百度一下\"></form>\n";
  for (const Result& r : results) {
    page += std::string("<table border=\"0\" cellpadding=\"0\"><tr><td class=f><a href=\"") +
            r.url + "\" target=\"_blank\"><font size=\"3\">" + r.title +
            "</font></a><br><font size=-1>" + r.abstract + "<br><font color=#008000>" + r.url +
            " 12K</font></font></td></tr></table>\n";
  }
  return page +
         "<div class=\"p\"><a href=\"s?wd=%CC%EC%C6%F8&pn=10\">下一页</a></div>\n"
         "<table cellpadding=0><tr><td>相关搜索</td></tr></table></body></html>";
}

template <typename Done>
bool WaitFor(Done done) {
  for (int i = 0; i < 500 && !done(); ++i) {
    QApplication::processEvents(QEventLoop::AllEvents, 20);
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return done();
}

}  // namespace

int main(int argc, char** argv) {
  using namespace jollix;
  const std::string mode = argc == 3 ? argv[2] : "desktop";
  if (argc < 2 || argc > 3 ||
      (mode != "desktop" && mode != "web" && mode != "music" && mode != "travel")) {
    std::fprintf(stderr, "usage: jollix-screenshot OUTPUT.png [desktop|web|music|travel]\n");
    return 2;
  }
  const fs::path output = fs::absolute(argv[1]);
  char pattern[] = "/tmp/jollix-screenshot-XXXXXX";
  if (!mkdtemp(pattern)) return 1;
  const fs::path root = pattern;
  const fs::path install = MakeInstallation(root);
  if (!Index(install)) {
    std::fprintf(stderr, "jollix-screenshot: the index could not be built\n");
    return 1;
  }
  setenv("JOLLIX_HOME", install.c_str(), 1);

  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("JollixSearch"));
  QtPrompter prompter;
  QtShell shell;
  FileIconList icons;
  CMainFrame frame(prompter, shell, icons, EndProcess);
  if (!frame.Create()) return 1;
  frame.resize(1280, 800);
  frame.show();
  WaitFor([] { return false; });  // let the first layout settle

  if (mode == "desktop") {
    auto* words = frame.findChild<QLineEdit*>("1008");
    auto* button = frame.findChild<QPushButton*>("1017");
    words->setText(QString::fromUtf16(u"报告"));
    button->click();
    CListResultView* page = frame.ResultView()->Page(0);
    WaitFor([&] {
      return page->RowCount() > 1 && button->text() == QString::fromUtf16(u"Jollix桌面搜索");
    });
    page->selectRow(1);  // a file: its details fill the details bar
    page->RefreshDetails();
  }
  // The web page comes from a local server that answers for every site.
  jollix::testing::HttpTestServer server;
  server.Serve("/baidu", jollix::testing::HttpReply::Page(WeatherResults()));
  jollix::testing::ScopedHttpProxy proxy(server);
  if (mode == "web") {
    frame.RunCommand(32821);
    ChannelPane* form = frame.WebForm(1);
    form->findChild<QLineEdit*>()->setText(QString::fromUtf16(u"天气预报"));
    form->Search();
    CListResultView* page = frame.ResultView()->Page(1);
    page->selectRow(0);
    page->RefreshDetails();
  }
  if (mode == "music") frame.RunCommand(32811);
  if (mode == "travel") frame.RunCommand(32897);
  WaitFor([] { return false; });

  const bool saved = frame.grab().save(QString::fromStdString(output.string()));
  std::error_code ec;
  fs::remove_all(root, ec);
  if (!saved) {
    std::fprintf(stderr, "jollix-screenshot: cannot write %s\n", output.c_str());
    return 1;
  }
  std::printf("%s\n", output.c_str());
  return 0;
}
