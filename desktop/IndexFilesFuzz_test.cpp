// Runs the fuzz target of the index loader and query engine over generated inputs: directories
// whose lists are laid out as the builder lays them out, ascending over record lines' starts (so
// the searches run, and meet the damage of one list in twenty), and raw ones (starts and lengths
// anywhere), cut directories, mixed stamps, and record files made of real lines, cut lines and
// stray bytes. The lists that the target's searches read (the text types', those of "a",
// ".txt", "tmp" and 报) are named most often.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <set>
#include <string>

#include "common/IndexLayout.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace jollix {
namespace {

const char* const kLines[] = {"_tmp\t/\t0\t0\n",   "_a.txt\t/tmp/\t5\t1170000000\n",
                              "Dtmp\t/\t0\t0\n",   "_报告.txt\t/\t1\t2\n",
                              "X.txt\t/\t0\t0\n",  "_bad.txt\t/\tx\n",
                              "_a\t/\t-1\t-1\r\n", "_tmp\t/"};

void Put32(std::string* out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out->push_back(static_cast<char>(v >> (8 * i)));
}

class Generator {
 public:
  explicit Generator(uint32_t seed) : random_(seed) {}

  std::string Input() {
    std::string records;
    std::vector<uint32_t> starts;
    for (int n = Below(8); n > 0; --n) {
      starts.push_back(static_cast<uint32_t>(records.size()));
      records += Below(10) == 0 ? std::string(1, static_cast<char>(Below(256)))
                                : kLines[Below(std::size(kLines))];
    }
    // Lists in number order, each ascending over line starts, as the builder writes them; one
    // in twenty is damaged.
    std::set<uint32_t> lists;
    for (int n = Below(12); n > 0; --n) lists.insert(List());
    std::string entries, postings;
    const bool raw = Below(4) == 0;
    for (uint32_t list : lists) {
      // Every line, or some.
      std::set<uint32_t> chosen;
      if (Below(3) != 0) chosen.insert(starts.begin(), starts.end());
      for (int n = Below(6); n > 0 && !starts.empty(); --n)
        chosen.insert(starts[Below(starts.size())]);
      std::vector<uint32_t> values(chosen.begin(), chosen.end());
      if (Below(20) == 0) Damage(&values, static_cast<uint32_t>(records.size()));
      // A raw entry may start anywhere, at 0 (where other lists start) or in its place, and
      // may be of any length.
      const int where = raw ? Below(3) : 2;
      Put32(&entries, list);
      Put32(&entries, where == 0 ? Any() : where == 1 ? 0 : static_cast<uint32_t>(postings.size()));
      Put32(&entries, raw && Below(2) ? Any() : static_cast<uint32_t>(values.size()));
      for (uint32_t v : values) Put32(&postings, v);
    }
    std::string input;
    input += static_cast<char>((Below(10) == 0 ? 2 : 0) | (Below(10) == 0 ? 4 : 0));
    input += static_cast<char>(lists.size());
    input += entries;
    input += static_cast<char>(postings.size());
    input += static_cast<char>(postings.size() >> 8);
    return input + postings + records;
  }

 private:
  int Below(size_t n) {
    return static_cast<int>(std::uniform_int_distribution<size_t>(0, n - 1)(random_));
  }
  uint32_t Any() { return std::uniform_int_distribution<uint32_t>()(random_); }
  // The lists that the target's searches read, most of the time.
  uint32_t List() {
    const int read[] = {TypeListNumber(1),
                        TypeListNumber(2),
                        TypeListNumber(3),
                        'a',
                        '.',
                        PairListNumber('.', 't'),
                        PairListNumber('t', 'x'),
                        PairListNumber('x', 't'),
                        PairListNumber('t', 'm'),
                        PairListNumber('m', 'p'),
                        0xB1A8};
    return Below(5) == 0 ? Any() % kListCount : static_cast<uint32_t>(read[Below(std::size(read))]);
  }
  // A posting anywhere, one just past the records, or two out of order.
  void Damage(std::vector<uint32_t>* values, uint32_t records_size) {
    const int kind = Below(3);
    if (kind == 0 || values->empty())
      values->push_back(kind == 0 ? Any() : records_size + Below(8));
    else if (kind == 1)
      values->back() = records_size + Below(8);
    else
      values->push_back(values->front());
  }

  std::mt19937 random_;
};

TEST(IndexFilesFuzz, GeneratedInputs) {
  Generator generator(20070408);
  ::testing::internal::CaptureStdout();  // the engine's lines about damaged indexes
  for (int round = 0; round < 120; ++round) {
    const std::string input = generator.Input();
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(input.data()), input.size());
  }
  ::testing::internal::GetCapturedStdout();
}

}  // namespace
}  // namespace jollix
