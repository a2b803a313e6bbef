// Download of one web page over plain HTTP, for the page parsers of the web channels.
//
// A search creates a PageFetcher, calls Fetch once, copies Text and destroys the object. Fetch
// is synchronous: it returns when the body has been read, the read time limit has run out, or
// the request failed. The transfer runs on a reader thread of libcurl's, which Fetch starts and
// joins; no thread outlives a Fetch call. Redirects are followed here, never by libcurl.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace jollix {

// The growable text of a page body: one block, always NUL-terminated.
class PageText {
 public:
  static constexpr uint32_t kInitialCapacity = 40960;

  PageText();  // a zeroed block of kInitialCapacity + 1 bytes
  ~PageText();
  PageText(const PageText&) = delete;
  PageText& operator=(const PageText&) = delete;

  // Appends a NUL-terminated text; returns the start of the block. With n bytes held and k to
  // add: when n + k < capacity the text is copied in place; otherwise the block is replaced by
  // one of k + 2n + 1 bytes and the capacity becomes n + k, so that the next non-empty append
  // replaces it again. Returns null for a null text, and when a new block cannot be allocated
  // (then the text held so far stays as it was).
  const char* Append(const char* text);
  // Empties the text; the block and the capacity are kept.
  void Clear();

  const char* Start() const { return start_; }
  size_t Length() const { return static_cast<size_t>(end_ - start_); }
  uint32_t Capacity() const { return capacity_; }

 private:
  uint32_t capacity_;
  char* start_;
  char* end_;  // the terminating NUL
};

// Time limits of a fetch, in milliseconds. The defaults are the system's; tests shorten them.
struct FetchLimits {
  uint32_t Connect = 10000;       // to establish the connection (to the proxy, when one is set)
  uint32_t Receive = 60000;       // silence allowed while the response head is awaited
  uint32_t DataReceive = 120000;  // silence allowed between two pieces of the body
  uint32_t Read = 60000;          // how long Fetch waits for the body as a whole
  uint32_t Cancel = 6000;         // how long a cancelled reader may take to stop
};

class PageFetcher {
 public:
  explicit PageFetcher(const FetchLimits& limits = FetchLimits());
  ~PageFetcher();
  PageFetcher(const PageFetcher&) = delete;
  PageFetcher& operator=(const PageFetcher&) = delete;

  // Downloads url with GET. A URL without scheme gets "http://"; only http is fetched.
  // Returns 0 when a response was received and handled: status 200 with the body read (whole,
  // or up to the read time limit), or any status other than 301, 302 and 303 (then the text is
  // empty). Returns -1 for an empty URL, a URL that does not split or is not http (https and ftp
  // included; nothing is sent then), a failed request step (see ErrorText), and a redirect that
  // cannot be followed: no Location, an unresolvable target, or more than five redirects for
  // this object (the count is never reset). A body declared as UTF-8 (Content-Type charset,
  // a byte-order mark, or a meta charset in its first 2048 bytes) is converted to GBK.
  int Fetch(const char* url);

  // The page text, NUL-terminated; valid until the next Fetch or the destruction.
  const char* Text() const { return page_text_.Start(); }
  size_t TextLength() const { return page_text_.Length(); }

  // Of the last request.
  const std::string& ResponseHeaders() const { return response_headers_; }  // lines end CR LF
  uint16_t Port() const { return port_; }
  const std::string& Object() const { return object_; }
  const std::string& Server() const { return server_; }
  uint32_t StatusCode() const { return status_code_; }
  // Set when a request step failed: ErrorCode is libcurl's result code, ErrorText one of
  // "InternetOpen() Error:%u", "InternetConnect() Error:%u", "HttpOpenRequest() Error:%u",
  // "HttpSendRequest() Error:%d" and "HttpQueryInfo() Error:%d" with that code.
  bool ErrorFlag() const { return error_flag_; }
  uint32_t ErrorCode() const { return error_code_; }
  const std::string& ErrorText() const { return error_text_; }
  int RedirectCount() const { return redirect_count_; }

  // A function that Fetch calls over and over on its own thread while it waits for the page
  // (about every 30 ms), for the whole process: the window program processes its paint and
  // timer events there, so the window repaints and shows the progress while a search blocks
  // it. Null (the default) waits without a break. Set it before any fetch starts.
  using WaitHook = void (*)();
  static void SetWaitHook(WaitHook hook);

 private:
  class Transfer;

  void Reset();
  // One request for server_, port_ and object_: head, then the body of a 200.
  int Exchange();
  int Fail(const char* format, uint32_t code);
  int FollowRedirect(const std::string& request_url);
  void ConvertUtf8Page();

  std::string response_headers_;
  uint16_t port_ = 0;
  std::string object_;
  std::string server_;
  bool error_flag_ = false;
  uint32_t error_code_ = 0;
  std::string error_text_;
  uint32_t status_code_ = 0;
  PageText page_text_;
  const FetchLimits limits_;
  int redirect_count_ = 0;
};

}  // namespace jollix
