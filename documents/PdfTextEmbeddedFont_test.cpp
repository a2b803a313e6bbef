// Chinese text in a PDF whose font is embedded (a subset, with its ToUnicode map), as office
// programs and printers to PDF write it: made here with Qt's PDF writer and the WenQuanYi font.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QFont>
#include <QPainter>
#include <QPdfWriter>
#include <string>

#include "documents/PdfText.h"
#include "testing/DocumentFiles.h"
#include "testing/QtTestApp.h"

namespace jollix {
namespace {

std::string PdfWithEmbeddedFont(const QString& text) {
  testing::EnsureApplication();
  QBuffer buffer;
  buffer.open(QIODevice::WriteOnly);
  {
    QPdfWriter writer(&buffer);
    QPainter painter(&writer);
    QFont font(QStringLiteral("WenQuanYi Micro Hei"));
    font.setPointSize(24);
    painter.setFont(font);
    painter.drawText(QPointF(200, 600), text);
  }
  return buffer.data().toStdString();
}

TEST(PdfTextEmbeddedFontTest, ReadsChineseOfAnEmbeddedFont) {
  const std::string pdf = PdfWithEmbeddedFont(QString::fromUtf8(u8"租赁合同书"));
  ASSERT_NE(pdf.find("/FontFile2"), std::string::npos) << "the font is not embedded";
  std::string text;
  ASSERT_EQ(ExtractPdfText(pdf, DocumentLimits{}, &text), DocumentError::kNone);
  EXPECT_NE(text.find(testing::U8(u8"租赁合同书")), std::string::npos) << text;
}

}  // namespace
}  // namespace jollix
