#include "web/PageFetcher.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <thread>

#include "common/Gbk.h"
#include "common/IndexLayout.h"
#include "web/CurlLibrary.h"
#include "web/HtmlText.h"
#include "web/SplitUrl.h"

namespace jollix {
namespace {

using Clock = std::chrono::steady_clock;

std::atomic<PageFetcher::WaitHook> wait_hook{nullptr};
constexpr auto kWaitHookInterval = std::chrono::milliseconds(30);

// Waits on cv until done holds or the deadline passes, calling the wait hook (with the lock
// released) between slices of kWaitHookInterval. Returns done().
template <typename Done>
bool WaitCallingHook(std::condition_variable& cv, std::unique_lock<std::mutex>& lock,
                     std::chrono::steady_clock::time_point deadline, Done done) {
  for (;;) {
    const PageFetcher::WaitHook hook = wait_hook.load();
    if (!hook && deadline == std::chrono::steady_clock::time_point::max()) {
      cv.wait(lock, done);
      return true;
    }
    if (!hook) return cv.wait_until(lock, deadline, done);
    const auto slice = std::min(deadline, std::chrono::steady_clock::now() + kWaitHookInterval);
    if (cv.wait_until(lock, slice, done)) return true;
    if (std::chrono::steady_clock::now() >= deadline) return done();
    lock.unlock();
    hook();
    lock.lock();
  }
}

constexpr char kUserAgentHeader[] =
    "User-Agent: Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1)";
constexpr size_t kChunkSize = 4096;
constexpr int kMaxRedirects = 5;
// How far into the body a <meta> charset declaration is looked for.
constexpr size_t kCharsetWindow = 2048;
// Longest sleep of the reader between two looks at its limits and the cancel flag.
constexpr int kLongestPollMs = 1000;

std::string Lower(const char* begin, const char* end) {
  std::string s(begin, end);
  for (char& c : s) c = static_cast<char>(LowerByte(static_cast<unsigned char>(c)));
  return s;
}

bool StartsWith(const std::string& s, const char* prefix) {
  return s.compare(0, std::strlen(prefix), prefix) == 0;
}

// The object as it goes on the request line: blanks and control bytes are percent-encoded (a
// request line cannot carry them, and libcurl refuses them), and so are bytes of 0x80 and above
// in the path (libcurl would encode them there in its own way). In the query those go as they
// are, so that a site reading its query in raw GBK (the channels send some queries unencoded)
// receives exactly the bytes of the URL. Everything else, "%" included, goes as it is.
std::string RequestObject(const std::string& object) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  bool in_query = false;
  for (unsigned char c : object) {
    in_query = in_query || c == '?';
    if (c <= 0x20 || c == 0x7F || (c >= 0x80 && !in_query)) {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 0x0F];
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

// The value of the first header line named `name` (without case), from after the colon and
// the blanks that follow it up to the line feed. False when there is no such line.
bool FindHeader(const std::string& headers, const char* name, std::string* value) {
  size_t name_length = std::strlen(name);
  for (size_t line = 0; line < headers.size();) {
    size_t end = headers.find('\n', line);
    if (end == std::string::npos) end = headers.size();
    if (end - line > name_length && headers[line + name_length] == ':' &&
        Lower(headers.data() + line, headers.data() + line + name_length) == name) {
      size_t start = headers.find_first_not_of(" \t", line + name_length + 1);
      if (start == std::string::npos || start > end) start = end;
      *value = headers.substr(start, end - start);
      return true;
    }
    line = end + 1;
  }
  return false;
}

// The charset named after "charset" in a lower-cased text: "charset", blanks, "=", blanks and
// quotes, then the name. Empty when there is none.
std::string CharsetIn(const std::string& lower) {
  size_t at = lower.find("charset");
  if (at == std::string::npos) return "";
  size_t p = lower.find_first_not_of(" \t", at + 7);
  if (p == std::string::npos || lower[p] != '=') return "";
  p = lower.find_first_not_of(" \t\"'", p + 1);
  if (p == std::string::npos) return "";
  size_t end = lower.find_first_of(" \t\"';>/\r\n", p);
  return lower.substr(p, end == std::string::npos ? std::string::npos : end - p);
}

bool IsUtf8Name(const std::string& charset) { return charset == "utf-8" || charset == "utf8"; }

}  // namespace

// ---------------------------------------------------------------------------------------------
// PageText

PageText::PageText()
    : capacity_(kInitialCapacity),
      start_(static_cast<char*>(std::calloc(kInitialCapacity + 1, 1))),
      end_(start_) {
  if (start_ == nullptr) std::abort();  // nothing can be fetched without the first block
}

PageText::~PageText() { std::free(start_); }

const char* PageText::Append(const char* text) {
  if (text == nullptr) return nullptr;
  size_t k = std::strlen(text);
  if (k == 0) return start_;
  size_t n = Length();
  if (n + k < capacity_) {
    std::memcpy(end_, text, k);
    end_ += k;
    *end_ = '\0';
    return start_;
  }
  if (n + k > UINT32_MAX) return nullptr;
  char* block = static_cast<char*>(std::malloc(k + 2 * n + 1));
  if (block == nullptr) return nullptr;
  std::memcpy(block, start_, n);
  std::free(start_);
  start_ = block;
  std::memcpy(start_ + n, text, k);
  end_ = start_ + n + k;
  *end_ = '\0';
  capacity_ = static_cast<uint32_t>(n + k);
  return start_;
}

void PageText::Clear() {
  *start_ = '\0';
  end_ = start_;
}

// ---------------------------------------------------------------------------------------------
// Transfer: one request on libcurl, run by the reader thread.
//
// The reader drives a multi handle and sleeps in curl_multi_poll for at most kLongestPollMs; a
// cancel wakes it at once (curl_multi_wakeup), and it checks the flag after every round, so a
// cancelled reader stops within one round of libcurl's non-blocking work, far inside the
// cancel bound. The response head (status and header lines) is handed to the calling thread
// under the mutex as soon as it is complete; the body is appended to the page text, which the
// calling thread reads only after joining the reader.

class PageFetcher::Transfer {
 public:
  struct Head {
    bool complete = false;
    long status = 0;
    std::string headers;
  };

