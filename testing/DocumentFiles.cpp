#include "testing/DocumentFiles.h"

#include <zip.h>

#include <cstdio>
#include <cstdlib>

namespace jollix::testing {

std::string U8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

std::string ZipBytes(const std::vector<std::pair<std::string, std::string>>& parts) {
  zip_error_t error;
  zip_error_init(&error);
  zip_source_t* target = zip_source_buffer_create(nullptr, 0, 0, &error);
  zip_t* zip = zip_open_from_source(target, ZIP_TRUNCATE, &error);
  if (!zip) std::abort();
  zip_source_keep(target);
  for (const auto& [name, content] : parts) {
    zip_source_t* s = zip_source_buffer(zip, content.data(), content.size(), 0);
    if (!s || zip_file_add(zip, name.c_str(), s, ZIP_FL_ENC_UTF_8) < 0) std::abort();
  }
  if (zip_close(zip) != 0) std::abort();
  std::string bytes;
  zip_stat_t st;
  if (zip_source_stat(target, &st) == 0 && zip_source_open(target) == 0) {
    bytes.resize(st.size);
    const zip_int64_t got = zip_source_read(target, bytes.data(), bytes.size());
    bytes.resize(got > 0 ? static_cast<size_t>(got) : 0);
    zip_source_close(target);
  }
  zip_source_free(target);
  zip_error_fini(&error);
  return bytes;
}

std::string PdfBytes(const std::vector<std::string>& objects) {
  std::string pdf = "%PDF-1.4\n%\xE2\xE3\xCF\xD3\n";
  std::vector<size_t> offsets;
  for (size_t i = 0; i < objects.size(); ++i) {
    offsets.push_back(pdf.size());
    pdf += std::to_string(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
  }
  const size_t xref = pdf.size();
  pdf += "xref\n0 " + std::to_string(objects.size() + 1) + "\n0000000000 65535 f \n";
  for (size_t offset : offsets) {
    char line[24];
    std::snprintf(line, sizeof line, "%010zu 00000 n \n", offset);
    pdf += line;
  }
  pdf += "trailer\n<< /Size " + std::to_string(objects.size() + 1) +
         " /Root 1 0 R >>\nstartxref\n" + std::to_string(xref) + "\n%%EOF\n";
  return pdf;
}

namespace {

std::string Stream(const std::string& content) {
  return "<< /Length " + std::to_string(content.size()) + " >>\nstream\n" + content + "\nendstream";
}

std::string OnePage(const std::string& font, const std::string& content,
                    const std::vector<std::string>& more) {
  std::vector<std::string> objects = {
      "<< /Type /Catalog /Pages 2 0 R >>",
      "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
      "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 595 842] /Resources << /Font << /F1 5 0 R "
      ">> >> /Contents 4 0 R >>",
      Stream(content),
      font,
  };
  objects.insert(objects.end(), more.begin(), more.end());
  return PdfBytes(objects);
}

}  // namespace

std::string CidFontPdf(const std::string& utf16_hex) {
  return OnePage(
      "<< /Type /Font /Subtype /Type0 /BaseFont /STSong-Light /Encoding /UniGB-UCS2-H "
      "/DescendantFonts [6 0 R] >>",
      "BT /F1 24 Tf 72 700 Td <" + utf16_hex + "> Tj ET",
      {"<< /Type /Font /Subtype /CIDFontType0 /BaseFont /STSong-Light /CIDSystemInfo << "
       "/Registry (Adobe) /Ordering (GB1) /Supplement 4 >> /FontDescriptor 7 0 R /DW 1000 >>",
       "<< /Type /FontDescriptor /FontName /STSong-Light /Flags 6 /FontBBox [0 -200 1000 900] "
       "/ItalicAngle 0 /Ascent 880 /Descent -120 /CapHeight 880 /StemV 93 >>"});
}

std::string LatinPdf(const std::string& text) {
  return OnePage("<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>",
                 "BT /F1 24 Tf 72 700 Td (" + text + ") Tj ET", {});
}

}  // namespace jollix::testing
