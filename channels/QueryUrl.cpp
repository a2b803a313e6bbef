#include "channels/QueryUrl.h"

#include <cstdarg>
#include <cstdio>

#include "web/HtmlText.h"

namespace jollix {

bool FitsQueryBuffer(const std::string& text) { return text.size() < kQueryBufferSize; }

bool EncodeForUrl(const std::string& query, std::string* encoded) {
  encoded->clear();
  if (!FitsQueryBuffer(query)) return false;
  std::string text = EncodeQuery(query.c_str());
  if (!FitsQueryBuffer(text)) return false;
  *encoded = std::move(text);
  return true;
}

std::string FormatUrl(const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list again;
  va_copy(again, args);
  int length = std::vsnprintf(nullptr, 0, format, args);
  va_end(args);
  std::string url;
  if (length > 0) {
    url.resize(static_cast<size_t>(length));
    std::vsnprintf(url.data(), url.size() + 1, format, again);
  }
  va_end(again);
  return url;
}

}  // namespace jollix
