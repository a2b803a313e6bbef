#include "documents/DocumentText.h"

#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <mutex>

#include "common/TextFile.h"
#include "documents/ReaderModule.h"
#include "documents/RtfText.h"

namespace jollix {
namespace {

struct Extension {
  std::string_view Name;
  DocumentKind Kind;
};
constexpr std::array<Extension, 8> kExtensions = {{
    {"docx", DocumentKind::kZipXml},
    {"xlsx", DocumentKind::kZipXml},
    {"pptx", DocumentKind::kZipXml},
    {"odt", DocumentKind::kZipXml},
    {"ods", DocumentKind::kZipXml},
    {"odp", DocumentKind::kZipXml},
    {"pdf", DocumentKind::kPdf},
    {"rtf", DocumentKind::kRtf},
}};

bool SameIgnoringCase(std::string_view a, std::string_view lower) {
  if (a.size() != lower.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char c = a[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != lower[i]) return false;
  }
  return true;
}

}  // namespace

DocumentKind DocumentKindOf(std::string_view name) {
  const size_t dot = name.rfind('.');
  if (dot == std::string_view::npos) return DocumentKind::kPlain;
  const std::string_view extension = name.substr(dot + 1);
  if (extension.size() > 4) return DocumentKind::kPlain;  // the common case, decided at once
  for (const Extension& e : kExtensions) {
    if (SameIgnoringCase(extension, e.Name)) return e.Kind;
  }
  return DocumentKind::kPlain;
}

bool CarriesDocumentSignature(DocumentKind kind, int fd) {
  char head[1024];
  const ssize_t n = pread(fd, head, sizeof head, 0);
  if (n <= 0) return false;
  const std::string_view start(head, static_cast<size_t>(n));
  switch (kind) {
    case DocumentKind::kZipXml:
      return start.starts_with("PK\x03\x04") || start.starts_with("PK\x05\x06") ||
             start.starts_with("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1");
    case DocumentKind::kPdf:
      return start.find("%PDF-") != std::string_view::npos;
    case DocumentKind::kRtf:
      return start.starts_with("{\\rtf");
    case DocumentKind::kPlain:
      break;
  }
  return false;
}

const char* DocumentErrorText(DocumentError error) {
  switch (error) {
    case DocumentError::kNone:
      return "read";
    case DocumentError::kDamaged:
      return "it is damaged or not in the format its name says";
    case DocumentError::kLocked:
      return "it is encrypted; open it with its password and save it without one to search it";
    case DocumentError::kTooLarge:
      return "it is too large to read (a file over 256 MiB, or a part that inflates beyond "
             "256 MiB: a zip bomb)";
    case DocumentError::kTooSlow:
      return "reading its text took longer than 20 seconds";
    case DocumentError::kCancelled:
      return "the search was cancelled";
    case DocumentError::kUnavailable:
      return "its reader could not be loaded (jollix-documents.so, beside the program)";
  }
  return "unknown";
}

DocumentError ExtractDocumentText(DocumentKind kind, std::string_view bytes,
                                  const DocumentLimits& limits, std::string* text) {
  text->clear();
  if (bytes.size() > limits.MaxFile) return DocumentError::kTooLarge;
  switch (kind) {
    case DocumentKind::kZipXml:
    case DocumentKind::kPdf: {
      std::string why;
      return ExtractThroughModule(kind, bytes, limits, text, &why);
    }
    case DocumentKind::kRtf:
      return ExtractRtfText(bytes, limits, text);
    case DocumentKind::kPlain:
      break;
  }
  text->assign(bytes.substr(0, limits.MaxText));
  return DocumentError::kNone;
}

DocumentError ExtractDocumentFile(DocumentKind kind, int fd, const DocumentLimits& limits,
                                  std::string* text) {
  text->clear();
  struct stat st;
  if (fstat(fd, &st) != 0) return DocumentError::kDamaged;
  if (st.st_size < 0 || static_cast<uint64_t>(st.st_size) > limits.MaxFile) {
    return DocumentError::kTooLarge;
  }
  static std::mutex large;
  std::unique_lock<std::mutex> one_at_a_time(large, std::defer_lock);
  if (static_cast<uint64_t>(st.st_size) > kLargeDocument) one_at_a_time.lock();
  std::string bytes(static_cast<size_t>(st.st_size), '\0');
  size_t got = 0;
  while (got < bytes.size()) {
    const ssize_t k = ReadAt(fd, bytes.data() + got, bytes.size() - got, got);
    if (k < 0) return DocumentError::kDamaged;
    if (k == 0) break;
    got += static_cast<size_t>(k);
  }
  bytes.resize(got);
  return ExtractDocumentText(kind, bytes, limits, text);
}

}  // namespace jollix
