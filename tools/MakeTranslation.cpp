// make_translation ST_TABLE OUTPUT: writes index/Translation.dat from OpenCC's
// simplified-to-traditional character table in its text form (tools/make-translation runs it).
#include <cstdio>
#include <string>

#include "common/TextFile.h"
#include "tools/TranslationTable.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: make_translation STCharacters.txt Translation.dat\n");
    return 2;
  }
  std::string source;
  if (!jollix::ReadWholeFile(argv[1], &source)) {
    std::fprintf(stderr, "make_translation: cannot read %s\n", argv[1]);
    return 1;
  }
  int mapped = 0;
  std::vector<unsigned char> table = jollix::tools::BuildTranslationTable(source, &mapped);
  if (!jollix::WriteWholeFile(argv[2], std::string(table.begin(), table.end()))) {
    std::fprintf(stderr, "make_translation: cannot write %s\n", argv[2]);
    return 1;
  }
  std::printf("make_translation: %d simplified characters mapped to traditional forms\n", mapped);
  return 0;
}
