// index/ScanFolder.txt: the folders to index, one "marker path" line each. '_' marks a folder
// to scan again at the next run, '#' one whose last scan result is kept; other lines are ignored.
#pragma once

#include <string>
#include <vector>

namespace jollix {

inline constexpr char kScanFolderFile[] = "index/ScanFolder.txt";
inline constexpr int kMaxScanFolders = 100;
// Line buffer of the indexer: marker, path and line end together take at most 299 bytes.
inline constexpr size_t kScanFolderLineBuffer = 300;

inline constexpr char kRescanMarker = '_';
inline constexpr char kKeepMarker = '#';

struct ScanFolderEntry {
  char Marker = 0;   // '_', '#' or any other byte (ignored)
  std::string Path;  // GBK text after the marker, cut at the first CR or LF
};

// Reads at most the first 100 lines in file order; entry i is line i (its slot). A line longer
// than the buffer is ignored whole (marker 0), so its tail is never taken for a line of its own.
// Returns false when the file cannot be opened.
bool ReadScanFolders(const char* path, std::vector<ScanFolderEntry>* entries);

// The file's text: one "marker path" line per entry, CR LF line ends.
std::string FormatScanFolders(const std::vector<ScanFolderEntry>& entries);

// Rewrites the file with FormatScanFolders, never leaving it half-written
// (WriteFileAtomically). Returns false when it cannot be written whole; the old file then stays.
bool WriteScanFolders(const char* path, const std::vector<ScanFolderEntry>& entries);

// First set-up of an installation: when the file does not exist, writes it with the user's home
// folder ($HOME, else the password database's entry) marked for scanning. Returns false only
// when it was missing and could not be written.
bool EnsureScanFolders(const char* path);

}  // namespace jollix
