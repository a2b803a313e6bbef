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

}  // namespace jollix
