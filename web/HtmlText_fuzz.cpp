// Fuzz target for the HTML text routines: libFuzzer calls it when built with JOLLIX_FUZZ, and
// HtmlTextFuzz_test.cpp feeds it generated inputs in every test build. Besides memory safety
// (checked by AddressSanitizer), it checks what every result must satisfy.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "web/HtmlText.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

bool StartsWithHttp(const std::string& s) {
  return s.size() >= 7 && (s[0] | 0x20) == 'h' && (s[1] | 0x20) == 't' && (s[2] | 0x20) == 't' &&
         (s[3] | 0x20) == 'p' && s.compare(4, 3, "://") == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The input is split at its first zero byte into a base URL (or HTML) and a link.
  std::string first(reinterpret_cast<const char*>(data), size);
  std::string second;
  size_t zero = first.find('\0');
  if (zero != std::string::npos) {
    second = first.substr(zero + 1);
    second = second.substr(0, second.find('\0'));
    first.erase(zero);
  }

  char* text = nullptr;
  Check(jollix::CleanHtmlText(first.c_str(), &text) == 0);
  Check(std::strlen(text) <= first.size());
  std::free(text);

  // DecodeEntities on exactly the bytes given, in a block of that size (ASan sees overreads).
  char* block = static_cast<char*>(std::malloc(size == 0 ? 1 : size));
  if (size > 0) std::memcpy(block, data, size);
  int n = jollix::DecodeEntities(block, static_cast<int>(size));
  Check(n >= 0 && static_cast<size_t>(n) <= size);
  std::free(block);

  std::string encoded = jollix::EncodeQuery(first.c_str());
  Check(encoded.size() <= 3 * first.size());
  for (unsigned char c : encoded) Check(c < 0x80 && c != ' ');

  std::string target;
  int resolved = jollix::ResolveLink(first.c_str(), second.c_str(), &target);
  Check(resolved == 0 || resolved == 1);
  if (resolved == 1) Check(StartsWithHttp(target));

  std::string removed = second;
  jollix::RemoveChar(removed.data(), '/');
  Check(std::strchr(removed.c_str(), '/') == nullptr);
  return 0;
}
