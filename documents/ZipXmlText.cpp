#include "documents/ZipXmlText.h"

#include <expat.h>
#include <zip.h>

#include <array>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "documents/Extraction.h"

namespace jollix {
namespace {

// A text part: the folder it lies in (no deeper), how its file name starts, and ".xml".
struct PartRule {
  std::string_view Folder, Prefix;
};
constexpr std::array<PartRule, 11> kParts = {{
    {"word/", "document"},
    {"word/", "header"},
    {"word/", "footer"},
    {"word/", "footnotes"},
    {"word/", "endnotes"},
    {"word/", "comments"},
    {"xl/", "sharedStrings"},
    {"xl/worksheets/", "sheet"},
    {"ppt/slides/", "slide"},
    {"ppt/notesSlides/", "notesSlide"},
    {"", "content"},
}};

bool IsTextPart(std::string_view name) {
  for (const PartRule& rule : kParts) {
    if (!name.starts_with(rule.Folder)) continue;
    const std::string_view file = name.substr(rule.Folder.size());
    if (file.find('/') == std::string_view::npos && file.starts_with(rule.Prefix) &&
        file.ends_with(".xml")) {
      return true;
    }
  }
  return false;
}

// The parser joins a name's namespace and local name with this separator.
constexpr char kSeparator = ' ';
constexpr std::string_view kOpenDocumentText = "urn:oasis:names:tc:opendocument:xmlns:text:1.0";

struct Name {
  std::string_view Space, Local;
};
Name Split(const XML_Char* name) {
  const std::string_view whole(name);
  const size_t at = whole.rfind(kSeparator);
  if (at == std::string_view::npos) return {{}, whole};
  return {whole.substr(0, at), whole.substr(at + 1)};
}

// The text of one part. Office Open XML keeps text in <t> elements (w:t, a:t, the t of a shared
// string or inline cell string), and nothing but layout between them, so the runs of a paragraph
// join without a gap; OpenDocument keeps it as the character data of its <text:p> and <text:h>
// elements, spans and all. Either way a paragraph (a shared string, an inline cell string) ends
// a line.
class PartText {
 public:
  explicit PartText(Extraction& out) : out_(out) {}

  static void XMLCALL Start(void* self, const XML_Char* name, const XML_Char** attributes) {
    static_cast<PartText*>(self)->OnStart(Split(name), attributes);
  }
  static void XMLCALL End(void* self, const XML_Char* name) {
    static_cast<PartText*>(self)->OnEnd(Split(name));
  }
  static void XMLCALL Characters(void* self, const XML_Char* s, int length) {
    static_cast<PartText*>(self)->OnCharacters(std::string_view(s, static_cast<size_t>(length)));
  }

 private:
  static bool IsOpenDocumentParagraph(Name name) {
    return name.Space == kOpenDocumentText && (name.Local == "p" || name.Local == "h");
  }

  void OnStart(Name name, const XML_Char** attributes) {
    // Phonetic guides of a shared string are no part of its text.
    if (skipping_ > 0 || name.Local == "rPh") {
      ++skipping_;
      return;
    }
    const std::string_view local = name.Local;
    if (local == "t" && name.Space != kOpenDocumentText) ++in_run_;
    if (IsOpenDocumentParagraph(name)) ++in_paragraph_;
    if (local == "tab") out_.Append('\t');
    if (local == "br" || local == "cr" || local == "line-break") out_.Append('\n');
    if (local == "s" && name.Space == kOpenDocumentText) {
      out_.Append(std::string(Spaces(attributes), ' '));
    }
  }

  void OnEnd(Name name) {
    if (skipping_ > 0) {
      --skipping_;
      return;
    }
    const std::string_view local = name.Local;
    if (local == "t" && in_run_ > 0) --in_run_;
    if (IsOpenDocumentParagraph(name) && in_paragraph_ > 0) --in_paragraph_;
    if (local == "p" || local == "h" || local == "si" || local == "is") out_.EndLine();
  }

  void OnCharacters(std::string_view s) {
    if (skipping_ == 0 && (in_run_ > 0 || in_paragraph_ > 0)) out_.Append(s);
  }

  // The blanks an OpenDocument <text:s text:c="n"/> stands for: n (1 when not given), at most a
  // line's worth.
  static size_t Spaces(const XML_Char** attributes) {
    for (size_t i = 0; attributes[i] && attributes[i + 1]; i += 2) {
      if (Split(attributes[i]).Local == "c") {
        const long n = std::strtol(attributes[i + 1], nullptr, 10);
        return n < 1 ? 1 : static_cast<size_t>(std::min(n, 80L));
      }
    }
    return 1;
  }

