// The text of an RTF document. RTF is plain text with control words, small enough to read by
// hand: text bytes and \'xx escapes are in the document's code page (\ansicpgN, Windows code
// page N, converted with iconv; 1252 when not given), \uN is a Unicode character (N negative for
// code points above 32767) followed by \ucN fallback characters that are skipped, and groups
// that hold no text of the document (the font, colour and style tables, document information,
// pictures, objects' data, and every destination marked \*) are passed over. \par, \line,
// \page, \sect and \row end a line, \tab and \cell give a tab.
#pragma once

#include <string>
#include <string_view>

#include "documents/DocumentText.h"

namespace jollix {

DocumentError ExtractRtfText(std::string_view bytes, const DocumentLimits& limits,
                             std::string* text);

}  // namespace jollix
