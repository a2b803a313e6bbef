// Small helpers for the plain files of the installation folder. Every file is opened in binary
// mode, so line ends are exactly the bytes written.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <cstdio>
#include <string>

namespace jollix {

// Reads a whole file. Returns false when it cannot be opened or read.
bool ReadWholeFile(const char* path, std::string* content);

// Writes a whole file (truncating). Returns false unless every byte was written.
bool WriteWholeFile(const char* path, const std::string& content);

// Replaces a file so that it is never left half-written: the content goes to a new file in the
// same folder, which is then renamed over the old one. A reader sees the old file or the whole
// new one; after a failure (the folder or an existing file cannot be written, the disk is full)
// the old file is untouched and the new one removed. An existing file keeps its permissions; a
// file that exists but cannot be written is not replaced, as an in-place write would fail.
// Returns false on any failure.
bool WriteFileAtomically(const char* path, const std::string& content);

// The two halves of WriteFileAtomically, for saves that replace several files together: Write
// prepares the new file beside the old one, Commit renames it over the old one. Nothing of the
// old file changes before Commit; an object destroyed before Commit removes what it prepared.
class FileReplacement {
 public:
  FileReplacement() = default;
  ~FileReplacement();
  FileReplacement(const FileReplacement&) = delete;
  FileReplacement& operator=(const FileReplacement&) = delete;

  // False when the new file could not be written whole.
  bool Write(const char* path, const std::string& content);
  // False when nothing was prepared or the rename failed (the old file then stays).
  bool Commit();

 private:
  void Discard();

  std::string path_, temp_;
};

// Closes a file that was written; false when any earlier write or the close itself failed, so
// that a full disk is never reported as success.
bool CloseWritten(FILE* f);

// Reads one line as fgets does: at most size - 1 bytes, up to and including the LF. A line
// longer than that is left for the next call. Returns the byte count, 0 at the end of the file.
size_t ReadLine(FILE* f, char* buffer, size_t size);

// Reads up to size bytes at offset of an open file, retrying short and interrupted reads, so
// that fewer come back only at the end of the file or after an error. Returns the byte count,
// -1 when an error came before any byte.
ssize_t ReadAt(int fd, void* buffer, size_t size, uint64_t offset);

// Writes size bytes at the descriptor's position, retrying short and interrupted writes.
// Returns false unless every byte was written.
bool WriteAll(int fd, const void* bytes, size_t size);

}  // namespace jollix
