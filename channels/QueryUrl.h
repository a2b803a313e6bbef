// Request URLs from the query of a channel form.
//
// A form holds its query, and the query's encoded form, in buffers of kQueryBufferSize bytes.
// A query that fits is sent exactly as typed (encoded by EncodeQuery, or raw for the engines
// that take it so); one that does not fit is refused with kQueryTooLongMessage, never cut.
#pragma once

#include <cstddef>
#include <string>

namespace jollix {

inline constexpr size_t kQueryBufferSize = 100;

inline constexpr char kQueryTooLongMessage[] = "查询关键词太长，请减少关键词后重新搜索！";
inline constexpr char kInputErrorCaption[] = "输入错误";

// True when text fits a query buffer with its terminator.
bool FitsQueryBuffer(const std::string& text);

// EncodeQuery of query into *encoded; false (and *encoded empty) when the query or its encoded
// form does not fit a query buffer.
bool EncodeForUrl(const std::string& query, std::string* encoded);

// A URL from a printf format and its arguments (safe for GBK arguments: printf gives only "%"
// in the format a meaning).
std::string FormatUrl(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace jollix