  Transfer(PageText* page, const FetchLimits& limits) : page_(page), limits_(limits) {}
  ~Transfer() {
    Cancel();
    Join();
    if (multi_ != nullptr && easy_ != nullptr) curl_->multi_remove_handle(multi_, easy_);
    if (easy_ != nullptr) curl_->easy_cleanup(easy_);
    if (multi_ != nullptr) curl_->multi_cleanup(multi_);
    if (url_ != nullptr) curl_->url_cleanup(url_);
    if (request_headers_ != nullptr) curl_->slist_free_all(request_headers_);
  }
  Transfer(const Transfer&) = delete;
  Transfer& operator=(const Transfer&) = delete;

  // Creates the handles; CURLE_OK or CURLE_FAILED_INIT.
  CURLcode Open() {
    if (curl_ == nullptr) return CURLE_FAILED_INIT;
    easy_ = curl_->easy_init();
    multi_ = curl_->multi_init();
    url_ = curl_->url();
    return easy_ != nullptr && multi_ != nullptr && url_ != nullptr ? CURLE_OK : CURLE_FAILED_INIT;
  }

  CURLUcode SetUrl(const std::string& url) {
    return curl_->url_set(url_, CURLUPART_URL, url.c_str(), CURLU_PATH_AS_IS);
  }

