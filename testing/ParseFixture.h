// Running a page parser of the web channels over a fixture page.
//
// The parser gets a copy of the page in a heap block of exactly the page's size plus its NUL,
// so that AddressSanitizer reports any read past the end of the page.
#pragma once

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "channels/ResultStore.h"

namespace jollix::testing {

template <class Record>
struct Parsed {
  int result = 0;
  std::vector<Record> records;
};

template <class Record>
Parsed<Record> ParsePage(int (*parser)(ResultStore<Record>*, char*), const std::string& page) {
  std::unique_ptr<char[]> copy(new char[page.size() + 1]);
  std::memcpy(copy.get(), page.data(), page.size());
  copy[page.size()] = '\0';
  ResultStore<Record> store;
  Parsed<Record> parsed;
  parsed.result = parser(&store, copy.get());
  while (Record* record = store.Next()) parsed.records.push_back(*record);
  return parsed;
}

// Parses every prefix of page (a page cut short anywhere); returns the largest record count.
template <class Record>
size_t ParseEveryPrefix(int (*parser)(ResultStore<Record>*, char*), const std::string& page) {
  size_t most = 0;
  for (size_t n = 0; n <= page.size(); ++n) {
    size_t count = ParsePage(parser, page.substr(0, n)).records.size();
    if (count > most) most = count;
  }
  return most;
}

}  // namespace jollix::testing
