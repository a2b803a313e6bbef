#include <string>

#include "documents/DocumentsFuzz.h"
#include "documents/FuzzCheck.h"
#include "documents/RtfText.h"

namespace jollix {

int FuzzRtfText(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  std::string text;
  CheckOutcome(ExtractRtfText(bytes, FuzzLimits(), &text), text);
  return 0;
}

}  // namespace jollix

#ifdef JOLLIX_LIBFUZZER
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return jollix::FuzzRtfText(data, size);
}
#endif
