#include "common/Gbk.h"

#include <iconv.h>
#include <sys/stat.h>

#include <array>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <memory>

namespace jollix {
namespace {

constexpr const char* kGbkCharset = "GB18030";

// Converts in one pass. With lossy set, an invalid or incomplete sequence is replaced by '?'
// and one input byte is skipped; otherwise the conversion fails.
// One descriptor per direction and thread, opened on first use: opening one per name would cost
// more than the conversion when a whole disk is listed.
class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Converter() {
    if (ok()) iconv_close(cd_);
  }
  bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
  iconv_t Reset() {
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    return cd_;
  }

 private:
  iconv_t cd_;
};

Converter& ToGbk() {
  thread_local Converter c(kGbkCharset, "UTF-8");
  return c;
}

Converter& FromGbk() {
  thread_local Converter c("UTF-8", kGbkCharset);
  return c;
}

bool Convert(Converter& converter, std::string_view in, bool lossy, std::string* out) {
  out->clear();
  if (!converter.ok()) return false;
  iconv_t cd = converter.Reset();
  std::string result;
  result.resize(in.size() * 2 + 16);
  char* src = const_cast<char*>(in.data());
  size_t src_left = in.size();
  size_t used = 0;
  bool ok = true;
  while (src_left > 0) {
    char* dst = result.data() + used;
    size_t dst_left = result.size() - used;
    size_t rc = iconv(cd, &src, &src_left, &dst, &dst_left);
    used = result.size() - dst_left;
    if (rc != static_cast<size_t>(-1)) break;
    if (errno == E2BIG) {
      result.resize(result.size() * 2);
      continue;
    }
    if (!lossy) {
      ok = false;
      break;
    }
    if (result.size() - used < 1) result.resize(result.size() * 2);
    result[used++] = '?';
    ++src;
    --src_left;
  }
  if (!ok) return false;
  result.resize(used);
  *out = std::move(result);
  return true;
}

// The UTF-8 bytes of every two-byte GBK character, indexed by (lead - 0x81) * 192 + (trail -
// 0x40); an entry of length 0 is one the table leaves to iconv (trail 0x7F, 0xFF, or a code
// iconv would not convert alone).
struct Utf8Char {
  uint8_t Length = 0;
  char Bytes[4] = {};
};
constexpr int kLeads = 0xFE - 0x81 + 1;
constexpr int kTrails = 0xFF - 0x40 + 1;

bool IsTrail(unsigned t) { return t >= 0x40 && t <= 0xFE && t != 0x7F; }

// Converts one lead byte's 190 characters in one iconv call (a call per character would cost
// more than the table saves at start), or character by character when the call fails.
void FillLead(iconv_t cd, unsigned lead, Utf8Char* row) {
  char in[2 * kTrails], out[4 * kTrails];
  size_t in_used = 0;
  for (unsigned t = 0x40; t <= 0xFE; ++t) {
    if (!IsTrail(t)) continue;
    in[in_used++] = static_cast<char>(lead);
    in[in_used++] = static_cast<char>(t);
  }
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  char *src = in, *dst = out;
  size_t src_left = in_used, dst_left = sizeof out;
  const bool whole =
      iconv(cd, &src, &src_left, &dst, &dst_left) != static_cast<size_t>(-1) && src_left == 0;
  const char* p = out;
  for (unsigned t = 0x40; t <= 0xFE; ++t) {
    if (!IsTrail(t)) continue;
    Utf8Char& c = row[t - 0x40];
    if (whole) {
      // One code point per character: its UTF-8 length is told by its first byte.
      const auto b = static_cast<unsigned char>(*p);
      const int n = b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
      c.Length = static_cast<uint8_t>(n);
      std::memcpy(c.Bytes, p, n);
      p += n;
      continue;
    }
    char one[2] = {static_cast<char>(lead), static_cast<char>(t)}, got[8];
    char *s1 = one, *d1 = got;
    size_t s1_left = 2, d1_left = sizeof got;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    if (iconv(cd, &s1, &s1_left, &d1, &d1_left) == static_cast<size_t>(-1) || s1_left != 0) {
      continue;
    }
    const size_t n = sizeof got - d1_left;
    if (n >= 1 && n <= 4) {
      c.Length = static_cast<uint8_t>(n);
      std::memcpy(c.Bytes, got, n);
    }
  }
}

const Utf8Char* GbkTable() {
  static const std::unique_ptr<Utf8Char[]> table = [] {
    std::unique_ptr<Utf8Char[]> t(new Utf8Char[kLeads * kTrails]);
    iconv_t cd = iconv_open("UTF-8", kGbkCharset);
    if (cd == reinterpret_cast<iconv_t>(-1)) return t;  // all entries empty: iconv decides
    for (unsigned lead = 0x81; lead <= 0xFE; ++lead) {
      FillLead(cd, lead, t.get() + (lead - 0x81) * kTrails);
    }
    iconv_close(cd);
    return t;
  }();
  return table.get();
}

bool IsAscii(std::string_view s) {
  for (unsigned char c : s)
    if (c >= 0x80) return false;
  return true;
}

}  // namespace

