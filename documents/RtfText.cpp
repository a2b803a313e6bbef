#include "documents/RtfText.h"

#include <iconv.h>

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "documents/Extraction.h"

namespace jollix {
namespace {

constexpr size_t kMaxDepth = 4096;
constexpr int kDefaultCodePage = 1252;

// Groups whose first control word names one of these hold no text of the document.
constexpr std::array<std::string_view, 20> kSkippedDestinations = {"fonttbl",
                                                                   "colortbl",
                                                                   "stylesheet",
                                                                   "info",
                                                                   "pict",
                                                                   "objdata",
                                                                   "listtable",
                                                                   "listoverridetable",
                                                                   "revtbl",
                                                                   "rsidtbl",
                                                                   "generator",
                                                                   "themedata",
                                                                   "colorschememapping",
                                                                   "datastore",
                                                                   "latentstyles",
                                                                   "xmlnstbl",
                                                                   "filetbl",
                                                                   "fldinst",
                                                                   "shppict",
                                                                   "nonshppict"};

bool IsSkippedDestination(std::string_view word) {
  for (std::string_view d : kSkippedDestinations) {
    if (word == d) return true;
  }
  return false;
}

void AppendUtf8(uint32_t code, std::string* out) {
  if (code < 0x80) {
    out->push_back(static_cast<char>(code));
  } else if (code < 0x800) {
    out->push_back(static_cast<char>(0xC0 | (code >> 6)));
    out->push_back(static_cast<char>(0x80 | (code & 0x3F)));
  } else if (code < 0x10000) {
    out->push_back(static_cast<char>(0xE0 | (code >> 12)));
    out->push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (code & 0x3F)));
  } else {
    out->push_back(static_cast<char>(0xF0 | (code >> 18)));
    out->push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (code & 0x3F)));
  }
}

// Bytes of the document's code page to UTF-8; a byte that does not convert is dropped.
class CodePage {
 public:
  ~CodePage() { Close(); }

  void Set(int page) {
    if (page == page_ && cd_ != reinterpret_cast<iconv_t>(-1)) return;
    Close();
    page_ = page;
    char name[32];
    if (page == 65001) {
      std::snprintf(name, sizeof name, "UTF-8");
    } else {
      std::snprintf(name, sizeof name, "CP%d", page);
    }
    cd_ = iconv_open("UTF-8", name);
    if (cd_ == reinterpret_cast<iconv_t>(-1)) cd_ = iconv_open("UTF-8", "CP1252");
  }

  void Convert(const std::string& bytes, std::string* out) {
    if (cd_ == reinterpret_cast<iconv_t>(-1)) Set(kDefaultCodePage);
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    char* in = const_cast<char*>(bytes.data());
    size_t in_left = bytes.size();
    std::array<char, 1024> buffer;
    while (in_left > 0) {
      char* o = buffer.data();
      size_t o_left = buffer.size();
      const size_t r = iconv(cd_, &in, &in_left, &o, &o_left);
      out->append(buffer.data(), buffer.size() - o_left);
      if (r != static_cast<size_t>(-1) || errno == E2BIG) continue;
      if (errno == EINVAL) break;  // a character cut off at the end
      ++in;                        // EILSEQ: a byte that is no character here
      --in_left;
    }
  }

 private:
  void Close() {
    if (cd_ != reinterpret_cast<iconv_t>(-1)) iconv_close(cd_);
    cd_ = reinterpret_cast<iconv_t>(-1);
  }

  int page_ = 0;
  iconv_t cd_ = reinterpret_cast<iconv_t>(-1);
};

class RtfReader {
 public:
  RtfReader(std::string_view rtf, Extraction& out) : rtf_(rtf), out_(out) {}

  DocumentError Read() {
    if (!rtf_.starts_with("{\\rtf")) return DocumentError::kDamaged;
    code_page_.Set(kDefaultCodePage);
    groups_.push_back({});
    size_t checked = 0;
    while (at_ < rtf_.size() && !out_.Full()) {
      if (at_ - checked >= 65536) {
        checked = at_;
        if (const DocumentError e = out_.Check(); e != DocumentError::kNone) return e;
      }
      const char c = rtf_[at_++];
      if (c == '{') {
        if (!OpenGroup()) return DocumentError::kDamaged;
      } else if (c == '}') {
        CloseGroup();
      } else if (c == '\\') {
        Control();
      } else if (c != '\r' && c != '\n') {
        TextByte(c);
      }
    }
    Flush();
    return DocumentError::kNone;
  }

 private:
  struct Group {
    bool Skip = false;
    int Uc = 1;  // fallback characters after \uN
  };

  bool OpenGroup() {
    Flush();
    if (groups_.size() >= kMaxDepth) return false;
    groups_.push_back(groups_.back());
    group_start_ = true;
    return true;
  }

  void CloseGroup() {
    Flush();
    if (groups_.size() > 1) groups_.pop_back();
    fallback_ = 0;
    group_start_ = false;
  }

  Group& Current() { return groups_.back(); }

  void TextByte(char c) {
    group_start_ = false;
    if (Current().Skip) return;
    if (fallback_ > 0) {
      --fallback_;
      return;
    }
    pending_.push_back(c);
  }

