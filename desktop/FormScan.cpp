#include "desktop/FormScan.h"

#include <algorithm>
#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif
#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#endif

namespace jollix {
namespace {

bool FormAt(const unsigned char* buf, size_t k, size_t start, const std::string& form) {
  return start + form.size() <= k && std::memcmp(buf + start, form.data(), form.size()) == 0;
}

// The plain scan from position from on.
int64_t ScanFrom(const unsigned char* buf, size_t k, const std::vector<std::string>& forms,
                 size_t from) {
  for (size_t start = from; start < k; ++start) {
    for (const std::string& form : forms) {
      if (FormAt(buf, k, start, form)) return static_cast<int64_t>(start);
    }
  }
  return -1;
}

// Of the starts in a block whose bits mask sets (the form's first and last bytes agree there),
// the first before *best at which the whole form stands lowers *best.
inline void LowerToFirstMatch(unsigned mask, const unsigned char* block, const std::string& form,
                              size_t* best) {
  for (; mask != 0; mask &= mask - 1) {
    const size_t at = static_cast<size_t>(__builtin_ctz(mask));
    if (at >= *best) return;
    if (std::memcmp(block + at, form.data(), form.size()) == 0) {
      *best = at;
      return;
    }
  }
}

}  // namespace

int64_t FirstFormStartPlain(const unsigned char* buf, size_t k,
                            const std::vector<std::string>& forms) {
  return ScanFrom(buf, k, forms, 0);
}

#if defined(__x86_64__) && defined(__GNUC__)
namespace {

// Blocks of thirty-two start positions (AVX2, on the processors that have it): the scan of
// FirstFormStart, twice as wide; the first position not tried, or -1 - the start found.
__attribute__((target("avx2"))) int64_t ScanWide(const unsigned char* buf, size_t k,
                                                 const std::vector<std::string>& forms,
                                                 size_t longest) {
  size_t start = 0;
  for (; start + 31 + longest <= k; start += 32) {
    const __m256i here = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(buf + start));
    size_t best = 32;
    for (const std::string& form : forms) {
      const size_t m = form.size();
      const __m256i first = _mm256_set1_epi8(form[0]), last = _mm256_set1_epi8(form[m - 1]);
      const __m256i there =
          _mm256_loadu_si256(reinterpret_cast<const __m256i*>(buf + start + m - 1));
      unsigned mask = static_cast<unsigned>(_mm256_movemask_epi8(
          _mm256_and_si256(_mm256_cmpeq_epi8(here, first), _mm256_cmpeq_epi8(there, last))));
      LowerToFirstMatch(mask, buf + start, form, &best);
    }
    if (best < 32) return -1 - static_cast<int64_t>(start + best);
  }
  return static_cast<int64_t>(start);
}

const bool kWide = __builtin_cpu_supports("avx2");

}  // namespace
#endif

int64_t FirstFormStart(const unsigned char* buf, size_t k, const std::vector<std::string>& forms) {
  size_t start = 0;
#ifdef __SSE2__
  size_t longest = 0;
  for (const std::string& form : forms) longest = std::max(longest, form.size());
  if (longest == 0) return ScanFrom(buf, k, forms, 0);
#if defined(__x86_64__) && defined(__GNUC__)
  if (kWide) {
    const int64_t wide = ScanWide(buf, k, forms, longest);
    if (wide < 0) return -1 - wide;
    start = static_cast<size_t>(wide);
  }
#endif
  // Blocks of sixteen start positions whose every form's last byte lies inside buf.
  for (; start + 15 + longest <= k; start += 16) {
    const __m128i here = _mm_loadu_si128(reinterpret_cast<const __m128i*>(buf + start));
    size_t best = 16;  // the first start in the block found so far, as an offset
    for (const std::string& form : forms) {
      const size_t m = form.size();
      const __m128i first = _mm_set1_epi8(form[0]), last = _mm_set1_epi8(form[m - 1]);
      const __m128i there = _mm_loadu_si128(reinterpret_cast<const __m128i*>(buf + start + m - 1));
      unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(
          _mm_and_si128(_mm_cmpeq_epi8(here, first), _mm_cmpeq_epi8(there, last))));
      LowerToFirstMatch(mask, buf + start, form, &best);
    }
    if (best < 16) return static_cast<int64_t>(start + best);
  }
#endif
  return ScanFrom(buf, k, forms, start);
}

}  // namespace jollix
