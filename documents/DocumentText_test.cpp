#include "documents/DocumentText.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "testing/DocumentFiles.h"
#include "testing/TempDir.h"

namespace jollix {
namespace {

TEST(DocumentTextTest, ChoosesTheExtractorByTheExtension) {
  struct Case {
    const char* Name;
    DocumentKind Kind;
  };
  const std::vector<Case> cases = {
      {"a.docx", DocumentKind::kZipXml},    {"A.XLSX", DocumentKind::kZipXml},
      {"b.pptx", DocumentKind::kZipXml},    {"c.odt", DocumentKind::kZipXml},
      {"c.ods", DocumentKind::kZipXml},     {"c.odp", DocumentKind::kZipXml},
      {"d.Pdf", DocumentKind::kPdf},        {"e.rtf", DocumentKind::kRtf},
      {"f.txt", DocumentKind::kPlain},      {"docx", DocumentKind::kPlain},
      {"g.docx.txt", DocumentKind::kPlain}, {"h.pdfx", DocumentKind::kPlain},
  };
  for (const Case& c : cases) EXPECT_EQ(DocumentKindOf(c.Name), c.Kind) << c.Name;
}

TEST(DocumentTextTest, ReadsAFileWholeWithinItsLimit) {
  testing::TempDir dir;
  dir.Write("a.rtf", "{\\rtf1 needle}");
  const int fd = open((dir / "a.rtf").c_str(), O_RDONLY);
  ASSERT_GE(fd, 0);
  std::string text;
  EXPECT_EQ(ExtractDocumentFile(DocumentKind::kRtf, fd, DocumentLimits{}, &text),
            DocumentError::kNone);
  EXPECT_EQ(text, "needle");
  DocumentLimits small;
  small.MaxFile = 10;
  EXPECT_EQ(ExtractDocumentFile(DocumentKind::kRtf, fd, small, &text), DocumentError::kTooLarge);
  EXPECT_EQ(text, "");
  close(fd);
}

}  // namespace
}  // namespace jollix
