// The readers of zip packages and PDFs live in a module of their own, jollix-documents.so beside
// the programs, loaded at the first document that needs it. Linked into the programs, libzip,
// expat and poppler (with their thirty-odd libraries) would be loaded at every start of every
// program, and `jollix find`, one short process per search, would spend three times as long
// starting as it does today; a search that meets no document loads none of them.
//
// The module's one entry point is a C function, so no C++ object crosses between the programs'
// C++ runtime (linked in statically in `jollix`) and the shared one that poppler brings: the
// text comes back in a malloc'ed buffer.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "documents/DocumentText.h"

namespace jollix {

inline constexpr char kReaderModule[] = "jollix-documents.so";

// The module's entry point: the text of the document in bytes (kind a DocumentKind), into
// *text (malloc'ed, *text_size bytes, freed by the caller with free) on success. Returns a
// DocumentError.
using ExtractEntry = int (*)(int kind, const char* bytes, size_t size, const DocumentLimits* limits,
                             char** text, size_t* text_size);
inline constexpr char kExtractEntry[] = "JollixExtractDocument";

// Extracts through the module, loading it the first time (from the folder of the running
// program). kUnavailable when it cannot be loaded; *why then says why (empty otherwise).
DocumentError ExtractThroughModule(DocumentKind kind, std::string_view bytes,
                                   const DocumentLimits& limits, std::string* text,
                                   std::string* why);

}  // namespace jollix