  // Sets up a GET without cache and without automatic redirects, and starts the reader.
  void Start() {
    request_headers_ = curl_->slist_append(nullptr, kUserAgentHeader);
    request_headers_ = curl_->slist_append(request_headers_, "Pragma: no-cache");
    request_headers_ = curl_->slist_append(request_headers_, "Cache-Control: no-cache");
    curl_->easy_setopt(easy_, CURLOPT_CURLU, url_);
    curl_->easy_setopt(easy_, CURLOPT_PATH_AS_IS, 1L);
    curl_->easy_setopt(easy_, CURLOPT_PROTOCOLS_STR, "http");
    curl_->easy_setopt(easy_, CURLOPT_HTTPGET, 1L);
    curl_->easy_setopt(easy_, CURLOPT_HTTP_VERSION, CURL_HTTP_VERSION_1_1);
    curl_->easy_setopt(easy_, CURLOPT_FOLLOWLOCATION, 0L);
    curl_->easy_setopt(easy_, CURLOPT_HTTPHEADER, request_headers_);
    curl_->easy_setopt(easy_, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(limits_.Connect));
    curl_->easy_setopt(easy_, CURLOPT_NOSIGNAL, 1L);
    curl_->easy_setopt(easy_, CURLOPT_BUFFERSIZE, static_cast<long>(kChunkSize));
    curl_->easy_setopt(easy_, CURLOPT_PREREQFUNCTION, &Transfer::OnConnected);
    curl_->easy_setopt(easy_, CURLOPT_PREREQDATA, this);
    curl_->easy_setopt(easy_, CURLOPT_HEADERFUNCTION, &Transfer::OnHeaderLine);
    curl_->easy_setopt(easy_, CURLOPT_HEADERDATA, this);
    curl_->easy_setopt(easy_, CURLOPT_WRITEFUNCTION, &Transfer::OnBody);
    curl_->easy_setopt(easy_, CURLOPT_WRITEDATA, this);
    curl_->multi_add_handle(multi_, easy_);
    reader_ = std::thread([this] { Run(); });
  }

  // Waits until the response head is complete or the transfer has ended without one.
  Head WaitForHead() {
    std::unique_lock<std::mutex> lock(mu_);
    WaitCallingHook(cv_, lock, std::chrono::steady_clock::time_point::max(),
                    [this] { return head_.complete || read_done_; });
    return head_;
  }

  // Waits up to ms for the reader to end; true when it has.
  bool WaitForEnd(uint32_t ms) {
    std::unique_lock<std::mutex> lock(mu_);
    return WaitCallingHook(cv_, lock,
                           std::chrono::steady_clock::now() + std::chrono::milliseconds(ms),
                           [this] { return read_done_; });
  }

  void Cancel() {
    cancel_ = true;
    if (multi_ != nullptr) curl_->multi_wakeup(multi_);
  }

  void Join() {
    if (reader_.joinable()) reader_.join();
  }

  // After Join: libcurl's result, and whether the connection was made.
  CURLcode Result() const { return result_; }
  bool Connected() const { return connected_; }

 private:
  void Run() {
    last_activity_ = Clock::now();
    CURLcode result = CURLE_OK;
    while (true) {
      int running = 0;
      if (curl_->multi_perform(multi_, &running) != CURLM_OK) {
        result = CURLE_OUT_OF_MEMORY;
        break;
      }
      if (running == 0) {
        int left = 0;
        while (CURLMsg* msg = curl_->multi_info_read(multi_, &left))
          if (msg->msg == CURLMSG_DONE) result = msg->data.result;
        break;
      }
      if (cancel_) {
        result = CURLE_ABORTED_BY_CALLBACK;
        break;
      }
      int wait_ms = kLongestPollMs;
      if (connected_) {
        auto limit =
            std::chrono::milliseconds(head_complete_ ? limits_.DataReceive : limits_.Receive);
        auto silent = Clock::now() - last_activity_;
        if (silent >= limit) {
          // Silence in the head is a failed request; in the body it ends the body.
          result = head_complete_ ? CURLE_OK : CURLE_OPERATION_TIMEDOUT;
          break;
        }
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(limit - silent);
        wait_ms = static_cast<int>(std::min<long long>(wait_ms, left.count() + 1));
      }
      curl_->multi_poll(multi_, nullptr, 0, wait_ms, nullptr);
    }
    std::lock_guard<std::mutex> lock(mu_);
    result_ = result;
    read_done_ = true;
    cv_.notify_all();
  }

