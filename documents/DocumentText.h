// The text of documents whose bytes are not their text (zip packages of XML, PDF, RTF), for the
// content matcher: it hands a document to the extractor of its family, chosen by the file's
// extension, and searches the text returned with every form of the words, as it searches the
// bytes of a text file.
//
// The text returned is UTF-8 whatever the document's own encoding: the formats store Unicode
// (XML, PDF text through its character maps, RTF's \u escapes) or say their code page, so UTF-8
// loses nothing, and the matcher already searches the UTF-8 spelling of the words (this
// platform's text files are UTF-8). Paragraphs, cells and slides end with a line break, so that
// words of two paragraphs never join into a false find, while the runs of one paragraph are
// joined without a gap, so that a word split over runs is found.
//
// Bad input is passed over, never trusted: a damaged, truncated, locked or oversized document
// gives an error code and no text, within bounded memory and time (DocumentLimits). No exception
// leaves this unit.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace jollix {

enum class DocumentKind {
  kPlain,   // not a document: its bytes are its text
  kZipXml,  // .docx .xlsx .pptx (Office Open XML) and .odt .ods .odp (OpenDocument)
  kPdf,     // .pdf
  kRtf,     // .rtf
};

// The family of a file by the extension of its name (any case); kPlain for every other name.
DocumentKind DocumentKindOf(std::string_view name);

// Whether the file open at fd begins as a document of its family does: a zip package's local
// header (or an encrypted package's compound file), "%PDF-" within the first KiB, "{\rtf". A
// file that does not (a text file given a document's name) is no document: its bytes are its
// text, as for every other file.
bool CarriesDocumentSignature(DocumentKind kind, int fd);

// Why a document gave no text.
enum class DocumentError {
  kNone = 0,
  kDamaged,      // not a readable document of its format (corrupt, truncated, wrong format)
  kLocked,       // encrypted with a password that is not known
  kTooLarge,     // the file, or a part as it inflates (a zip bomb), is beyond the limits
  kTooSlow,      // the extraction ran past its time limit
  kCancelled,    // the cancel flag was set
  kUnavailable,  // the reader of its format cannot be loaded (see ReaderModule.h)
};

// A short text that says why, for messages.
const char* DocumentErrorText(DocumentError error);

inline constexpr size_t kLargeDocument = size_t{32} << 20;

struct DocumentLimits {
  // Text taken from one document; the rest is left out (the document still counts, with the
  // text up to here).
  size_t MaxText = size_t{64} << 20;
  // Bytes one part of a zip package may inflate to, and all its parts together: a package
  // beyond either is a zip bomb, or no document a person wrote, and is passed over.
  size_t MaxPart = size_t{256} << 20;
  size_t MaxInflated = size_t{512} << 20;
  // Bytes of the file itself (read into memory whole).
  size_t MaxFile = size_t{256} << 20;
  // Time for one document, checked between pages and parts and while a part inflates.
  int64_t MaxMilliseconds = 20000;
  // When given and set, the extraction stops at its next check (kCancelled).
  const std::atomic<bool>* Cancel = nullptr;
};

// Extracts the text of the document whose whole file is bytes. On kNone *text holds the text
// (possibly empty: a document with no words); otherwise *text is empty.
DocumentError ExtractDocumentText(DocumentKind kind, std::string_view bytes,
                                  const DocumentLimits& limits, std::string* text);

// The same for a file open for reading: reads it whole (up to MaxFile bytes) and extracts.
// Files over kLargeDocument bytes are extracted one at a time in the process, so that a search
// on many cores holds at most one large document in memory (the others wait, within the time a
// cancel takes).
DocumentError ExtractDocumentFile(DocumentKind kind, int fd, const DocumentLimits& limits,
                                  std::string* text);

}  // namespace jollix
