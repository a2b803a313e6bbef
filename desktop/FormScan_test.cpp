// The scan for the first of several forms against trying every position in turn, on buffers of
// few distinct bytes (so that forms occur, overlap and almost occur) and of every length
// around the sixteen-position blocks.
#include "desktop/FormScan.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace jollix {
namespace {

std::string RandomBytes(std::mt19937& random, size_t size, const std::string& alphabet) {
  std::string bytes;
  for (size_t i = 0; i < size; ++i) bytes.push_back(alphabet[random() % alphabet.size()]);
  return bytes;
}

TEST(FormScan, FindsTheFirstFormAsTheReferenceDoes) {
  std::mt19937 random(11);
  // Few bytes, and bytes of UTF-8 and GBK Chinese text, whose high bits the vector compare
  // must treat as any other.
  const std::string alphabets[] = {"ab", "abc\xE9\x87", "\xE9\x87\x8C\xE7\xA8\x8B\xC0\xEF"};
  int found = 0;
  for (int round = 0; round < 3000; ++round) {
    const std::string& alphabet = alphabets[round % 3];
    std::vector<std::string> forms;
    const size_t form_count = 1 + random() % 4;
    for (size_t f = 0; f < form_count; ++f) {
      forms.push_back(RandomBytes(random, 1 + random() % 9, alphabet));
    }
    // An allocation of the buffer's exact size, so that a read past its end is seen.
    const std::string text = RandomBytes(random, random() % 80, alphabet);
    const std::vector<unsigned char> buffer(text.begin(), text.end());
    const unsigned char* buf = buffer.data();
    const int64_t want = FirstFormStartPlain(buf, buffer.size(), forms);
    ASSERT_EQ(FirstFormStart(buf, buffer.size(), forms), want)
        << "round " << round << ", " << buffer.size() << " bytes";
    found += want >= 0;
  }
  // Both outcomes were tried often.
  EXPECT_GT(found, 500);
  EXPECT_LT(found, 2500);
}

TEST(FormScan, AFormMustEndInsideTheBuffer) {
  const std::string buffer = std::string(40, 'x') + "milest";
  const auto* buf = reinterpret_cast<const unsigned char*>(buffer.data());
  EXPECT_EQ(FirstFormStart(buf, buffer.size(), {"milestone"}), -1);
  EXPECT_EQ(FirstFormStart(buf, buffer.size(), {"milestone", "mile"}), 40);
  EXPECT_EQ(FirstFormStart(buf, buffer.size() - 3, {"mile"}), -1);
}

}  // namespace
}  // namespace jollix