  void Flush() {
    if (pending_.empty()) return;
    std::string utf8;
    code_page_.Convert(pending_, &utf8);
    pending_.clear();
    out_.Append(utf8);
  }

  void Emit(std::string_view utf8) {
    if (Current().Skip) return;
    Flush();
    out_.Append(utf8);
  }

  void EmitCode(uint32_t code) {
    std::string utf8;
    AppendUtf8(code, &utf8);
    Emit(utf8);
  }

  static int Hex(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
  }

  void Control() {
    if (at_ >= rtf_.size()) return;
    const char c = rtf_[at_];
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) return ControlWord();
    ++at_;
    const bool first = group_start_;
    group_start_ = false;
    switch (c) {
      case '\'': {
        const int high = at_ < rtf_.size() ? Hex(rtf_[at_]) : -1;
        const int low = at_ + 1 < rtf_.size() ? Hex(rtf_[at_ + 1]) : -1;
        if (high < 0 || low < 0) return;
        at_ += 2;
        TextByte(static_cast<char>(high * 16 + low));
        return;
      }
      case '\\':
      case '{':
      case '}':
        return TextByte(c);
      case '~':
        return Emit(" ");
      case '_':
        return Emit("-");
      case '*':
        if (first) Current().Skip = true;
        return;
      case '\r':
      case '\n':
        return Emit("\n");
      default:
        return;  // \- (optional hyphen) and the rest
    }
  }

  void ControlWord() {
    const size_t start = at_;
    while (at_ < rtf_.size() && at_ - start < 32 &&
           ((rtf_[at_] >= 'a' && rtf_[at_] <= 'z') || (rtf_[at_] >= 'A' && rtf_[at_] <= 'Z'))) {
      ++at_;
    }
    const std::string_view word = rtf_.substr(start, at_ - start);
    bool has_number = false;
    long number = 0;
    const bool negative = at_ < rtf_.size() && rtf_[at_] == '-';
    if (negative) ++at_;
    for (int digits = 0; at_ < rtf_.size() && rtf_[at_] >= '0' && rtf_[at_] <= '9'; ++at_) {
      if (++digits <= 10) number = number * 10 + (rtf_[at_] - '0');
      has_number = true;
    }
    if (negative) number = -number;
    if (at_ < rtf_.size() && rtf_[at_] == ' ') ++at_;
    const bool first = group_start_;
    group_start_ = false;
    if (first && IsSkippedDestination(word)) Current().Skip = true;
    Apply(word, has_number, number);
  }

  void Apply(std::string_view word, bool has_number, long number) {
    if (word == "bin") {
      // Binary data follows: number bytes, no text.
      const size_t n = has_number && number > 0 ? static_cast<size_t>(number) : 0;
      at_ += std::min(n, rtf_.size() - at_);
    } else if (word == "ansicpg" && has_number) {
      Flush();
      code_page_.Set(static_cast<int>(number));
    } else if (word == "uc" && has_number) {
      Current().Uc = static_cast<int>(std::max(0L, std::min(number, 16L)));
    } else if (word == "u" && has_number) {
      Unicode(static_cast<uint32_t>(number < 0 ? number + 65536 : number) & 0xFFFF);
    } else if (word == "par" || word == "line" || word == "page" || word == "sect" ||
               word == "row") {
      Emit("\n");
    } else if (word == "tab" || word == "cell") {
      Emit("\t");
    } else if (word == "emdash") {
      EmitCode(0x2014);
    } else if (word == "endash") {
      EmitCode(0x2013);
    } else if (word == "lquote") {
      EmitCode(0x2018);
    } else if (word == "rquote") {
      EmitCode(0x2019);
    } else if (word == "ldblquote") {
      EmitCode(0x201C);
    } else if (word == "rdblquote") {
      EmitCode(0x201D);
    }
  }

  void Unicode(uint32_t code) {
    if (!Current().Skip) {
      std::string utf8;
      if (code >= 0xD800 && code < 0xDC00) {
        high_surrogate_ = code;
      } else if (code >= 0xDC00 && code < 0xE000) {
        if (high_surrogate_)
          AppendUtf8(0x10000 + ((high_surrogate_ - 0xD800) << 10) + (code - 0xDC00), &utf8);
        high_surrogate_ = 0;
      } else {
        high_surrogate_ = 0;
        AppendUtf8(code, &utf8);
      }
      Emit(utf8);
    }
    fallback_ = Current().Uc;
  }

  std::string_view rtf_;
  Extraction& out_;
  size_t at_ = 0;
  std::vector<Group> groups_;
  bool group_start_ = false;  // nothing read yet in the group just opened
  int fallback_ = 0;          // fallback characters still to skip
  uint32_t high_surrogate_ = 0;
  std::string pending_;  // text bytes in the code page, not yet converted
  CodePage code_page_;
};

}  // namespace

DocumentError ExtractRtfText(std::string_view bytes, const DocumentLimits& limits,
                             std::string* text) {
  Extraction out(limits, text);
  RtfReader reader(bytes, out);
  const DocumentError error = reader.Read();
  return error == DocumentError::kNone ? error : out.Fail(error);
}

}  // namespace jollix
