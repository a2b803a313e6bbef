#include "documents/TextCache.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "testing/TempDir.h"

namespace jollix {
namespace {

using testing::TempDir;

// The text a search gets for the RTF file at path.
std::string TextOf(TextCache& cache, const std::string& path) {
  const int fd = open(path.c_str(), O_RDONLY);
  EXPECT_GE(fd, 0);
  std::string text;
  EXPECT_EQ(CachedDocumentText(&cache, DocumentKind::kRtf, fd, path, nullptr, &text),
            DocumentError::kNone);
  close(fd);
  return text;
}

void SetModified(const std::string& path, time_t seconds) {
  const timespec times[2] = {{seconds, 0}, {seconds, 0}};
  ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

TEST(TextCacheTest, ExtractsAgainWhenTheFileChanged) {
  // The file is rewritten with other words; the cache must notice by the size or the time of the
  // last write, and is trusted only while both are as they were.
  struct Case {
    const char* What;
    const char* Rewritten;
    time_t Modified;
    const char* Text;
  };
  const std::vector<Case> cases = {
      {"other size, same time", "{\\rtf1 longer}", 1000000, "longer"},
      {"same size, later time", "{\\rtf1 other}", 2000000, "other"},
      {"same size, same time: taken from the cache", "{\\rtf1 later}", 1000000, "first"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.What);
    TempDir dir;
    TextCache cache(dir / "cache");
    const std::string doc = dir / "a.rtf";
    dir.Write("a.rtf", "{\\rtf1 first}");
    SetModified(doc, 1000000);
    EXPECT_EQ(TextOf(cache, doc), "first");
    dir.Write("a.rtf", c.Rewritten);
    SetModified(doc, c.Modified);
    EXPECT_EQ(TextOf(cache, doc), c.Text);
  }
}

TEST(TextCacheTest, AFullCacheEvictsTheOldestEntries) {
  TempDir dir;
  TextCache cache(dir / "cache", 1000);
  const std::string text(250, 'x');
  const std::vector<std::string> paths = {"/d/1.pdf", "/d/2.pdf", "/d/3.pdf", "/d/4.pdf"};
  // Entries of about 300 bytes, written (as their times say) from the oldest to the newest but
  // in another order.
  for (size_t i : {2, 0, 1}) {
    ASSERT_TRUE(cache.Store({paths[i], 1, 1}, DocumentError::kNone, text));
    SetModified(cache.EntryPath(paths[i]), 1000000 + static_cast<time_t>(i));
  }
  EXPECT_LE(cache.Bytes(), 1000u);
  ASSERT_TRUE(cache.Store({paths[3], 1, 1}, DocumentError::kNone, text));
  std::vector<bool> kept;
  for (const std::string& path : paths) {
    DocumentError error;
    std::string found;
    kept.push_back(cache.Find({path, 1, 1}, &error, &found));
  }
  EXPECT_EQ(kept, (std::vector<bool>{false, false, true, true}));
  EXPECT_LE(cache.Bytes(), 750u);
}

TEST(TextCacheTest, TrustsNoDamagedEntry) {
  TempDir dir;
  TextCache cache(dir / "cache");
  const DocumentKey key{"/d/a.docx", 10, 20};
  ASSERT_TRUE(cache.Store(key, DocumentError::kNone, "the text"));
  const std::string entry = cache.EntryPath(key.Path);
  std::string whole;
  {
    DocumentError error;
    ASSERT_TRUE(cache.Find(key, &error, &whole));
  }
  struct stat st;
  ASSERT_EQ(stat(entry.c_str(), &st), 0);
  for (off_t size : {st.st_size - 1, off_t{20}, off_t{0}}) {
    SCOPED_TRACE(size);
    ASSERT_EQ(truncate(entry.c_str(), size), 0);
    DocumentError error;
    std::string text;
    EXPECT_FALSE(cache.Find(key, &error, &text));
  }
  // An entry with bytes after its text.
  ASSERT_TRUE(cache.Store(key, DocumentError::kNone, "the text"));
  {
    FILE* f = fopen(entry.c_str(), "ab");
    ASSERT_NE(f, nullptr);
    fputs("more", f);
    fclose(f);
  }
  DocumentError error;
  std::string text;
  EXPECT_FALSE(cache.Find(key, &error, &text));
  // An entry of another document that happens to have the same name.
  ASSERT_TRUE(cache.Store(key, DocumentError::kNone, "the text"));
  EXPECT_FALSE(cache.Find({"/d/b.docx", 10, 20}, &error, &text));
  EXPECT_FALSE(cache.Find({key.Path, 11, 20}, &error, &text));
  EXPECT_FALSE(cache.Find({key.Path, 10, 21}, &error, &text));
}

TEST(TextCacheTest, RemembersADocumentPassedOver) {
  TempDir dir;
  TextCache cache(dir / "cache");
  const std::string doc = dir / "bad.rtf";
  dir.Write("bad.rtf", "not rtf at all");
  const int fd = open(doc.c_str(), O_RDONLY);
  std::string text;
  EXPECT_EQ(CachedDocumentText(&cache, DocumentKind::kRtf, fd, doc, nullptr, &text),
            DocumentError::kDamaged);
  close(fd);
  struct stat st;
  ASSERT_EQ(stat(doc.c_str(), &st), 0);
  DocumentError error = DocumentError::kNone;
  ASSERT_TRUE(cache.Find({doc, st.st_size, st.st_mtim.tv_sec * 1000000000 + st.st_mtim.tv_nsec},
                         &error, &text));
  EXPECT_EQ(error, DocumentError::kDamaged);
}

}  // namespace
}  // namespace jollix
