#include "documents/PdfText.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "testing/DocumentFiles.h"
#include "testing/Process.h"
#include "testing/TempDir.h"

namespace jollix {
namespace {

using testing::U8;

bool Contains(const std::string& text, const std::string& word) {
  return text.find(word) != std::string::npos;
}

TEST(PdfTextTest, ReadsChineseOfAFontThatIsNotEmbedded) {
  std::string text;
  ASSERT_EQ(ExtractPdfText(testing::CidFontPdf("5408540C4E66"), DocumentLimits{}, &text),
            DocumentError::kNone);
  EXPECT_TRUE(Contains(text, U8(u8"合同书"))) << text;
}

// A PDF written by qpdf from plain, encrypted with the passwords given.
std::string Encrypted(const std::string& plain, const std::string& user, const std::string& owner) {
  testing::TempDir dir;
  dir.Write("plain.pdf", plain);
  const testing::ProgramRun run = testing::RunProgram(
      "/usr/bin/qpdf",
      {"qpdf", "--encrypt", user, owner, "256", "--", dir / "plain.pdf", dir / "locked.pdf"}, {});
  EXPECT_EQ(run.ExitStatus, 0) << run.Err;
  return dir.Read("locked.pdf");
}

TEST(PdfTextTest, ReadsWhatOpensWithoutAPasswordAndPassesOverTheRest) {
  const std::string plain = testing::LatinPdf("Contract of lease");
  struct Case {
    const char* What;
    std::string Pdf;
    DocumentError Error;
  };
  const std::vector<Case> cases = {
      {"plain", plain, DocumentError::kNone},
      {"only an owner password", Encrypted(plain, "", "owner"), DocumentError::kNone},
      {"a user password", Encrypted(plain, "user", "owner"), DocumentError::kLocked},
      {"not a PDF", "%PDF-1.4 garbage", DocumentError::kDamaged},
      {"empty", "", DocumentError::kDamaged},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.What);
    std::string text = "left over";
    EXPECT_EQ(ExtractPdfText(c.Pdf, DocumentLimits{}, &text), c.Error);
    EXPECT_EQ(Contains(text, "Contract of lease"), c.Error == DocumentError::kNone) << text;
  }
}

}  // namespace
}  // namespace jollix
