// config.txt: the index schedule and the two version-server addresses, four lines of
// "key TAB value" read by both programs and rewritten whole by whoever changes a value.
#pragma once

#include <string>

namespace jollix {

inline constexpr char kConfigFile[] = "config.txt";

// Values of UpdateFrequency offered to the user.
inline constexpr int kUpdateEveryStart = 0;
inline constexpr int kUpdateDaily = 86400;
inline constexpr int kUpdateWeekly = 604800;
inline constexpr int kUpdateMonthly = 2592000;

struct IndexConfig {
  int UpdateFrequency = 0;  // seconds between index runs
  int LastIndexTime = 0;    // seconds since 1970 of the last finished run; 0 forces a rebuild
  char FirstServerAddress[100] = {};
  char SecondServerAddress[100] = {};
};

enum class LineEnd { kLf, kCrLf };

// Reads the four values in order. Reading stops at the first line that does not match its key
// and form; that value and all after it keep what *config held before. Returns false when the
// file cannot be opened (then *config is untouched).
bool ReadConfig(const char* path, IndexConfig* config);

// The four lines as the file holds them, with the given line ends.
std::string FormatConfig(const IndexConfig& config, LineEnd line_end);

// Rewrites the file whole with the given line ends, never leaving it half-written (see
// WriteFileAtomically). Returns false when it cannot be written whole; the old file then stays.
bool WriteConfig(const char* path, const IndexConfig& config, LineEnd line_end);

}  // namespace jollix
