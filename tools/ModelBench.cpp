// jollix-model-bench: the result list of the desktop page under a large search, for bench/model.
//
// Fills ROWS desktop-like rows (Chinese and ASCII names, folders, padded sizes, type texts,
// times, type numbers, row data) from a worker thread through the ResultPage port of a shown
// CListResultView, exactly as the desktop search adds its rows, and measures on the
// user-interface thread: the longest time between two turns of its event loop while the rows
// arrive (a 0 ms timer), the time until the window knows every row, the heap the rows take beyond
// their texts (mallinfo2 before and after, which sums every malloc arena), the time of a header
// click on each column (median of RUNS), and the time to read every shown cell of every page
// while paging down (what painting asks of the model). Prints one line "name value" per figure.
#include <malloc.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QScrollBar>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "common/LocalTime.h"
#include "results/FileIconList.h"
#include "results/ListResultView.h"
#include "results/ResultListModel.h"

namespace jollix {
namespace {

constexpr int kColumns = 6;

struct Rows {
  std::vector<std::string> cells;  // kColumns per row
  std::vector<std::string> paths;  // the full path of each row, for its icon
  size_t text_bytes = 0;
};

// Names and folders like a user's home: a third Chinese, extensions from common types.
Rows MakeRows(int count) {
  static const char* const kWords[] = {"report", "照片", "notes",   "合同", "track", "会议记录",
                                       "backup", "项目", "invoice", "简历", "draft", "旅行"};
  static const char* const kExtensions[] = {".txt", ".doc", ".jpg", ".pdf", ".mp3", ".cpp", ""};
  static const char* const kTypes[] = {"文本文件", "文档",   "图片",        "文档",
                                       "音乐",     "源代码", "未知文件类型"};
  std::mt19937 random(17);
  std::vector<std::string> folders;
  for (int i = 0; i < 5000; ++i) {
    std::string folder = "/home/user/";
    for (int depth = 0; depth < 1 + i % 4; ++depth) {
      folder += kWords[random() % 12];
      folder += std::to_string(random() % 100) + "/";
    }
    folders.push_back(folder);
  }
  Rows rows;
  rows.cells.reserve(static_cast<size_t>(count) * kColumns);
  for (int i = 0; i < count; ++i) {
    const int kind = static_cast<int>(random() % 7);
    const bool folder = random() % 10 == 0;
    std::string name = kWords[random() % 12];
    name += std::to_string(random() % 10000);
    if (!folder) name += kExtensions[kind];
    char size[32], type[16];
    std::snprintf(size, sizeof size, "%12u",
                  folder ? 0u : static_cast<unsigned>(random() % 50000000));
    std::snprintf(type, sizeof type, "%d", folder ? 0 : kind + 1);
    const std::string& where = folders[random() % folders.size()];
    rows.paths.push_back(where + name);
    rows.cells.push_back(name);
    rows.cells.push_back(where);
    rows.cells.push_back(size);
    rows.cells.push_back(folder ? "文件夹" : kTypes[kind]);
    rows.cells.push_back(FormatLocalTime(1500000000 + static_cast<int64_t>(random() % 300000000)));
    rows.cells.push_back(type);
  }
  for (const std::string& cell : rows.cells) rows.text_bytes += cell.size();
  return rows;
}

size_t HeapInUse() {
  const struct mallinfo2 info = mallinfo2();
  return info.uordblks + info.hblkhd;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

double ThreadCpuMs() {
  timespec now;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

// Adds every row from a worker as the desktop search does, and runs the event loop until the
// window knows them all. Prints the longest gap between turns of the loop and the arrival time.
void Fill(CListResultView& page, FileIconList& icons, const Rows& rows, int count) {
  QElapsedTimer clock;
  double longest_gap = 0, last = 0, longest_cpu_gap = 0, last_cpu = ThreadCpuMs();
  int turns = 0;
  QTimer ticker;
  ticker.setInterval(0);
  QObject::connect(&ticker, &QTimer::timeout, [&] {
    const double now = clock.nsecsElapsed() / 1e6;
    longest_gap = std::max(longest_gap, now - last);
    last = now;
    const double cpu = ThreadCpuMs();
    longest_cpu_gap = std::max(longest_cpu_gap, cpu - last_cpu);
    last_cpu = cpu;
    ++turns;
  });
  clock.start();
  ticker.start();
  std::thread worker([&] {
    page.DeleteAllRows();
    for (int i = 0; i < count; ++i) {
      const std::string* cell = &rows.cells[static_cast<size_t>(i) * kColumns];
      const int icon = icons.AddIconOf(rows.paths[i].c_str());
      const int row = page.InsertRow(i, cell[0].c_str(), icon);
      for (int c = 1; c < kColumns; ++c) page.SetCell(row, c, cell[c].c_str());
      page.SetRowData(row, static_cast<int64_t>(i) * 97);
    }
  });
  double worker_done = 0;
  while (page.model()->rowCount() < count) {
    QApplication::processEvents(QEventLoop::AllEvents, 50);
    if (worker_done == 0 && page.RowCount() == count) worker_done = clock.nsecsElapsed() / 1e6;
  }
  const double arrived = clock.nsecsElapsed() / 1e6;
  worker.join();
  ticker.stop();
  std::printf("longest_gap_cpu_ms %.1f\n", longest_cpu_gap);
  std::printf("arrival_ms %.0f\nworker_ms %.0f\nlongest_gap_ms %.1f\nloop_turns %d\n", arrived,
              worker_done > 0 ? worker_done : arrived, longest_gap, turns);
}

// A header click on each column, RUNS times (the page's flag alternates the direction): the wall
// time and the user-interface thread's processor time (the machine may be shared), medians.
void SortEachColumn(CListResultView& page, int runs) {
  for (int c = 0; c < kColumns; ++c) {
    std::vector<double> times, cpu;
    for (int r = 0; r < runs; ++r) {
      QElapsedTimer clock;
      clock.start();
      const double cpu_start = ThreadCpuMs();
      page.SortByColumn(c);
      QApplication::processEvents();
      times.push_back(clock.nsecsElapsed() / 1e6);
      cpu.push_back(ThreadCpuMs() - cpu_start);
    }
    std::printf("sort_ms_column%d %.0f\nsort_cpu_ms_column%d %.0f\n", c, Median(times), c,
                Median(cpu));
  }
}

// Pages down through the whole list; on each page reads every cell the viewport shows, as
// painting does (text, alignment, and the icon of the first column).
void ScrollThrough(CListResultView& page) {
  QAbstractItemModel* model = page.model();
  const int visible =
      std::max(1, page.viewport()->height() / page.verticalHeader()->defaultSectionSize());
  const int count = model->rowCount();
  QElapsedTimer clock;
  clock.start();
  const double cpu_start = ThreadCpuMs();
  size_t chars = 0;
  int pages = 0;
  for (int top = 0; top < count; top += visible, ++pages) {
    page.verticalScrollBar()->setValue(top);
    for (int r = top; r < std::min(count, top + visible); ++r) {
      for (int c = 0; c < kColumns; ++c) {
        const QModelIndex index = model->index(r, c);
        chars += model->data(index, Qt::DisplayRole).toString().size();
        model->data(index, Qt::TextAlignmentRole);
        if (c == 0) model->data(index, Qt::DecorationRole);
      }
    }
  }
  const double total = clock.nsecsElapsed() / 1e6;
  std::printf("scroll_cpu_ms %.0f\n", ThreadCpuMs() - cpu_start);
  std::printf("scroll_pages %d\nscroll_rows_per_page %d\nscroll_ms %.0f\nscroll_us_per_page %.1f\n",
              pages, visible, total, total * 1000 / pages);
  if (chars == 0) std::printf("scroll_read_nothing 1\n");
  // A few real repaints of a page, for the cost of painting beside that of the model.
  std::vector<double> paints;
  for (int i = 0; i < 50; ++i) {
    page.verticalScrollBar()->setValue(static_cast<int>((static_cast<int64_t>(count) * i) / 50));
    QElapsedTimer one;
    one.start();
    page.viewport()->repaint();
    paints.push_back(one.nsecsElapsed() / 1e6);
  }
  std::printf("paint_ms_per_page %.2f\n", Median(paints));
}

int Run(int count, int runs, const char* screenshot) {
  const Rows rows = MakeRows(count);
  FileIconList icons;
  ResultListContext context;
  context.icons = &icons;
  CListResultView page(0, context);
  page.resize(1000, 700);
  page.show();
  page.ApplyColumnWidths(1000);
  QApplication::processEvents();
  malloc_trim(0);
  const size_t before = HeapInUse();
  Fill(page, icons, rows, count);
  QApplication::processEvents();
  malloc_trim(0);
  const size_t after = HeapInUse();
  std::printf("rows %d\ntext_bytes_per_row %.1f\nheap_bytes_per_row %.1f\n", count,
              static_cast<double>(rows.text_bytes) / count,
              (static_cast<double>(after) - static_cast<double>(before)) / count);
  std::printf("bytes_per_row_beyond_texts %.1f\n",
              (static_cast<double>(after) - static_cast<double>(before) -
               static_cast<double>(rows.text_bytes)) /
                  count);
  SortEachColumn(page, runs);
  if (screenshot) page.grab().save(screenshot);
  ScrollThrough(page);
  if (page.RowCount() != count || page.model()->rowCount() != count) return 1;
  return 0;
}

}  // namespace
}  // namespace jollix

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const int count = argc > 1 ? std::atoi(argv[1]) : 500000;
  const int runs = argc > 2 ? std::atoi(argv[2]) : 3;
  return jollix::Run(count, runs, argc > 3 ? argv[3] : nullptr);
}
