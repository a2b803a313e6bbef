// Tests whether a file's bytes hold the content words of a desktop query. The index holds no
// file contents, so this runs at search time, once per candidate that passed every other test.
//
// The words are looked for in up to four forms, all in the same single pass over the file:
//   1. as typed (GBK bytes);
//   2. converted character by character through the translation table index/Translation.dat
//      (65536 entries of two bytes, one per character code): the second pattern;
//   3. and 4. the UTF-8 spelling of the first and of the second form, since most text files on
//      this platform are UTF-8. A form that spells the same bytes as an earlier one (an ASCII
//      word is one form in both encodings) is searched once; a form that does not convert (bytes
//      that are not GBK) is left out.
// A GBK file matches all that the first two forms find in it, and may match more: the UTF-8
// bytes of a Chinese word are valid GBK too (UTF-8 lead bytes E4..E9 and trail bytes 80..BF
// pair up as GBK characters), so a file that holds the UTF-8 spelling matches whatever it is
// meant to be. No attempt is made to tell the two apart, deliberately: a run of those bytes
// that spells a whole word in UTF-8 reads as unrelated characters in GBK, so such a file is
// almost always UTF-8 text, whose words these forms are here to find.
//
// The scan looks for all forms at once (desktop/FormScan.h); a position counts only when a
// whole form is there byte for byte. The comparison is case-sensitive.
//
// Threads: after Prepare the matcher is read-only; the overload of SearchOpenFile that takes a
// buffer may run on many threads at once, each with its own buffer.
#pragma once

#include <fcntl.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace jollix {

inline constexpr char kTranslationFile[] = "index/Translation.dat";
inline constexpr int kTranslationEntries = 65536;
// Files are read in chunks of this many bytes into one buffer.
inline constexpr size_t kContentChunk = 5242880;

// Results of a file search besides a position.
inline constexpr int64_t kContentNotFound = -1;   // not there, or the file cannot be read
inline constexpr int64_t kContentCancelled = -2;  // the cancel flag was seen between chunks

// hash = hash * 17 + byte over the bytes taken as signed values -128..127, modulo 2^32.
uint32_t ContentHash(std::string_view bytes);

// Opens a path for content reading only when it names a regular file (a symbolic link counts
// when it leads to one). Never blocks: the open is non-blocking, and the type is checked on the
// open descriptor, so a named pipe, socket, device or folder is passed over at once. Returns the
// descriptor or -1; *size (when given) receives the file's size.
int OpenRegularFile(const char* disk_path, int64_t* size = nullptr);
// The same for name relative to the folder descriptor dirfd (or AT_FDCWD).
int OpenRegularFileAt(int dirfd, const char* name, int64_t* size = nullptr);
// The flags OpenRegularFileAt opens with (non-blocking: opening a named pipe for reading would
// otherwise wait for a writer).
inline constexpr int kRegularFileOpen = O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY;

class ContentSearch {
 public:
  ContentSearch();
  ContentSearch(const ContentSearch&) = delete;
  ContentSearch& operator=(const ContentSearch&) = delete;

  // The content words as typed (GBK). Call before Prepare.
  void SetPattern(std::string_view words) { pattern_.assign(words); }

  // Loads index/Translation.dat from the current folder and builds the forms and the skip
  // table. Returns 0. Ends the process when the table cannot be had:
  //   file missing or unreadable       fatal line on standard output, exit -2
  //   fewer than 65536 entries         fatal line on standard output, exit 2
  int Prepare();

  // Builds the forms from a table given in memory (131072 bytes or more). Returns 0, or -1
  // when the table is short.
  int PrepareWith(std::string_view table);

  // Searches the file at a path as the file system spells it (regular files only, see
  // OpenRegularFile). Returns the file position of the last byte of the first n bytes of the
  // first match, or kContentNotFound.
  int64_t SearchFile(const char* disk_path);
  // The same over a file open for reading, read from its start; the file stays open.
  int64_t SearchOpenFile(int fd);
  // The same with a caller's buffer of kContentChunk bytes. When cancel is given it is read
  // before each chunk, so a set flag stops the search within one chunk (kContentCancelled).
  // size, when known (0 or more), is the file's size: the search then reads no further, which
  // spares the read that would only find the end of the file.
  int64_t SearchOpenFile(int fd, unsigned char* buffer, const std::atomic<bool>* cancel,
                         int64_t size = -1) const;

  // The same over text in memory (a document's extracted text): the position in text of the
  // last byte of the first n bytes of the first match, or kContentNotFound.
  int64_t SearchText(std::string_view text) const;

  // The converted pattern (two bytes per character), for inspection.
  const std::string& SecondPattern() const { return second_; }
  // Every form searched, the words as typed first.
  const std::vector<std::string>& Forms() const { return forms_; }

 private:
  // The position in buf of the last byte of the first n bytes of the first match in buf[0, k),
  // or -1. A form must fit before k in full.
  int64_t ScanBuffer(const unsigned char* buf, size_t k) const;
  void AddForm(std::string form);

  std::string pattern_;  // the first pattern: the words as typed
  std::string second_;   // the words through the translation table
  std::vector<std::string> forms_;
  size_t longest_ = 0;  // bytes of the longest form
  std::unique_ptr<unsigned char[]> buffer_;
};

}  // namespace jollix
