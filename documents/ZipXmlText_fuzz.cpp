#include <string>

#include "documents/DocumentsFuzz.h"
#include "documents/FuzzCheck.h"
#include "documents/ZipXmlText.h"
#include "testing/DocumentFiles.h"

namespace jollix {

int FuzzZipXmlText(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  std::string rest(reinterpret_cast<const char*>(data) + 1, size - 1);
  if (data[0] % 2 == 0) rest = testing::ZipBytes({{"word/document.xml", rest}});
  std::string text;
  CheckOutcome(ExtractZipXmlText(rest, FuzzLimits(), &text), text);
  return 0;
}

}  // namespace jollix

#ifdef JOLLIX_LIBFUZZER
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return jollix::FuzzZipXmlText(data, size);
}
#endif