  Extraction& out_;
  int skipping_ = 0, in_run_ = 0, in_paragraph_ = 0;
};

struct ZipCloser {
  void operator()(zip_t* z) const { zip_discard(z); }
};
struct EntryCloser {
  void operator()(zip_file_t* f) const { zip_fclose(f); }
};
struct ParserFreer {
  void operator()(XML_Parser p) const { XML_ParserFree(p); }
};

class Package {
 public:
  Package(Extraction& out) : out_(out) {}

  DocumentError Read(std::string_view bytes) {
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_buffer_create(bytes.data(), bytes.size(), 0, &error);
    zip_error_fini(&error);
    if (!source) return DocumentError::kDamaged;
    zip_error_init(&error);
    std::unique_ptr<zip_t, ZipCloser> zip(zip_open_from_source(source, ZIP_RDONLY, &error));
    zip_error_fini(&error);
    if (!zip) {
      zip_source_free(source);
      return DocumentError::kDamaged;
    }
    const zip_int64_t entries = zip_get_num_entries(zip.get(), 0);
    for (zip_int64_t i = 0; i < entries; ++i) {
      const char* name = zip_get_name(zip.get(), static_cast<zip_uint64_t>(i), 0);
      if (!name || !IsTextPart(name)) continue;
      const DocumentError error = ReadPart(zip.get(), static_cast<zip_uint64_t>(i));
      if (error != DocumentError::kNone) return error;
      if (out_.Full()) break;
    }
    return DocumentError::kNone;
  }

 private:
  DocumentError ReadPart(zip_t* zip, zip_uint64_t index) {
    // The size the package declares passes a bomb over before any inflating; a part that
    // declares less than it holds is caught as it inflates.
    zip_stat_t st;
    if (zip_stat_index(zip, index, 0, &st) == 0 && (st.valid & ZIP_STAT_SIZE) &&
        (st.size > out_.Limits().MaxPart || inflated_ + st.size > out_.Limits().MaxInflated)) {
      return DocumentError::kTooLarge;
    }
    std::unique_ptr<zip_file_t, EntryCloser> part(zip_fopen_index(zip, index, 0));
    if (!part) {
      const int code = zip_error_code_zip(zip_get_error(zip));
      return code == ZIP_ER_NOPASSWD || code == ZIP_ER_WRONGPASSWD ? DocumentError::kLocked
                                                                   : DocumentError::kDamaged;
    }
    std::unique_ptr<XML_ParserStruct, ParserFreer> parser(XML_ParserCreateNS(nullptr, kSeparator));
    if (!parser) return DocumentError::kDamaged;
    PartText text(out_);
    XML_SetUserData(parser.get(), &text);
    XML_SetElementHandler(parser.get(), PartText::Start, PartText::End);
    XML_SetCharacterDataHandler(parser.get(), PartText::Characters);
    size_t part_bytes = 0;
    for (;;) {
      if (const DocumentError e = out_.Check(); e != DocumentError::kNone) return e;
      const zip_int64_t got = zip_fread(part.get(), buffer_.data(), buffer_.size());
      if (got < 0) return DocumentError::kDamaged;
      part_bytes += static_cast<size_t>(got);
      inflated_ += static_cast<size_t>(got);
      if (part_bytes > out_.Limits().MaxPart || inflated_ > out_.Limits().MaxInflated) {
        return DocumentError::kTooLarge;
      }
      const bool last = got == 0;
      if (XML_Parse(parser.get(), buffer_.data(), static_cast<int>(got), last) != XML_STATUS_OK) {
        return DocumentError::kDamaged;
      }
      if (last || out_.Full()) return DocumentError::kNone;
    }
  }

  Extraction& out_;
  size_t inflated_ = 0;
  std::array<char, 65536> buffer_;
};

// An encrypted Office Open XML document is no zip but a compound file holding the encrypted
// package.
bool IsCompoundFile(std::string_view bytes) {
  return bytes.starts_with(std::string_view("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8));
}

}  // namespace

DocumentError ExtractZipXmlText(std::string_view bytes, const DocumentLimits& limits,
                                std::string* text) {
  Extraction out(limits, text);
  if (IsCompoundFile(bytes)) return out.Fail(DocumentError::kLocked);
  auto package = std::make_unique<Package>(out);
  const DocumentError error = package->Read(bytes);
  return error == DocumentError::kNone ? error : out.Fail(error);
}

}  // namespace jollix
