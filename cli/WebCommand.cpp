// jollix web CHANNEL ENGINE [--type N] [--format N] [--to TEXT] QUERY ...
//
// Runs one search of a web channel with console ports and prints the rows of the page it fills,
// one UTF-8 line per row, columns separated by TABs in the page's column order; status texts
// and messages go to standard error. An engine that opens the browser prints the URL instead.
// Requests go to the sites of the host table, through http_proxy when it is set.
//
// A channel is one entry of kChannels: its channel object, the result pages its engine tabs
// show, and whether the engine is chosen on the form itself (the result view then shows the
// chosen source's page alone).
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "channels/DocSearch.h"
#include "channels/EducationSearch.h"
#include "channels/MusicSearch.h"
#include "channels/NewsSearch.h"
#include "channels/SearchAction.h"
#include "channels/SearchState.h"
#include "channels/SoftwareSearch.h"
#include "channels/TravelSearch.h"
#include "channels/WebPageSearch.h"
#include "cli/Command.h"
#include "cli/ConsolePorts.h"
#include "common/Gbk.h"
#include "common/Prompter.h"

namespace jollix::cli {
namespace {

// Columns of the 26 result pages, by result type.
constexpr int kPageColumns[] = {6, 3, 3, 3, 3, 4, 4, 4, 5,  5, 5, 6, 6,
                                3, 3, 1, 1, 6, 6, 6, 1, 11, 5, 4, 6, 1};

template <class C>
Channel& Instance() {
  static C channel;
  return channel;
}

struct ChannelEntry {
  const char* name;
  Channel& (*channel)();
  std::vector<int> pages;  // result types at the tab positions (engines), or of the form's tabs
  bool form_tabs;          // the engine is the form's own tab (education, travel)
};

const ChannelEntry kChannels[] = {
    {"web", Instance<WebPageChannel>, {1, 2, 3}, false},
    {"news", Instance<NewsChannel>, {5, 6}, false},
    {"doc", Instance<DocChannel>, {8, 9, 10}, false},
    {"music", Instance<MusicChannel>, {11, 12}, false},
    {"software", Instance<SoftwareChannel>, {17, 18, 19}, false},
    {"travel", Instance<TravelChannel>, {20, 21, 22, 25}, true},
    {"edu", Instance<EducationChannel>, {13, 14, 15, 16}, true},
};

void PrintUsage(FILE* out) {
  std::fprintf(out,
               "usage: jollix web CHANNEL ENGINE [--type N] [--format N] [--to TEXT] QUERY ...\n"
               "\n"
               "Searches the web with one engine of a channel and prints the result rows, one\n"
               "line each, columns separated by TABs. Status texts go to standard error.\n"
               "\n"
               "  CHANNEL     ");
  for (const ChannelEntry& c : kChannels) std::fprintf(out, "%s ", c.name);
  std::fprintf(out,
               "\n"
               "  ENGINE      the engine's tab index (0, 1, ...); travel and edu: the form's tab\n"
               "              (travel: 0 weather, 1 trains, 2 flights, 3 phone number;\n"
               "              edu: 0 papers, 1 classics, 2 idioms, 3 dictionary)\n"
               "  --type N    documents: 0 all, 1 doc, 2 pdf, 3 xls, 4 ppt, 5 rtf\n"
               "  --format N  music: -1 all, 0 mp3, 1 rm, 2 wma\n"
               "  --to TEXT   travel: the second field (arrival city)\n"
               "\n"
               "Requests go through http_proxy when it is set.\n");
}

bool ParseInt(const char* text, int* value) {
  char* end = nullptr;
  long v = std::strtol(text, &end, 10);
  if (!*text || *end || v < -1000000 || v > 1000000) return false;
  *value = static_cast<int>(v);
  return true;
}

bool ToGbk(const std::string& utf8, std::string* gbk) {
  if (Utf8ToGbk(utf8, gbk)) return true;
  std::fprintf(stderr, "jollix web: the text is not valid UTF-8\n");
  return false;
}

int Usage(const char* problem) {
  std::fprintf(stderr, "jollix web: %s\n\n", problem);
  PrintUsage(stderr);
  return kUsageError;
}

int WebMain(int argc, char** argv) {
  if (argc >= 2 && (!std::strcmp(argv[1], "--help") || !std::strcmp(argv[1], "-h"))) {
    PrintUsage(stdout);
    return 0;
  }
  if (argc < 3) return Usage("a channel and an engine are needed");
  const ChannelEntry* entry = nullptr;
  for (const ChannelEntry& c : kChannels) {
    if (!std::strcmp(argv[1], c.name)) entry = &c;
  }
  if (!entry) return Usage("unknown channel");
  int engine = 0;
  if (!ParseInt(argv[2], &engine) || engine < 0) return Usage("the engine is a tab index");

  SearchForm form;
  std::string query;
  bool options = true;
  for (int i = 3; i < argc; ++i) {
    std::string arg = argv[i];
    if (options && arg == "--") {
      options = false;
    } else if (options && (arg == "--type" || arg == "--format")) {
      if (i + 1 >= argc ||
          !ParseInt(argv[i + 1], arg == "--type" ? &form.file_type : &form.format)) {
        return Usage("--type and --format take a number");
      }
      ++i;
    } else if (options && arg == "--to") {
      if (i + 1 >= argc) return Usage("--to takes a text");
      if (!ToGbk(argv[++i], &form.second_query)) return kUsageError;
    } else {
      if (!query.empty()) query += ' ';
      query += arg;
    }
  }
  if (!ToGbk(query, &form.query)) return kUsageError;

  std::vector<int> columns;
  int selected = engine;
  if (entry->form_tabs) {
    if (engine >= static_cast<int>(entry->pages.size())) return Usage("no such tab");
    form.tab = engine;
    columns.push_back(kPageColumns[entry->pages[engine]]);
    selected = 0;
  } else {
    for (int type : entry->pages) columns.push_back(kPageColumns[type]);
  }
  if (engine < static_cast<int>(entry->pages.size())) ResultType = entry->pages[engine];

  ConsoleStatusLine status;
  ConsolePrompter prompter;
  ConsoleShell shell;
  ConsoleResultTabs tabs(columns, selected);
  ConsoleIconList icons;
  SearchPorts ports{&status, &prompter, &shell, &tabs, &icons};
  SetGoogleWebTrace(nullptr);  // standard output holds the rows only

  switch (RunSearch(entry->channel(), form, ports)) {
    case SearchOutcome::kShown:
      if (form.current_list) static_cast<ConsoleResultPage*>(form.current_list)->Print(stdout);
      return 0;
    case SearchOutcome::kOpenedInBrowser:
      return 0;
    case SearchOutcome::kRefused:
    case SearchOutcome::kFetchFailed:
      return 1;
  }
  return 1;
}

}  // namespace

JOLLIX_COMMAND("web", "search the web with one engine of a channel and print the rows", WebMain);

}  // namespace jollix::cli
