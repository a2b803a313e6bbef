#include <string>

#include "documents/DocumentsFuzz.h"
#include "documents/FuzzCheck.h"
#include "documents/PdfText.h"

namespace jollix {

int FuzzPdfText(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  std::string text;
  CheckOutcome(ExtractPdfText(bytes, FuzzLimits(), &text), text);
  return 0;
}

}  // namespace jollix

#ifdef JOLLIX_LIBFUZZER
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return jollix::FuzzPdfText(data, size);
}
#endif
