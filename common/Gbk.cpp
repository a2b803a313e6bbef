#include "common/Gbk.h"

#include <iconv.h>
#include <sys/stat.h>

#include <cerrno>

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

bool IsAscii(std::string_view s) {
  for (unsigned char c : s)
    if (c >= 0x80) return false;
  return true;
}

}  // namespace

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
  if (IsAscii(gbk)) return std::string(gbk);
  Convert(FromGbk(), gbk, true, &out);
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
