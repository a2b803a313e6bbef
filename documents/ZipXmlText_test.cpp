#include "documents/ZipXmlText.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "testing/DocumentFiles.h"

namespace jollix {
namespace {

using testing::U8;
using testing::ZipBytes;
using Parts = std::vector<std::pair<std::string, std::string>>;

const std::string kWord =
    R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<w:document xmlns:w="http://schemas.openxmlformats.org/wordprocessingml/2006/main">)";
const std::string kSheet = R"(xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main")";
const std::string kDrawing =
    R"(xmlns:a="http://schemas.openxmlformats.org/drawingml/2006/main" xmlns:p="http://schemas.openxmlformats.org/presentationml/2006/main")";
const std::string kOffice =
    R"(<office:document-content xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0" xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0" xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0"><office:body>)";

struct Case {
  const char* What;
  Parts Package;
  std::vector<std::string> Found;   // in the text
  std::vector<std::string> Absent;  // not in it: joins across paragraphs, text that is no text
};

std::vector<Case> Cases() {
  return {
      {"a word processing document, a word split over three runs",
       {{"[Content_Types].xml", "<Types/>"},
        {"word/document.xml",
         kWord + U8(u8"<w:body><w:p><w:r><w:t>签订</w:t></w:r><w:r><w:rPr><w:b/></w:rPr>"
                    u8"<w:t>合</w:t></w:r><w:r><w:t xml:space=\"preserve\">同书 </w:t></w:r></w:p>"
                    u8"<w:p><w:r><w:t>甲方</w:t></w:r></w:p><w:tbl><w:tr><w:tc><w:p><w:r>"
                    u8"<w:t>Con</w:t></w:r><w:r><w:t>tract</w:t></w:r></w:p></w:tc></w:tr></w:tbl>"
                    u8"</w:body></w:document>")},
        {"word/header1.xml", kWord + U8(u8"<w:p><w:r><w:t>页眉</w:t></w:r></w:p></w:document>")},
        {"word/footnotes.xml", kWord + "<w:p><w:r><w:t>footnote</w:t></w:r></w:p></w:document>"},
        {"word/styles.xml", kWord + "<w:p><w:r><w:t>StyleName</w:t></w:r></w:p></w:document>"}},
       {U8(u8"签订合同书"), "Contract", U8(u8"页眉"), "footnote"},
       {U8(u8"书甲"), U8(u8"书 甲"), U8(u8"甲方Con"), "StyleName"}},
      {"a workbook: shared strings with rich runs and a sheet with an inline string",
       {{"xl/sharedStrings.xml",
         "<sst " + kSheet +
             U8(u8"><si><t>总额</t></si><si><r><t>合</t></r><r><t>同</t></r>"
                u8"<rPh><t>ごうどう</t></rPh></si></sst>")},
        {"xl/worksheets/sheet1.xml",
         "<worksheet " + kSheet +
             U8(u8"><sheetData><row><c t=\"inlineStr\"><is><t>行内</t></is></c><c><v>42</v></c>"
                u8"</row></sheetData></worksheet>")}},
       {U8(u8"合同"), U8(u8"总额"), U8(u8"行内")},
       {U8(u8"ごうどう"), U8(u8"总额合")}},
      {"a presentation: slides and notes",
       {{"ppt/slides/slide1.xml",
         "<p:sld " + kDrawing +
             U8(u8"><a:p><a:r><a:t>项目</a:t></a:r><a:r><a:t>计划</a:t></a:r></a:p>"
                u8"<a:p><a:r><a:t>第二段</a:t></a:r></a:p></p:sld>")},
        {"ppt/notesSlides/notesSlide1.xml",
         "<p:notes " + kDrawing + "><a:p><a:r><a:t>speaker</a:t></a:r></a:p></p:notes>"},
        {"ppt/slideLayouts/slideLayout1.xml",
         "<p:sldLayout " + kDrawing + "><a:p><a:r><a:t>Layout</a:t></a:r></a:p></p:sldLayout>"}},
       {U8(u8"项目计划"), "speaker"},
       {U8(u8"计划第二段"), "Layout"}},
      {"an OpenDocument text: spans, blanks, headings",
       {{"mimetype", "application/vnd.oasis.opendocument.text"},
        {"content.xml",
         kOffice + U8(u8"<office:text><text:h>标题</text:h><text:p>租赁<text:span>合</text:span>"
                      u8"同</text:p><text:p>two<text:s text:c=\"2\"/>blanks</text:p>"
                      u8"</office:text></office:body></office:document-content>")},
        {"styles.xml", "<x>StyleText</x>"}},
       {U8(u8"租赁合同"), U8(u8"标题"), "two  blanks"},
       {U8(u8"标题租赁"), U8(u8"同two"), "StyleText"}},
      {"an OpenDocument spreadsheet: each cell its own line",
       {{"content.xml",
         kOffice + U8(u8"<office:spreadsheet><table:table><table:table-row><table:table-cell>"
                      u8"<text:p>单价</text:p></table:table-cell><table:table-cell><text:p>数量"
                      u8"</text:p></table:table-cell></table:table-row></table:table>"
                      u8"</office:spreadsheet></office:body></office:document-content>")}},
       {U8(u8"单价"), U8(u8"数量")},
       {U8(u8"单价数量")}},
  };
}

