// make_pinyin UNIHAN_READINGS OUTPUT: writes index/Pinyin.dat from the Unicode Han database's
// Unihan_Readings.txt (tools/make-pinyin runs it).
#include <cstdio>
#include <string>

#include "common/TextFile.h"
#include "tools/PinyinTable.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: make_pinyin Unihan_Readings.txt Pinyin.dat\n");
    return 2;
  }
  std::string source;
  if (!jollix::ReadWholeFile(argv[1], &source)) {
    std::fprintf(stderr, "make_pinyin: cannot read %s\n", argv[1]);
    return 1;
  }
  int characters = 0;
  const std::string table = jollix::tools::BuildPinyinTable(source, &characters);
  if (!jollix::WriteWholeFile(argv[2], table)) {
    std::fprintf(stderr, "make_pinyin: cannot write %s\n", argv[2]);
    return 1;
  }
  std::printf("make_pinyin: readings of %d GBK characters\n", characters);
  return 0;
}
