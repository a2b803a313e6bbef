// Runs the fuzz target of the HTML text routines over generated inputs. The inputs are glued
// from pieces that steer into every branch (tags, entities, references, dot segments, schemes,
// GBK bytes), so a bounded number of them covers what a long fuzzing run would reach first.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace jollix {
namespace {

const char* const kPieces[] = {"<",        ">",
                               "<b>",      "</a>",
                               "&",        "&#",
                               "&#x",      ";",
                               "amp;",     "nbsp;",
                               "lt",       "&amp;",
                               "&nbsp;",   "&copy;",
                               "&reg",     "&quot;",
                               "#",        "0",
                               "65",       "999",
                               " ",        "  ",
                               "\t",       "\r\n",
                               "\v",       "/",
                               "//",       ".",
                               "..",       "...",
                               "./",       "../",
                               ".../",     "?",
                               "=",        "http://",
                               "HTTP://",  "https://",
                               "ftp://",   "mms://",
                               ":",        ":80",
                               ":0",       ":99999",
                               "h",        "www.example.com",
                               "x.htm",    "\xC4\xE3",
                               "\xA1\xA1", "\x80",
                               "\xFF",     "\x5C",
                               "%",        "+"};

TEST(HtmlTextFuzz, GeneratedInputs) {
  std::mt19937 random(20070408);
  std::uniform_int_distribution<size_t> piece(0, std::size(kPieces) - 1);
  std::uniform_int_distribution<int> count(0, 40);
  std::uniform_int_distribution<int> byte(0, 255);
  std::uniform_int_distribution<int> raw(0, 9);
  for (int round = 0; round < 40000; ++round) {
    std::string input;
    for (int n = count(random); n > 0; --n) {
      if (raw(random) == 0) {
        input += static_cast<char>(byte(random));
      } else if (raw(random) == 1) {
        input += '\0';  // separates base and link
      } else {
        input += kPieces[piece(random)];
      }
    }
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(input.data()), input.size());
  }
  // Long inputs: many tags, and a deep path of dot segments.
  std::string long_input;
  for (int i = 0; i < 20000; ++i) long_input += kPieces[piece(random)];
  LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(long_input.data()), long_input.size());
  std::string dots = "http://h";
  for (int i = 0; i < 3000; ++i) dots += "/a/../.../.";
  dots += '\0';
  dots += "../x";
  LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(dots.data()), dots.size());
}

}  // namespace
}  // namespace jollix
