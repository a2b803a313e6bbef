// The text of a PDF through poppler's C++ interface, page by page in the order the text was
// written (the order a word's characters were drawn in keeps a word together). Chinese text
// reaches Unicode through the font's ToUnicode map or, for fonts that are not embedded, through
// the character collections' maps of poppler-data (Adobe-GB1 and the others).
//
// A document poppler cannot load, or one that needs a user password, is passed over; a document
// with only an owner password (restrictions on printing or copying) opens for anybody and is
// read. Poppler's own complaints about damaged files never reach the terminal: its message
// function is replaced by one that drops them.
#pragma once

#include <string>
#include <string_view>

#include "documents/DocumentText.h"

namespace jollix {

DocumentError ExtractPdfText(std::string_view bytes, const DocumentLimits& limits,
                             std::string* text);

}  // namespace jollix
