// The extracted text of documents, kept between searches: extraction costs far more than reading
// a text file, while documents seldom change. One file per document under
// $XDG_CACHE_HOME/jollixsearch/text (default ~/.cache/jollixsearch/text), named by a hash of the
// document's path, holding the key it was made for (path, size, last-write time), the outcome
// (a document passed over is remembered as such, so it is not tried and reported at every
// search) and the text.
//
// Safe against a kill -9 and a concurrent search: an entry is written to a temp file of its own
// and renamed over the entry's name, so a reader sees a whole entry or the one before; an entry
// is trusted only when its header, its key and its length check out, so even a damaged file is
// no more than a miss. Temp files left by a killed writer are removed by the next eviction.
//
// Bounded: when the entries this process knows of pass the cap, the oldest entries (by their
// last write) are removed until three quarters of the cap are left. The total is counted once
// from the folder and then kept up by this process; another process writing at the same time
// keeps its own count, so two searches together may pass the cap by their own writes until
// either evicts.
//
// Threads: every member may be called from many threads at once.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

#include "documents/DocumentText.h"

namespace jollix {

inline constexpr uint64_t kDefaultTextCacheBytes = uint64_t{512} << 20;

// What an entry is made for: the document as the search found it.
struct DocumentKey {
  std::string_view Path;  // as the records spell it
  int64_t Size = 0;
  int64_t ModifiedNanoseconds = 0;
};

class TextCache {
 public:
  // A cache in folder (created when first written); entries beyond max_bytes are evicted.
  explicit TextCache(std::string folder, uint64_t max_bytes = kDefaultTextCacheBytes);

  // $XDG_CACHE_HOME/jollixsearch, or $HOME/.cache/jollixsearch; empty when neither is set.
  static std::string UserFolder();
  // The process's cache in UserFolder(), made again when the folder changes; null when there
  // is no folder.
  static std::shared_ptr<TextCache> ForUser();

  // Whether an entry for key exists and holds; then *error is the outcome stored and *text its
  // text.
  bool Find(const DocumentKey& key, DocumentError* error, std::string* text) const;
  // Stores the outcome of an extraction. Returns false when it could not be written (the
  // search goes on without it).
  bool Store(const DocumentKey& key, DocumentError error, std::string_view text);

  // The file of key's entry.
  std::string EntryPath(std::string_view path) const;
  const std::string& Folder() const { return folder_; }
  // Bytes of the entries, as this process counts them.
  uint64_t Bytes();

 private:
  void CountOnce();
  void Evict();

  std::string folder_;  // .../jollixsearch/text
  uint64_t max_bytes_;
  std::once_flag counted_;
  std::atomic<int64_t> bytes_{0};
  std::mutex evicting_;
};

// The text of a document for a content search: the cached one when its entry holds for the
// file open at fd, else extracted (and stored, when a cache is given). A document passed over
// is said once on standard error, when it is extracted; a module of readers that cannot be
// loaded is said once in the process (kUnavailable, not cached: a later run may have it).
// kCancelled when cancel was set.
DocumentError CachedDocumentText(TextCache* cache, DocumentKind kind, int fd, std::string_view path,
                                 const std::atomic<bool>* cancel, std::string* text);

}  // namespace jollix
