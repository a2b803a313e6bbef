#include "documents/TextCache.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "common/Gbk.h"
#include "common/TextFile.h"

namespace jollix {
namespace {

constexpr char kMagic[8] = {'J', 'X', 'T', 'E', 'X', 'T', '1', '\n'};
constexpr char kTempPrefix[] = ".tmp-";
constexpr size_t kMaxPath = 65536;
// A temp file this old belongs to no writer still running.
constexpr time_t kStaleTempSeconds = 600;

struct Header {
  char Magic[8];
  uint64_t Size;
  int64_t Modified;
  uint32_t Error;
  uint32_t PathBytes;
  uint64_t TextBytes;
};
static_assert(sizeof(Header) == 40);

uint64_t PathHash(std::string_view path) {
  uint64_t hash = 14695981039346656037ull;
  for (char c : path) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 1099511628211ull;
  }
  return hash;
}

bool MakeFolders(const std::string& path) {
  if (mkdir(path.c_str(), 0700) == 0 || errno == EEXIST) return true;
  if (errno != ENOENT) return false;
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos || slash == 0) return false;
  if (!MakeFolders(path.substr(0, slash))) return false;
  return mkdir(path.c_str(), 0700) == 0 || errno == EEXIST;
}

bool WriteAll(int fd, const Header& header, std::string_view path, std::string_view text) {
  iovec parts[3] = {{const_cast<Header*>(&header), sizeof header},
                    {const_cast<char*>(path.data()), path.size()},
                    {const_cast<char*>(text.data()), text.size()}};
  size_t left = sizeof header + path.size() + text.size();
  int first = 0;
  while (left > 0) {
    const ssize_t k = writev(fd, parts + first, 3 - first);
    if (k < 0 && errno == EINTR) continue;
    if (k <= 0) return false;
    left -= static_cast<size_t>(k);
    for (size_t done = static_cast<size_t>(k); done > 0 && first < 3;) {
      const size_t take = std::min(done, parts[first].iov_len);
      parts[first].iov_base = static_cast<char*>(parts[first].iov_base) + take;
      parts[first].iov_len -= take;
      done -= take;
      if (parts[first].iov_len == 0) ++first;
    }
  }
  return true;
}

// Outcomes worth remembering: those the same bytes give again.
bool Lasting(DocumentError error) {
  return error == DocumentError::kNone || error == DocumentError::kDamaged ||
         error == DocumentError::kLocked || error == DocumentError::kTooLarge;
}

struct Entry {
  timespec Modified;
  int64_t Bytes;
  std::string Name;
};

}  // namespace

TextCache::TextCache(std::string folder, uint64_t max_bytes)
    : folder_(std::move(folder) + "/text"), max_bytes_(max_bytes) {}

std::string TextCache::UserFolder() {
  const char* cache = std::getenv("XDG_CACHE_HOME");
  if (cache && cache[0] == '/') return std::string(cache) + "/jollixsearch";
  const char* home = std::getenv("HOME");
  if (home && home[0] == '/') return std::string(home) + "/.cache/jollixsearch";
  return {};
}

std::shared_ptr<TextCache> TextCache::ForUser() {
  static std::mutex mutex;
  static std::shared_ptr<TextCache> cache;
  const std::string folder = UserFolder();
  std::lock_guard<std::mutex> lock(mutex);
  if (folder.empty()) return nullptr;
  if (!cache || cache->Folder() != folder + "/text") cache = std::make_shared<TextCache>(folder);
  return cache;
}

std::string TextCache::EntryPath(std::string_view path) const {
  char name[32];
  std::snprintf(name, sizeof name, "/%016llx.txt", static_cast<unsigned long long>(PathHash(path)));
  return folder_ + name;
}

