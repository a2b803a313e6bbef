// Formatted input over a byte string, with the rules of the C library's scanf family, which the
// settings files were written to be read by:
//   - a white-space byte in the format matches any run of white space in the input, also none;
//   - "%d" skips white space, then reads an optional sign and at least one decimal digit;
//   - "%s" skips white space, then reads a run of non-blank bytes, at most capacity - 1 of them;
//   - every other format byte must equal the next input byte.
// Reading stops at the first mismatch; targets after it are left untouched, so they keep
// whatever the caller had in them.
#pragma once

#include <cstddef>
#include <initializer_list>
#include <string_view>

namespace jollix {

struct ScanTarget {
  ScanTarget(int* n) : number(n) {}  // NOLINT: implicit by design, as scanf's arguments
  template <size_t N>
  ScanTarget(char (&buffer)[N]) : text(buffer), capacity(N) {}  // NOLINT
  ScanTarget(char* buffer, size_t size) : text(buffer), capacity(size) {}

  int* number = nullptr;
  char* text = nullptr;
  size_t capacity = 0;
};

// Returns the number of targets filled, or -1 when the input ended before the first one was
// filled (scanf's EOF). *consumed, when given, receives the count of input bytes used.
int ScanFormat(std::string_view input, const char* format, std::initializer_list<ScanTarget> targets,
               size_t* consumed = nullptr);

// The C library's isspace in the "C" locale: blank, \t, \n, \v, \f, \r.
inline bool IsBlankByte(unsigned char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

}  // namespace jollix