bool AppendGbkToUtf8ByTable(std::string_view gbk, std::string* out) {
  const auto* p = reinterpret_cast<const unsigned char*>(gbk.data());
  const auto* end = p + gbk.size();
  size_t used = out->size();
  // Four UTF-8 bytes at most per two GBK bytes (a few map beyond the first plane), one per
  // ASCII byte.
  out->resize(used + gbk.size() * 2 + 2);
  char* o = out->data();
  const Utf8Char* table = nullptr;
  while (p < end) {
    const unsigned b = *p;
    if (b < 0x80) {
      o[used++] = static_cast<char>(b);
      ++p;
      continue;
    }
    if (b == 0x80 || b == 0xFF || end - p < 2 || !IsTrail(p[1])) return false;
    if (!table) table = GbkTable();
    const Utf8Char& c = table[(b - 0x81) * kTrails + (p[1] - 0x40)];
    if (c.Length == 0) return false;
    std::memcpy(o + used, c.Bytes, 4);
    used += c.Length;
    p += 2;
  }
  out->resize(used);
  return true;
}

void AppendGbkToUtf8Lossy(std::string_view gbk, std::string* out) {
  const size_t old = out->size();
  if (AppendGbkToUtf8ByTable(gbk, out)) return;
  out->resize(old);
  std::string converted;
  Convert(FromGbk(), gbk, true, &converted);
  out->append(converted);
}

bool Utf8ToGbk(std::string_view utf8, std::string* out) {
  if (IsAscii(utf8)) {
    out->assign(utf8);
    return true;
  }
  return Convert(ToGbk(), utf8, false, out);
}

bool GbkToUtf8(std::string_view gbk, std::string* out) {
  if (IsAscii(gbk)) {
    out->assign(gbk);
    return true;
  }
  out->clear();
  if (AppendGbkToUtf8ByTable(gbk, out)) return true;
  return Convert(FromGbk(), gbk, false, out);
}

std::string Utf8ToGbkLossy(std::string_view utf8) {
  std::string out;
  if (IsAscii(utf8)) return std::string(utf8);
  Convert(ToGbk(), utf8, true, &out);
  return out;
}

std::string GbkToUtf8Lossy(std::string_view gbk) {
  std::string out;
  AppendGbkToUtf8Lossy(gbk, &out);
  return out;
}

std::string FileNameToGbk(std::string_view disk_name) {
  std::string out;
  if (Utf8ToGbk(disk_name, &out)) return out;
  return std::string(disk_name);
}

std::string FileNameFromGbk(std::string_view gbk_name) {
  std::string out;
  if (GbkToUtf8(gbk_name, &out)) return out;
  return std::string(gbk_name);
}

std::string DiskPathFromGbk(std::string_view gbk_path) {
  std::string converted = FileNameFromGbk(gbk_path);
  if (converted == gbk_path) return converted;
  struct stat st;
  if (lstat(converted.c_str(), &st) == 0) return converted;
  std::string raw(gbk_path);
  if (lstat(raw.c_str(), &st) == 0) return raw;
  return converted;
}

bool ExistingDiskPath(std::string_view gbk_path, std::string* disk_path) {
  *disk_path = FileNameFromGbk(gbk_path);
  struct stat st;
  if (lstat(disk_path->c_str(), &st) == 0) return true;
  if (*disk_path == gbk_path) return false;
  std::string raw(gbk_path);
  if (lstat(raw.c_str(), &st) != 0) return false;
  *disk_path = std::move(raw);
  return true;
}

}  // namespace jollix
