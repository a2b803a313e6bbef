// The text of zip packages of XML: Office Open XML (.docx .xlsx .pptx) and OpenDocument (.odt
// .ods .odp). libzip reads the package, expat the XML of its text parts:
//   word/document.xml, its headers, footers, footnotes, endnotes and comments;
//   xl/sharedStrings.xml and the sheets (cells with inline strings);
//   ppt/slides/*.xml and the notes of the slides;
//   content.xml of an OpenDocument package.
// The text of a paragraph (a shared string, a cell) is the text of its runs joined; each ends
// with a line break. Each part is parsed as it inflates, so memory stays at one chunk of XML
// whatever the part's size; a part that inflates beyond the limits is a zip bomb and the package
// is passed over as soon as that is seen.
#pragma once

#include <string>
#include <string_view>

#include "documents/DocumentText.h"

namespace jollix {

DocumentError ExtractZipXmlText(std::string_view bytes, const DocumentLimits& limits,
                                std::string* text);

}  // namespace jollix
