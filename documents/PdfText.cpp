#include "documents/PdfText.h"

#include <poppler/cpp/poppler-document.h>
#include <poppler/cpp/poppler-global.h>
#include <poppler/cpp/poppler-page.h>

#include <climits>
#include <memory>
#include <mutex>
#include <new>

#include "documents/Extraction.h"

namespace jollix {
namespace {

void DropMessage(const std::string&, void*) {}

void SilencePoppler() {
  static std::once_flag once;
  std::call_once(once, [] { poppler::set_debug_error_function(DropMessage, nullptr); });
}

DocumentError ReadPages(const poppler::document& document, Extraction& out) {
  const int pages = document.pages();
  for (int i = 0; i < pages && !out.Full(); ++i) {
    if (const DocumentError e = out.Check(); e != DocumentError::kNone) return e;
    std::unique_ptr<poppler::page> page(document.create_page(i));
    if (!page) continue;
    const poppler::byte_array utf8 =
        page->text(poppler::rectf(), poppler::page::raw_order_layout).to_utf8();
    out.Append(std::string_view(utf8.data(), utf8.size()));
    out.EndLine();
  }
  return DocumentError::kNone;
}

}  // namespace

DocumentError ExtractPdfText(std::string_view bytes, const DocumentLimits& limits,
                             std::string* text) {
  Extraction out(limits, text);
  if (bytes.size() > static_cast<size_t>(INT_MAX)) return out.Fail(DocumentError::kTooLarge);
  SilencePoppler();
  try {
    std::unique_ptr<poppler::document> document(
        poppler::document::load_from_raw_data(bytes.data(), static_cast<int>(bytes.size())));
    if (!document) return out.Fail(DocumentError::kDamaged);
    if (document->is_locked()) return out.Fail(DocumentError::kLocked);
    const DocumentError error = ReadPages(*document, out);
    return error == DocumentError::kNone ? error : out.Fail(error);
  } catch (const std::bad_alloc&) {
    return out.Fail(DocumentError::kTooLarge);
  } catch (...) {
    return out.Fail(DocumentError::kDamaged);
  }
}

}  // namespace jollix