TEST(ZipXmlTextTest, TakesTheTextPartsOfAPackage) {
  for (const Case& c : Cases()) {
    SCOPED_TRACE(c.What);
    std::string text;
    ASSERT_EQ(ExtractZipXmlText(ZipBytes(c.Package), DocumentLimits{}, &text),
              DocumentError::kNone);
    for (const std::string& word : c.Found) EXPECT_NE(text.find(word), std::string::npos) << word;
    for (const std::string& word : c.Absent) EXPECT_EQ(text.find(word), std::string::npos) << word;
  }
}

// package with the uncompressed size of every part written as size in its headers (local and
// central), as a crafted zip bomb declares a harmless size.
std::string DeclaringSize(std::string package, uint32_t size) {
  auto patch = [&](std::string_view signature, size_t offset) {
    for (size_t at = package.find(signature); at != std::string::npos;
         at = package.find(signature, at + 4)) {
      for (int i = 0; i < 4; ++i) package[at + offset + i] = static_cast<char>(size >> (8 * i));
    }
  };
  patch(std::string_view("PK\x03\x04", 4), 22);
  patch(std::string_view("PK\x01\x02", 4), 24);
  return package;
}

TEST(ZipXmlTextTest, PassesOverBadPackages) {
  const std::string document = kWord + "<w:p><w:r><w:t>needle</w:t></w:r></w:p></w:document>";
  const std::string good = ZipBytes({{"word/document.xml", document}});
  // A part that inflates to 16 times the limit from a few kilobytes.
  DocumentLimits small;
  small.MaxPart = 1 << 20;
  const std::string bomb =
      ZipBytes({{"word/document.xml", kWord + "<w:p><w:r><w:t>needle</w:t></w:r></w:p>" +
                                          std::string(16 << 20, ' ') + "</w:document>"}});
  // Two parts, each within the part limit, together beyond the package's.
  DocumentLimits package_limit;
  package_limit.MaxInflated = 1 << 20;
  const std::string padded = kWord + "<w:p/>" + std::string(700 << 10, ' ') + "</w:document>";
  const std::string two_parts =
      ZipBytes({{"word/document.xml", padded}, {"word/footer1.xml", padded}});
  struct Bad {
    const char* What;
    std::string Bytes;
    DocumentLimits Limits;
    DocumentError Error;
  };
  const std::vector<Bad> bad = {
      {"truncated", good.substr(0, good.size() / 2), {}, DocumentError::kDamaged},
      {"not a zip", "PK\x03\x04 garbage", {}, DocumentError::kDamaged},
      {"XML cut off",
       ZipBytes({{"word/document.xml", document.substr(0, 80)}}),
       {},
       DocumentError::kDamaged},
      {"encrypted package",
       std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + good,
       {},
       DocumentError::kLocked},
      {"zip bomb", bomb, small, DocumentError::kTooLarge},
      {"zip bomb declaring a small size", DeclaringSize(bomb, 100), small,
       DocumentError::kTooLarge},
      {"too much inflated", two_parts, package_limit, DocumentError::kTooLarge},
  };
  for (const Bad& b : bad) {
    SCOPED_TRACE(b.What);
    std::string text = "left over";
    EXPECT_EQ(ExtractZipXmlText(b.Bytes, b.Limits, &text), b.Error);
    EXPECT_EQ(text, "");
  }
}

TEST(ZipXmlTextTest, TakesNoMoreTextThanTheLimit) {
  DocumentLimits limits;
  limits.MaxText = 1000;
  std::string paragraphs;
  for (int i = 0; i < 500; ++i) paragraphs += "<w:p><w:r><w:t>word</w:t></w:r></w:p>";
  std::string text;
  ASSERT_EQ(
      ExtractZipXmlText(ZipBytes({{"word/document.xml", kWord + paragraphs + "</w:document>"}}),
                        limits, &text),
      DocumentError::kNone);
  EXPECT_EQ(text.size(), 1000u);
  EXPECT_TRUE(text.starts_with("word\nword\n"));
}

}  // namespace
}  // namespace jollix
