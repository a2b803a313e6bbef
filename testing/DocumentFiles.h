// Small documents made by tests: zip packages (written with libzip, as an office program writes
// them) and PDFs written out as text, with a correct cross-reference table.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace jollix::testing {

// A zip package holding the parts (name, content), deflated, in the order given.
std::string ZipBytes(const std::vector<std::pair<std::string, std::string>>& parts);

// A one-page PDF whose objects 1..n are objects (their text between "n 0 obj" and "endobj"):
// object 1 must be the catalog. The cross-reference table and trailer are added.
std::string PdfBytes(const std::vector<std::string>& objects);

// A one-page PDF that shows UTF-16BE text (hex, e.g. "5408540C") in the font STSong-Light
// through the UniGB-UCS2-H character map, the font not embedded: the reader takes the glyphs
// and the text from its own Adobe-GB1 data.
std::string CidFontPdf(const std::string& utf16_hex);

// A page with a line of Latin text in Helvetica.
std::string LatinPdf(const std::string& text);

// text as UTF-8 bytes (the build's narrow literals are GBK).
std::string U8(const char8_t* text);

}  // namespace jollix::testing
