// Text routines shared by the page fetcher and the page parsers.
//
// All of them work on NUL-terminated GBK byte strings, byte by byte: a GBK character is a lead
// byte of 0x81 to 0xFE and a trail byte, and none of the routines interprets such pairs (only
// EncodeQuery and the trimming of DecodeEntities treat bytes of 0x80 and above apart from ASCII).
// None of them reads or writes outside its text, whatever the input.
#pragma once

#include <cstdlib>
#include <memory>
#include <string>

namespace jollix {

// Turns an HTML fragment into the plain text of a result field: every run from "<" to the next
// ">" is left out (a "<" without a ">" drops the rest), text on both sides of a tag joins
// directly, and the rest goes through DecodeEntities. On success returns 0 with *text set to a
// block from malloc that the caller frees. When memory runs out, writes a message to standard
// error, sets *text to null and returns -1. A null html counts as an empty fragment.
int CleanHtmlText(const char* html, char** text);

// Owner of a text from CleanHtmlText.
struct FreeDeleter {
  void operator()(char* p) const { std::free(p); }
};
using CleanText = std::unique_ptr<char, FreeDeleter>;

// CleanHtmlText into an owner: on success *text holds the plain text; when memory runs out it
// is emptied and -1 returned.
int CleanHtmlText(const char* html, CleanText* text);

// Decodes text[0, length) in place and returns the new length; the caller writes the NUL.
// Leading and trailing ASCII whitespace is trimmed; a blank that follows a blank copied from
// the text is dropped; "&#" and decimal digits give one byte (the number modulo 256; the byte
// after the digits is skipped, normally ";"); "&amp;", "&lt;", "&gt;", "&quot;", "&nbsp;",
// "&copy;" and "&reg;" give their byte ("&nbsp;" a blank that is never merged); any other "&"
// is dropped. Without digits after "&#" (a hexadecimal reference) a zero byte is written.
int DecodeEntities(char* text, int length);

// Percent-encodes a query for a search URL: bytes of 0x80 and above become "%XX" (capitals),
// a blank becomes "+", every other byte is kept. A null query gives an empty text.
std::string EncodeQuery(const char* query);

// Makes a link found in the page at base into an absolute, normalised HTTP URL. Returns 1 with
// *target set, or 0 (target untouched) for a link of another scheme ("https://", "ftp://"), for
// a "/" link whose base has no server or port that splits, and for null arguments.
//
// The base directory is base with "http://" in front when it lacks one, without its fragment
// and query, cut after the last "/" of its path. A link beginning with "/" goes after
// "http://server:port", one beginning with "http://" stands alone, any other follows the base
// directory. The result then loses its fragment, runs of "/" before the query, and the dot
// segments of its path ("./" goes, a "." ending the path goes, ".." climbs one folder, "..."
// two; dots inside a name and in the query stay); finally "&amp;", "&lt;", "&gt;" and "&nbsp;"
// are decoded.
int ResolveLink(const char* base, const char* link, std::string* target);

// Removes every occurrence of c from text, in place.
void RemoveChar(char* text, char c);

}  // namespace jollix
