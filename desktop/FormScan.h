// Finds where the first of a few byte strings (the forms of the content words, see
// desktop/ContentSearch.h) starts in a buffer: the scan that a content search of many small
// files spends its own time in.
//
// Why not a skip table: the forms of a Chinese word include its UTF-8 spellings, whose bytes
// (0x80..0xBF after a lead byte) are the commonest bytes of UTF-8 Chinese text, so a skip
// table over all forms mostly steps one or two bytes. Instead, thirty-two start positions are
// tried at once for each form (AVX2 where the processor has it, else sixteen with SSE2, part of
// every x86-64): a position is a candidate when its byte is the form's first and the byte where
// the form would end is its last, and only candidates are compared in full. Elsewhere the plain
// scan runs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace jollix {

// The smallest position at which one of forms (none empty) starts and ends within buf[0, k),
// or -1.
int64_t FirstFormStart(const unsigned char* buf, size_t k, const std::vector<std::string>& forms);

// The same by trying every position in turn: the reference the fast scan is held to.
int64_t FirstFormStartPlain(const unsigned char* buf, size_t k,
                            const std::vector<std::string>& forms);

}  // namespace jollix
