// SPDX-License-Identifier: MIT
#pragma once
// Searches over the page text and its windows. The markers begin with characters that HTML is
// full of ('"', '<', 'n'), so a search that stops at every match of the first character and
// compares from there spends its time in calls. These test 16 positions at a time (32 where the
// processor has AVX2) for the first and the last character of the needle together and compare
// only where both match.

#include <string_view>

#if defined(__x86_64__)
#include <immintrin.h>
#elif defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace find_bytes_detail {

// The first of the candidates in `mask` (bit k: the first and the last byte of `needle` match
// at base + k) where the bytes between match too; npos when none does. A loop and not memcmp: a
// call would make the vector loops below save and reload their registers around it.
inline std::size_t FirstMatch(std::string_view text, std::string_view needle, std::size_t base, unsigned mask) {
  for (; mask != 0; mask &= mask - 1) {
    const std::size_t at = base + static_cast<std::size_t>(__builtin_ctz(mask));
    std::size_t k = 1;
    while (k + 1 < needle.size() && text[at + k] == needle[k]) ++k;
    if (k + 1 >= needle.size()) return at;
  }
  return std::string_view::npos;
}

#if defined(__x86_64__)
// The AVX2 form of the 16-byte loop below, 32 positions at a time, for processors that have it
// (nearly all since 2013; the program itself is built for the baseline). Advances `i` past the
// positions it has ruled out; npos when it found nothing there.
__attribute__((target("avx2"))) inline std::size_t FindBytes32(std::string_view text, std::string_view needle,
                                                               std::size_t& i) {
  const std::size_t m = needle.size();
  const __m256i first = _mm256_set1_epi8(needle[0]);
  const __m256i last = _mm256_set1_epi8(needle[m - 1]);
  for (; i + m - 1 + 32 <= text.size(); i += 32) {
    const __m256i head = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(text.data() + i));
    const __m256i tail = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(text.data() + i + m - 1));
    const unsigned mask = static_cast<unsigned>(
        _mm256_movemask_epi8(_mm256_and_si256(_mm256_cmpeq_epi8(head, first), _mm256_cmpeq_epi8(tail, last))));
    const std::size_t at = FirstMatch(text, needle, i, mask);
    if (at != std::string_view::npos) return at;
  }
  return std::string_view::npos;
}

inline const bool kHasAvx2 = (__builtin_cpu_init(), __builtin_cpu_supports("avx2"));
#endif

}  // namespace find_bytes_detail

// Index of the first occurrence of needle in text at or after `from`; npos when there is none.
inline std::size_t FindBytes(std::string_view text, std::string_view needle, std::size_t from = 0) {
  const std::size_t n = text.size();
  const std::size_t m = needle.size();
  if (from > n || m > n - from) return std::string_view::npos;
  if (m < 2) return text.find(needle, from);
  std::size_t i = from;
#if defined(__x86_64__)
  if (find_bytes_detail::kHasAvx2) {
    const std::size_t at = find_bytes_detail::FindBytes32(text, needle, i);
    if (at != std::string_view::npos) return at;
  }
#endif
#if defined(__SSE2__)
  const __m128i first = _mm_set1_epi8(needle[0]);
  const __m128i last = _mm_set1_epi8(needle[m - 1]);
  for (; i + m - 1 + 16 <= n; i += 16) {
    const __m128i head = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + i));
    const __m128i tail = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + i + m - 1));
    const unsigned mask = static_cast<unsigned>(
        _mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(head, first), _mm_cmpeq_epi8(tail, last))));
    const std::size_t at = find_bytes_detail::FirstMatch(text, needle, i, mask);
    if (at != std::string_view::npos) return at;
  }
#endif
  return text.find(needle, i);
}

// Calls `visit(index)` for every occurrence of any of `bytes`, in order, until it returns false.
// One pass over the text however many occurrences there are.
template <char... Bytes, typename Visit>
inline void ForEachByteOf(std::string_view text, Visit visit) {
  std::size_t i = 0;
#if defined(__SSE2__)
  for (; i + 16 <= text.size(); i += 16) {
    const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + i));
    unsigned mask = static_cast<unsigned>(_mm_movemask_epi8((_mm_cmpeq_epi8(chunk, _mm_set1_epi8(Bytes)) | ...)));
    for (; mask != 0; mask &= mask - 1) {
      if (!visit(i + static_cast<std::size_t>(__builtin_ctz(mask)))) return;
    }
  }
#endif
  for (; i < text.size(); ++i) {
    if (((text[i] == Bytes) || ...) && !visit(i)) return;
  }
}
