// The entry point of jollix-documents.so (see ReaderModule.h): the readers of zip packages and
// PDFs behind one C function.
#include <cstdlib>
#include <cstring>
#include <string>
#include <type_traits>

#include "documents/PdfText.h"
#include "documents/ReaderModule.h"
#include "documents/ZipXmlText.h"

extern "C" __attribute__((visibility("default"))) int JollixExtractDocument(
    int kind, const char* bytes, size_t size, const jollix::DocumentLimits* limits, char** text,
    size_t* text_size) {
  using jollix::DocumentError;
  using jollix::DocumentKind;
  static_assert(std::is_same_v<decltype(&JollixExtractDocument), jollix::ExtractEntry>);
  *text = nullptr;
  *text_size = 0;
  const std::string_view document(bytes, size);
  std::string out;
  DocumentError error = DocumentError::kDamaged;
  if (kind == static_cast<int>(DocumentKind::kZipXml)) {
    error = jollix::ExtractZipXmlText(document, *limits, &out);
  } else if (kind == static_cast<int>(DocumentKind::kPdf)) {
    error = jollix::ExtractPdfText(document, *limits, &out);
  }
  if (!out.empty()) {
    *text = static_cast<char*>(std::malloc(out.size()));
    if (!*text) return static_cast<int>(DocumentError::kTooLarge);
    std::memcpy(*text, out.data(), out.size());
    *text_size = out.size();
  }
  return static_cast<int>(error);
}
