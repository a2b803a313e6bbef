// Runs the fuzz targets of the document extractors over generated inputs: RTF and XML glued
// from pieces that steer into every branch (groups, destinations, escapes, code pages; elements
// of both package formats, entities, blanks), and valid packages and PDFs with bytes changed or
// cut off, so that a bounded number of inputs covers what a long fuzzing run would reach first.
#include "documents/DocumentsFuzz.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "testing/DocumentFiles.h"

namespace jollix {
namespace {

using Fuzz = int (*)(const uint8_t*, size_t);

void Feed(Fuzz fuzz, const std::string& input) {
  fuzz(reinterpret_cast<const uint8_t*>(input.data()), input.size());
}

std::string Glued(std::mt19937& random, const std::vector<std::string>& pieces, int most) {
  std::uniform_int_distribution<size_t> piece(0, pieces.size() - 1);
  std::uniform_int_distribution<int> count(0, most);
  std::uniform_int_distribution<int> byte(0, 255);
  std::string input;
  for (int n = count(random); n > 0; --n) {
    if (byte(random) < 16) {
      input += static_cast<char>(byte(random));
    } else {
      input += pieces[piece(random)];
    }
  }
  return input;
}

// seed with a few bytes changed, or cut off.
std::string Mutated(std::mt19937& random, std::string seed) {
  std::uniform_int_distribution<size_t> at(0, seed.size() - 1);
  std::uniform_int_distribution<int> byte(0, 255);
  if (byte(random) < 64) return seed.substr(0, at(random));
  for (int n = 1 + byte(random) % 8; n > 0; --n) seed[at(random)] = static_cast<char>(byte(random));
  return seed;
}

TEST(DocumentsFuzz, RtfFromPieces) {
  const std::vector<std::string> pieces = {"{",
                                           "}",
                                           "{\\rtf1 ",
                                           "\\ansicpg936 ",
                                           "\\ansicpg1252",
                                           "\\ansicpg99999",
                                           "\\'",
                                           "\\'ba",
                                           "\\'cf",
                                           "\\'g",
                                           "\\u",
                                           "\\u21512",
                                           "\\u-10179",
                                           "\\u-8704",
                                           "\\u-",
                                           "\\uc0",
                                           "\\uc2 ",
                                           "\\uc99999999999",
                                           "\\*",
                                           "\\fonttbl",
                                           "\\pict",
                                           "\\bin",
                                           "\\bin5 ",
                                           "\\bin-1",
                                           "\\bin99999999999",
                                           "\\par",
                                           "\\\\",
                                           "\\{",
                                           "\\}",
                                           "\\~",
                                           "?",
                                           " ",
                                           "text",
                                           "\r\n",
                                           "\\",
                                           "\\x",
                                           "\\abcdefghijklmnopqrstuvwxyzabcdefghij",
                                           "0123456789012"};
  std::mt19937 random(1);
  for (int round = 0; round < 2000; ++round) {
    Feed(FuzzRtfText, "{\\rtf1 " + Glued(random, pieces, 40));
  }
}

TEST(DocumentsFuzz, PackageXmlFromPieces) {
  const std::vector<std::string> pieces = {
      "<w:document xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\">",
      "<text:p xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\">",
      "<w:p>",
      "</w:p>",
      "<w:t>",
      "</w:t>",
      "<t>",
      "</t>",
      "<rPh>",
      "</rPh>",
      "<si>",
      "</si>",
      "<text:s text:c=\"-5\"/>",
      "<text:s text:c=\"99999999999\"/>",
      "<text:s/>",
      "<w:tab/>",
      "<br/>",
      "</text:p>",
      "</w:document>",
      "&amp;",
      "&#x5408;",
      "&#0;",
      "&unknown;",
      "<!DOCTYPE d [<!ENTITY e \"eeeeeeeeee\">]>",
      "&e;",
      "<![CDATA[x]]>",
      "<?xml version=\"1.0\"?>",
      "text",
      " ",
      "<",
      ">",
      "\"",
      "\xE5\x90\x88",
      "\xFF"};
  std::mt19937 random(2);
  for (int round = 0; round < 300; ++round) {
    Feed(FuzzZipXmlText, std::string(1, '\0') + Glued(random, pieces, 30));
  }
}

TEST(DocumentsFuzz, PackagesWithBytesChanged) {
  const std::string seed = testing::ZipBytes(
      {{"word/document.xml", "<w:document><w:p><w:r><w:t>needle</w:t></w:r></w:p></w:document>"},
       {"content.xml", "<p>needle</p>"}});
  std::mt19937 random(3);
  for (int round = 0; round < 2000; ++round) Feed(FuzzZipXmlText, "\x01" + Mutated(random, seed));
}

TEST(DocumentsFuzz, PdfsWithBytesChanged) {
  const std::vector<std::string> seeds = {testing::CidFontPdf("5408540C"),
                                          testing::LatinPdf("Contract")};
  std::mt19937 random(4);
  for (int round = 0; round < 60; ++round) {
    Feed(FuzzPdfText, Mutated(random, seeds[round % seeds.size()]));
  }
}

}  // namespace
}  // namespace jollix
