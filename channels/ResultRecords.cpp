#include "channels/ResultRecords.h"

namespace jollix {

size_t FitText(char* field, size_t width, const char* text, size_t length) {
  if (width == 0) return 0;
  const auto* bytes = reinterpret_cast<const unsigned char*>(text);
  size_t fitted = 0;
  while (fitted < length) {
    bool lead = bytes[fitted] >= 0x81 && bytes[fitted] <= 0xFE && fitted + 1 < length;
    size_t next = fitted + (lead ? 2 : 1);
    if (next > width - 1) break;
    fitted = next;
  }
  std::memcpy(field, text, fitted);
  field[fitted] = '\0';
  return fitted;
}

}  // namespace jollix