  static int OnConnected(void* self, char*, char*, int, int) {
    auto* t = static_cast<Transfer*>(self);
    t->connected_ = true;
    t->last_activity_ = Clock::now();
    return CURL_PREREQFUNC_OK;
  }

  // One header line at a time, with its line end, kept with CR LF. The blank line ends a head;
  // the head of an interim 1xx response is dropped. A final status other than 200 stops the
  // transfer there, so such a body is never read.
  static size_t OnHeaderLine(char* data, size_t size, size_t count, void* self) {
    auto* t = static_cast<Transfer*>(self);
    size_t length = size * count;
    t->last_activity_ = Clock::now();
    if (t->head_complete_) return length;  // trailers of a chunked body
    size_t text = length;
    while (text > 0 && (data[text - 1] == '\n' || data[text - 1] == '\r')) --text;
    if (text > 0) {
      t->head_text_.append(data, text);
      t->head_text_ += "\r\n";
      return length;
    }
    long status = 0;
    t->curl_->easy_getinfo(t->easy_, CURLINFO_RESPONSE_CODE, &status);
    if (status >= 100 && status < 200) {
      t->head_text_.clear();
      return length;
    }
    t->head_text_ += "\r\n";
    t->head_complete_ = true;
    {
      std::lock_guard<std::mutex> lock(t->mu_);
      t->head_.complete = true;
      t->head_.status = status;
      t->head_.headers = t->head_text_;
      t->cv_.notify_all();
    }
    return status == 200 ? length : 0;
  }

  // Appends the body in chunks of at most 4096 bytes, each NUL-terminated as the page text
  // takes it. A failed allocation ends the body with what was read.
  static size_t OnBody(char* data, size_t size, size_t count, void* self) {
    auto* t = static_cast<Transfer*>(self);
    size_t length = size * count;
    t->last_activity_ = Clock::now();
    char chunk[kChunkSize + 1];
    for (size_t done = 0; done < length;) {
      size_t n = std::min(kChunkSize, length - done);
      std::memcpy(chunk, data + done, n);
      chunk[n] = '\0';
      if (chunk[0] != '\0' && t->page_->Append(chunk) == nullptr) return 0;
      done += n;
    }
    return length;
  }

  PageText* page_;
  const FetchLimits& limits_;
  const CurlLibrary* curl_ = Curl();
  CURL* easy_ = nullptr;
  CURLM* multi_ = nullptr;
  CURLU* url_ = nullptr;
  curl_slist* request_headers_ = nullptr;
  std::thread reader_;
  std::atomic<bool> cancel_{false};

  // Shared with the calling thread, under mu_.
  std::mutex mu_;
  std::condition_variable cv_;
  Head head_;
  bool read_done_ = false;
  CURLcode result_ = CURLE_OK;

