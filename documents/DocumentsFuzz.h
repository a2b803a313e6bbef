// Fuzz targets of the document extractors, one per format family. Each checks, besides memory
// safety (AddressSanitizer), what every outcome must satisfy: no text with an error, never more
// text than the limit. libFuzzer calls them when built with JOLLIX_FUZZ (each file then defines
// LLVMFuzzerTestOneInput), and DocumentsFuzz_test.cpp feeds them generated inputs in every test
// build.
#pragma once

#include <cstddef>
#include <cstdint>

namespace jollix {

// The first byte chooses: odd, the rest is a zip package; even, the rest is the XML of a
// package's word/document.xml (so the XML reader is reached without a valid zip).
int FuzzZipXmlText(const uint8_t* data, size_t size);
int FuzzPdfText(const uint8_t* data, size_t size);
int FuzzRtfText(const uint8_t* data, size_t size);

}  // namespace jollix
