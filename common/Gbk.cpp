#include "common/Gbk.h"

#include <iconv.h>

#include <sys/stat.h>

#include <cerrno>

namespace jollix {
namespace {

constexpr const char* kGbkCharset = "GB18030";

// Converts in one pass. With lossy set, an invalid or incomplete sequence is replaced by '?'
// and one input byte is skipped; otherwise the conversion fails.
bool Convert(const char* to, const char* from, std::string_view in, bool lossy, std::string* out) {
  out->clear();
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
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
  iconv_close(cd);
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
  return Convert(kGbkCharset, "UTF-8", utf8, false, out);
}

bool GbkToUtf8(std::string_view gbk, std::string* out) {
  if (IsAscii(gbk)) {
    out->assign(gbk);
    return true;
  }
  return Convert("UTF-8", kGbkCharset, gbk, false, out);
}

std::string Utf8ToGbkLossy(std::string_view utf8) {
  std::string out;
  if (IsAscii(utf8)) return std::string(utf8);
  Convert(kGbkCharset, "UTF-8", utf8, true, &out);
  return out;
}

std::string GbkToUtf8Lossy(std::string_view gbk) {
  std::string out;
  if (IsAscii(gbk)) return std::string(gbk);
  Convert("UTF-8", kGbkCharset, gbk, true, &out);
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

}  // namespace jollix
