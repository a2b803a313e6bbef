// What every extraction's outcome must satisfy, for the fuzz targets.
#pragma once

#include <cstdlib>
#include <string>

#include "documents/DocumentText.h"

namespace jollix {

inline DocumentLimits FuzzLimits() {
  DocumentLimits limits;
  limits.MaxText = 1 << 20;
  limits.MaxPart = 8 << 20;
  limits.MaxInflated = 16 << 20;
  limits.MaxMilliseconds = 5000;
  return limits;
}

inline void CheckOutcome(DocumentError error, const std::string& text) {
  if (error != DocumentError::kNone && !text.empty()) std::abort();
  if (text.size() > FuzzLimits().MaxText) std::abort();
}

}  // namespace jollix
