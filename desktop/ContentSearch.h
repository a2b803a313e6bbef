// Tests whether a file's bytes hold the content words of a desktop query, in two forms: as typed
// (GBK bytes) and converted character by character through the translation table
// index/Translation.dat (65536 entries of two bytes, one per character code). The index holds no
// file contents, so this runs at search time, once per candidate that passed every other test.
//
// The scan is Horspool-like: one skip table built from both patterns lets it jump up to n bytes
// (n = length of the words as typed) over bytes that occur in neither; a window whose last byte
// occurs at the end of a pattern is checked by a 32-bit rolling hash first and then confirmed
// byte by byte, so a hash collision never counts as a find. The comparison is case-sensitive.
//
// One matcher serves one search; it is not shared between threads.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace jollix {

inline constexpr char kTranslationFile[] = "index/Translation.dat";
inline constexpr int kTranslationEntries = 65536;
// Files are read in chunks of this many bytes into one buffer.
inline constexpr size_t kContentChunk = 5242880;

// hash = hash * 17 + byte over the bytes taken as signed values -128..127, modulo 2^32.
uint32_t ContentHash(std::string_view bytes);

class ContentSearch {
 public:
  ContentSearch();
  ContentSearch(const ContentSearch&) = delete;
  ContentSearch& operator=(const ContentSearch&) = delete;

  // The content words as typed (GBK). Call before Prepare.
  void SetPattern(std::string_view words) { pattern_.assign(words); }

  // Loads index/Translation.dat from the current folder and builds both patterns, the skip table
  // and the hashes. Returns 0. Ends the process when the table cannot be had:
  //   file missing or unreadable       fatal line on standard output, exit -2
  //   fewer than 65536 entries         fatal line on standard output, exit 2
  int Prepare();

  // Builds the patterns from a table given in memory (131072 bytes or more). Returns 0, or -1
  // when the table is short.
  int PrepareWith(std::string_view table);

  // Searches the file at a path as the file system spells it. Returns the file position of the
  // last byte of the first match, or -1 when the words do not occur or the file cannot be read.
  int64_t SearchFile(const char* disk_path);
  // The same over a file open for reading, read from its start; the file stays open.
  int64_t SearchOpenFile(int fd);

  // The converted pattern (two bytes per character), for inspection.
  const std::string& SecondPattern() const { return second_; }

 private:
  // The position in buf of the last byte of the first match in buf[0, k), or -1. A match of
  // the converted pattern must fit before k in full.
  int64_t ScanBuffer(const unsigned char* buf, size_t k) const;
  bool MatchesAt(const unsigned char* buf, size_t k, size_t p) const;

  std::string pattern_;  // the first pattern: the words as typed
  std::string second_;   // the words through the translation table
  size_t skip_[256] = {};
  uint32_t first_hash_ = 0;
  uint32_t second_hash_ = 0;
  std::unique_ptr<unsigned char[]> buffer_;
};

}  // namespace jollix
