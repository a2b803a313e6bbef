// jollix find: the desktop search form on the terminal. The options play the form's fields, the
// rows of the result page are printed one per line.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "cli/Command.h"
#include "cli/ConsolePorts.h"
#include "common/Fatal.h"
#include "common/Gbk.h"
#include "common/InstallFolder.h"
#include "common/LocalTime.h"
#include "common/Prompter.h"
#include "desktop/QueryRules.h"
#include "desktop/SearchServer.h"

namespace jollix::cli {
namespace {

constexpr int kRefused = 1;
constexpr int kColumns = 6;

const char kUsage[] =
    "usage: jollix find [OPTIONS] [WORDS ...]\n"
    "\n"
    "Searches the desktop index for files whose names hold all WORDS (in any order, letter case\n"
    "ignored), as the desktop search form does. Run 'jollix index' first to build the index.\n"
    "\n"
    "options:\n"
    "  --content TEXT   the files must contain TEXT (case kept); only text files are searched\n"
    "  --folder DIR     search only below DIR (a plain prefix of the folder, case ignored)\n"
    "  --tab TAB        all (default), text, picture, media or binary: the types of that tab,\n"
    "                   all of them checked; with no WORDS and no --content 'all' is refused\n"
    "  --from DATE      last written on or after DATE (YYYY-MM-DD, a whole local day;\n"
    "                   default 1970-01-01 00:00:00 UTC)\n"
    "  --to DATE        last written on or before DATE, up to its last local second\n"
    "                   (default: now)\n"
    "  --size SIZE      any (default), lt1m (below 1 MiB), 1m-100m or gt100m\n"
    "  --pinyin         a word of Latin letters also finds Chinese names it spells in pinyin,\n"
    "                   each character by its whole syllable or its first letter, ü as v\n"
    "                   (ndbg, nianduBaogao and baog all find 年度报告.docx)\n"
    "  --paths          print only each hit's full path, one a line, as the file system spells\n"
    "                   it (for scripts and xargs); no line when nothing is found\n"
    "  -0               with --paths (which it implies), end each path with a NUL byte\n"
    "  --help           this text\n"
    "\n"
    "Each row is printed as one line, the columns separated by a TAB: name, folder, size in\n"
    "bytes, type description, last-write time, type number. Times are local, by the TZ rules of\n"
    "the C library, as the file manager shows them. A search without a hit prints\n"
    "the single row \"搜索完毕，没有结果可显示\". Messages go to standard error.\n"
    "\n"
    "exit status: 0 the search ran, 1 the query was refused or there is no usable index (none,\n"
    "or a damaged one: 'jollix index --now' rebuilds it),\n"
    "2 a usage error, another code when the system ended the process.\n"
    "\n"
    "examples:\n"
    "  jollix find report 2007\n"
    "  jollix find --pinyin ndbg\n"
    "  jollix find --tab text --content 合同 --folder ~/Documents\n"
    "  jollix find --tab picture --size gt100m --from 2007-01-01 --to 2007-12-31\n"
    "  jollix find -0 --content 合同 | xargs -0 ls -l\n";

// The refusal of an index that is there but damaged, with the way to mend it.
int RefuseDamagedIndex() {
  std::fprintf(stderr,
               "jollix find: the index is damaged and cannot be searched; rebuild it with "
               "'jollix index --now'.\n");
  return kRefused;
}

int UsageError(const char* format, const char* what) {
  std::fprintf(stderr, "jollix find: ");
  std::fprintf(stderr, format, what);
  std::fprintf(stderr, "\n'jollix find --help' explains the options.\n");
  return kUsageError;
}

// The first and last second of a YYYY-MM-DD local day, cut to the unsigned 32-bit times the
// records hold (east of Greenwich 1970-01-01 begins before 0); false for a day outside them.
bool ParseDay(const char* text, int64_t* start, int64_t* end) {
  if (!ParseLocalDay(text, start, end)) return false;
  if (*end < 0 || *start > 0xFFFFFFFFll) return false;
  *start = std::max<int64_t>(*start, 0);
  *end = std::min<int64_t>(*end, 0xFFFFFFFFll);
  return true;
}

int TabOf(const char* name) {
  static const char* const kTabs[kDesktopTabCount] = {"all", "text", "picture", "media", "binary"};
  for (int tab = 0; tab < kDesktopTabCount; ++tab) {
    if (!std::strcmp(name, kTabs[tab])) return tab;
  }
  return -1;
}

const char* SizeTextOf(const char* name) {
  static const char* const kSizes[4] = {"any", "lt1m", "1m-100m", "gt100m"};
  for (int i = 0; i < 4; ++i) {
    if (!std::strcmp(name, kSizes[i])) return kSizeClasses[i].Text;
  }
  return nullptr;
}

// A folder given on the command line, absolute from the caller's folder, in GBK.
std::string QueryFolder(const char* dir) {
  namespace fs = std::filesystem;
  std::string path = dir;
  if (!path.empty() && path[0] != '/') {
    std::error_code ec;
    path = (fs::current_path(ec) / fs::path(dir)).lexically_normal().string();
  }
  return FileNameToGbk(path);
}

struct Options {
  FileSearchFields Fields;
  bool Help = false;
  bool Paths = false;  // print full paths only
  char PathEnd = '\n';
};

// Reads the arguments into the form's fields; returns 0 or the usage error status.
int ParseArguments(int argc, char** argv, Options* options) {
  FileSearchFields& f = options->Fields;
  f.TimeFrom = 0;
  f.TimeTo = std::time(nullptr);
  std::vector<std::string> words;
  bool options_end = false;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (!options_end && arg == "-0") {
      options->Paths = true;
      options->PathEnd = '\0';
      continue;
    }
    if (options_end || arg.size() < 2 || arg.compare(0, 2, "--") != 0) {
      words.push_back(arg);
      continue;
    }
    if (arg == "--") {
      options_end = true;
      continue;
    }
    if (arg == "--help" || arg == "-h") {
      options->Help = true;
      return 0;
    }
    if (arg == "--paths") {
      options->Paths = true;
      continue;
    }
    if (arg == "--pinyin") {
      f.Pinyin = true;
      continue;
    }
    std::string name = arg, value;
    bool has_value = false;
    if (size_t eq = arg.find('='); eq != std::string::npos) {
      name = arg.substr(0, eq);
      value = arg.substr(eq + 1);
      has_value = true;
    }
    static const char* const kValued[] = {"--content", "--folder", "--tab",
                                          "--from",    "--to",     "--size"};
    bool known = false;
    for (const char* v : kValued) known = known || name == v;
    if (!known) return UsageError("unknown option '%s'", arg.c_str());
    if (!has_value) {
      if (i + 1 >= argc) return UsageError("option '%s' needs a value", name.c_str());
      value = argv[++i];
    }
    if (name == "--content") {
      f.ContentWords = FileNameToGbk(value);
    } else if (name == "--folder") {
      f.Folder = QueryFolder(value.c_str());
    } else if (name == "--tab") {
      f.Class = TabOf(value.c_str());
      if (f.Class < 0) return UsageError("unknown tab '%s'", value.c_str());
    } else if (name == "--size") {
      const char* text = SizeTextOf(value.c_str());
      if (!text) return UsageError("unknown size class '%s'", value.c_str());
      f.SizeText = text;
    } else if (name == "--from" || name == "--to") {
      int64_t start, end;
      if (!ParseDay(value.c_str(), &start, &end)) {
        return UsageError("bad date '%s'", value.c_str());
      }
      if (name == "--from") {
        f.TimeFrom = start;
      } else {
        f.TimeTo = end;
      }
    }
  }
  std::string joined;
  for (const std::string& w : words) joined += (joined.empty() ? "" : " ") + w;
  f.NameWords = FileNameToGbk(joined);
  return 0;
}

int FindMain(int argc, char** argv) {
  SetConsoleUtf8(true);
  SetConsoleToStderr(true);
  Options options;
  if (int status = ParseArguments(argc, argv, &options)) return status;
  if (options.Help) {
    std::fputs(GbkToUtf8Lossy(kUsage).c_str(), stdout);
    return 0;
  }
  ConsolePrompter prompter;
  if (!EnterInstallFolder()) {
    prompter.Ask("转移到搜索目录失败", nullptr, PromptButtons::kOk);
    return kRefused;
  }
  ConsoleIconList icons;
  SearchServer engine(prompter, icons);
  if (engine.IndexDamaged()) return RefuseDamagedIndex();
  if (engine.IndexUnavailable()) {
    std::fprintf(stderr, "jollix find: there is no usable index; run 'jollix index' first.\n");
    return kRefused;
  }
  FileSearchFields& fields = options.Fields;
  for (const FileTypeLine& row : TabFileTypes(fields.Class, prompter)) {
    fields.CheckedExtensions.push_back(row.Extension);
  }
  if (HandOverQuery(fields, engine, prompter) != QueryVerdict::kAccepted) return kRefused;
  // Rows are printed as the search adds them: the size column without its padding, or each
  // hit's full path. A search without a hit adds only the no-result row, which paths leave out.
  static char out_buffer[1 << 16];
  std::setvbuf(stdout, out_buffer, _IOFBF, sizeof out_buffer);
  ConsoleStreamPage rows = options.Paths ? ConsoleStreamPage(kColumns, stdout, options.PathEnd)
                                         : ConsoleStreamPage(kColumns, stdout, 2);
  const int status = engine.Search(rows);
  // A list that the search read showed the damage.
  if (engine.IndexDamaged()) return RefuseDamagedIndex();
  rows.Finish(!options.Paths || status != 0 || engine.Count() > 0);
  return 0;
}

}  // namespace

JOLLIX_COMMAND("find", "search the desktop index by name, type, folder, date, size, content",
               FindMain);

}  // namespace jollix::cli
