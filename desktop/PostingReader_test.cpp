// The reader of posting lists against the plain intersection of whole lists, on postings files
// written to disk, with lists long enough to cross its reads.
#include "desktop/PostingReader.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <random>
#include <set>
#include <string>
#include <vector>

#include "desktop/SearchServer.h"
#include "testing/TempDir.h"

namespace jollix {
namespace {

// A postings file of the given lists, one after the other, and their directory entries.
struct PostingsFile {
  PostingsFile(const testing::TempDir& dir, const std::vector<std::vector<uint32_t>>& lists) {
    std::string bytes;
    for (const auto& list : lists) {
      entries.push_back({static_cast<uint32_t>(bytes.size()), static_cast<uint32_t>(list.size())});
      for (uint32_t v : list) {
        for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<char>(v >> (8 * i)));
      }
    }
    dir.Write("postings", bytes);
    fd = open((dir / "postings").c_str(), O_RDONLY | O_CLOEXEC);
  }
  ~PostingsFile() { close(fd); }

  int fd = -1;
  std::vector<ListEntry> entries;
};

// size ascending postings below range, each posting kept with the same chance.
std::vector<uint32_t> RandomList(std::mt19937& random, size_t size, uint32_t range) {
  std::vector<uint32_t> list;
  list.reserve(size);
  for (uint32_t v = 0; v < range && list.size() < size; ++v) {
    if (random() % (range - v) < size - list.size()) list.push_back(v);
  }
  return list;
}

TEST(PostingReader, IntersectsAsWholeListsDo) {
  testing::TempDir dir;
  std::mt19937 random(17);
  // Lists of a few postings to several reads long; a short list among long ones, as a rare
  // word's are, and lists that share nothing.
  const std::vector<std::vector<size_t>> shapes = {
      {40000, 50000, 30}, {1, 60000}, {20000, 20000, 20000}, {0, 50000}, {70000}, {5, 7, 9}};
  for (const auto& shape : shapes) {
    std::vector<std::vector<uint32_t>> lists;
    for (size_t size : shape) lists.push_back(RandomList(random, size, 200000));
    PostingsFile file(dir, lists);
    std::vector<std::vector<uint32_t>> closed = lists;
    for (auto& list : closed) list.push_back(kEndOfList);
    PostingReader reader(file.fd, 200000);
    std::vector<uint32_t> common = {99};
    ASSERT_TRUE(reader.Intersect(file.entries, &common));
    EXPECT_EQ(common, IntersectPostings(closed)) << shape.size() << " lists, first " << shape[0];
  }
}

TEST(PostingReader, RefusesDamageInWhatItReads) {
  testing::TempDir dir;
  std::mt19937 random(5);
  const std::vector<uint32_t> good = RandomList(random, 30000, 100000);
  ASSERT_EQ(good.size(), 30000u);
  std::vector<uint32_t> descending = good, past_records = good;
  std::swap(descending[25000], descending[25001]);
  past_records[29999] = 100000;
  struct Case {
    const char* what;
    std::vector<uint32_t> list;
  };
  const Case cases[] = {{"a posting out of order", descending},
                        {"a posting past the records", past_records}};
  for (const Case& c : cases) {
    PostingsFile file(dir, {c.list, good});
    PostingReader reader(file.fd, 100000);
    std::vector<uint32_t> postings = {1, 2};
    EXPECT_FALSE(reader.Append(file.entries[0], &postings)) << c.what;
    EXPECT_EQ(postings, (std::vector<uint32_t>{1, 2})) << c.what;
    // Narrowed by the damaged list, read as far as the damage.
    std::vector<uint32_t> kept = good;
    EXPECT_FALSE(reader.Narrow(file.entries[0], &kept)) << c.what;
    EXPECT_FALSE(reader.Intersect(file.entries, &kept)) << c.what;
  }
  // A list that runs past the end of the file.
  PostingsFile file(dir, {good});
  PostingReader reader(file.fd, 100000);
  std::vector<uint32_t> postings;
  EXPECT_FALSE(reader.Append({0, 30001}, &postings));
  EXPECT_TRUE(postings.empty());
}

}  // namespace
}  // namespace jollix