  // The reader's own; read by the calling thread only after Join.
  bool connected_ = false;
  bool head_complete_ = false;
  std::string head_text_;
  Clock::time_point last_activity_;
};

// ---------------------------------------------------------------------------------------------
// PageFetcher

PageFetcher::PageFetcher(const FetchLimits& limits) : limits_(limits) {}

PageFetcher::~PageFetcher() = default;

void PageFetcher::Reset() {
  response_headers_.clear();
  object_.clear();
  server_.clear();
  error_text_.clear();
  port_ = 0;
  error_flag_ = false;
  error_code_ = 0;
  status_code_ = 0;
  page_text_.Clear();
}

int PageFetcher::Fail(const char* format, uint32_t code) {
  char text[64];
  std::snprintf(text, sizeof text, format, code);
  error_flag_ = true;
  error_code_ = code;
  error_text_ = text;
  return -1;
}

int PageFetcher::Fetch(const char* url) {
  if (url == nullptr || *url == '\0') return -1;
  Reset();

  // A URL that names its scheme is used as it stands (and refused below unless it is http);
  // any other, such as a host name with a path, is taken as http.
  std::string lower = Lower(url, url + std::strlen(url));
  std::string request_url = url;
  UrlParts parts;
  if (!StartsWith(lower, "http://") && !StartsWith(lower, "ftp://") &&
      !StartsWith(lower, "https://") && !SplitUrl(url, &parts)) {
    request_url.insert(0, "http://");
  }
  if (!SplitUrl(request_url.c_str(), &parts) || parts.Scheme != "http") return -1;
  server_ = parts.Server;
  port_ = parts.Port;
  object_ = parts.Object;

  if (Exchange() != 0) return -1;
  // The handles of this request are closed before a redirect is followed.
  if (status_code_ >= 301 && status_code_ <= 303) return FollowRedirect(request_url);
  return 0;
}

void PageFetcher::SetWaitHook(WaitHook hook) { wait_hook = hook; }

int PageFetcher::Exchange() {
  Transfer transfer(&page_text_, limits_);
  if (CURLcode code = transfer.Open(); code != CURLE_OK) {
    return Fail("InternetOpen() Error:%u", code);
  }
  std::string curl_url = "http://" + server_ + ":" + std::to_string(port_) + RequestObject(object_);
  if (CURLUcode code = transfer.SetUrl(curl_url); code != CURLUE_OK) {
    return Fail("HttpOpenRequest() Error:%u", code);
  }
  transfer.Start();

  Transfer::Head head = transfer.WaitForHead();
  if (!head.complete) {
    transfer.Join();
    CURLcode code = transfer.Result();
    if (code == CURLE_COULDNT_RESOLVE_HOST || code == CURLE_COULDNT_RESOLVE_PROXY ||
        code == CURLE_COULDNT_CONNECT ||
        (code == CURLE_OPERATION_TIMEDOUT && !transfer.Connected())) {
      return Fail("InternetConnect() Error:%u", code);
    }
    if (code == CURLE_WEIRD_SERVER_REPLY || code == CURLE_UNSUPPORTED_PROTOCOL) {
      return Fail("HttpQueryInfo() Error:%d", code);
    }
    return Fail("HttpSendRequest() Error:%d", code == CURLE_OK ? CURLE_GOT_NOTHING : code);
  }
  status_code_ = static_cast<uint32_t>(head.status);
  response_headers_ = std::move(head.headers);

  if (status_code_ != 200) {
    // The reader stopped at the end of the head; such a body is never read.
    transfer.Join();
    page_text_.Clear();
    return 0;
  }
  if (!transfer.WaitForEnd(limits_.Read)) {
    transfer.Cancel();
    transfer.WaitForEnd(limits_.Cancel);
  }
  // The reader honours the cancel within one round of its loop (see Transfer), so the join
  // ends within the cancel bound and the page text is whole up to its last chunk.
  transfer.Join();
  ConvertUtf8Page();
  return 0;
}

int PageFetcher::FollowRedirect(const std::string& request_url) {
  std::string location;
  if (!FindHeader(response_headers_, "location", &location)) return -1;
  std::string target;
  if (ResolveLink(request_url.c_str(), location.c_str(), &target) != 1) return -1;
  std::erase_if(target, [](char c) { return c == '\r' || c == '\n' || c == ' '; });
  if (redirect_count_++ >= kMaxRedirects) return -1;
  return Fetch(target.c_str());
}

void PageFetcher::ConvertUtf8Page() {
  const char* text = page_text_.Start();
  size_t length = page_text_.Length();
  bool bom = length >= 3 && std::memcmp(text, "\xEF\xBB\xBF", 3) == 0;
  bool utf8 = bom;
  if (!utf8) {
    std::string content_type;
    std::string charset;
    if (FindHeader(response_headers_, "content-type", &content_type)) {
      charset = CharsetIn(Lower(content_type.data(), content_type.data() + content_type.size()));
    }
    if (charset.empty()) charset = CharsetIn(Lower(text, text + std::min(length, kCharsetWindow)));
    utf8 = IsUtf8Name(charset);
  }
  if (!utf8) return;
  std::string gbk = Utf8ToGbkLossy(std::string_view(text, length).substr(bom ? 3 : 0));
  page_text_.Clear();
  page_text_.Append(gbk.c_str());
}

}  // namespace jollix