bool TextCache::Find(const DocumentKey& key, DocumentError* error, std::string* text) const {
  if (key.Path.size() > kMaxPath) return false;
  const int fd = open(EntryPath(key.Path).c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat st;
  std::string head(sizeof(Header) + key.Path.size(), '\0');
  bool ok = fstat(fd, &st) == 0 &&
            ReadAt(fd, head.data(), head.size(), 0) == static_cast<ssize_t>(head.size());
  Header h;
  if (ok) {
    std::memcpy(&h, head.data(), sizeof h);
    ok = std::memcmp(h.Magic, kMagic, sizeof kMagic) == 0 &&
         h.Size == static_cast<uint64_t>(key.Size) && h.Modified == key.ModifiedNanoseconds &&
         h.PathBytes == key.Path.size() && std::string_view(head).substr(sizeof h) == key.Path &&
         h.TextBytes <= (1ull << 40) &&
         static_cast<uint64_t>(st.st_size) == head.size() + h.TextBytes &&
         h.Error <= static_cast<uint32_t>(DocumentError::kUnavailable);
  }
  if (ok) {
    text->resize(h.TextBytes);
    ok = ReadAt(fd, text->data(), text->size(), head.size()) == static_cast<ssize_t>(text->size());
  }
  close(fd);
  if (!ok) {
    text->clear();
    return false;
  }
  *error = static_cast<DocumentError>(h.Error);
  return true;
}

bool TextCache::Store(const DocumentKey& key, DocumentError error, std::string_view text) {
  if (key.Path.size() > kMaxPath || !Lasting(error)) return false;
  CountOnce();
  static std::atomic<unsigned> serial{0};
  char temp_name[64];
  std::snprintf(temp_name, sizeof temp_name, "/%s%d-%u", kTempPrefix, static_cast<int>(getpid()),
                serial.fetch_add(1));
  const std::string temp = folder_ + temp_name;
  int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  if (fd < 0 && errno == ENOENT && MakeFolders(folder_)) {
    fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  }
  if (fd < 0) return false;
  Header h;
  std::memcpy(h.Magic, kMagic, sizeof kMagic);
  h.Size = static_cast<uint64_t>(key.Size);
  h.Modified = key.ModifiedNanoseconds;
  h.Error = static_cast<uint32_t>(error);
  h.PathBytes = static_cast<uint32_t>(key.Path.size());
  h.TextBytes = error == DocumentError::kNone ? text.size() : 0;
  if (h.TextBytes == 0) text = {};
  const bool written = WriteAll(fd, h, key.Path, text);
  if (close(fd) != 0 || !written) {
    unlink(temp.c_str());
    return false;
  }
  const std::string entry = EntryPath(key.Path);
  struct stat old;
  const int64_t replaced = stat(entry.c_str(), &old) == 0 ? old.st_size : 0;
  if (rename(temp.c_str(), entry.c_str()) != 0) {
    unlink(temp.c_str());
    return false;
  }
  const int64_t added = static_cast<int64_t>(sizeof h + key.Path.size() + text.size());
  if (bytes_.fetch_add(added - replaced) + added - replaced > static_cast<int64_t>(max_bytes_)) {
    Evict();
  }
  return true;
}

uint64_t TextCache::Bytes() {
  CountOnce();
  return static_cast<uint64_t>(std::max<int64_t>(bytes_.load(), 0));
}

void TextCache::CountOnce() {
  std::call_once(counted_, [this] {
    DIR* dir = opendir(folder_.c_str());
    if (!dir) return;
    int64_t total = 0;
    while (const dirent* e = readdir(dir)) {
      struct stat st;
      if (e->d_name[0] != '.' && fstatat(dirfd(dir), e->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 &&
          S_ISREG(st.st_mode)) {
        total += st.st_size;
      }
    }
    closedir(dir);
    bytes_.fetch_add(total);
  });
}

void TextCache::Evict() {
  std::unique_lock<std::mutex> lock(evicting_, std::try_to_lock);
  if (!lock.owns_lock()) return;  // another thread is at it
  DIR* dir = opendir(folder_.c_str());
  if (!dir) return;
  const int fd = dirfd(dir);
  const time_t now = time(nullptr);
  std::vector<Entry> entries;
  int64_t total = 0;
  while (const dirent* e = readdir(dir)) {
    struct stat st;
    if (e->d_name[0] == '.' && std::strncmp(e->d_name, kTempPrefix, 5) != 0) continue;
    if (fstatat(fd, e->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode)) continue;
    if (e->d_name[0] == '.') {
      if (now - st.st_mtime > kStaleTempSeconds) unlinkat(fd, e->d_name, 0);
      continue;
    }
    entries.push_back({st.st_mtim, st.st_size, e->d_name});
    total += st.st_size;
  }
  std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
    if (a.Modified.tv_sec != b.Modified.tv_sec) return a.Modified.tv_sec < b.Modified.tv_sec;
    return a.Modified.tv_nsec < b.Modified.tv_nsec;
  });
  const int64_t keep = static_cast<int64_t>(max_bytes_ / 4 * 3);
  for (const Entry& entry : entries) {
    if (total <= keep) break;
    if (unlinkat(fd, entry.Name.c_str(), 0) == 0) total -= entry.Bytes;
  }
  closedir(dir);
  bytes_.store(total);
}

DocumentError CachedDocumentText(TextCache* cache, DocumentKind kind, int fd, std::string_view path,
                                 const std::atomic<bool>* cancel, std::string* text) {
  struct stat st;
  if (fstat(fd, &st) != 0) return DocumentError::kDamaged;
  const DocumentKey key{path, st.st_size,
                        static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
  DocumentError error;
  if (cache && cache->Find(key, &error, text)) return error;
  DocumentLimits limits;
  limits.Cancel = cancel;
  error = ExtractDocumentFile(kind, fd, limits, text);
  if (error == DocumentError::kCancelled) return error;
  if (error == DocumentError::kUnavailable) {
    // Said once: every document of its kind would say the same.
    static std::once_flag once;
    std::call_once(once, [] {
      std::fprintf(stderr, "jollix: documents passed over: %s\n",
                   DocumentErrorText(DocumentError::kUnavailable));
    });
    return error;
  }
  if (error != DocumentError::kNone) {
    std::fprintf(stderr, "jollix: document passed over: %s: %s\n", GbkToUtf8Lossy(path).c_str(),
                 DocumentErrorText(error));
  }
  if (cache) cache->Store(key, error, *text);
  return error;
}

}  // namespace jollix
