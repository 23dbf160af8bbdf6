// SPDX-License-Identifier: MIT
#pragma once
// Searches over the page text and its windows. The markers begin with characters that HTML is
// full of ('"', '<', 'n'), so a search that stops at every match of the first character and
// compares from there spends its time in calls. These test 16 positions at a time (32 or 64 where
// the processor has AVX2 or AVX-512) for the first and the last character of the needle together
// and compare only where both match.

#include <cstdint>
#include <string_view>

#include "session/byte_masks.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace find_bytes_detail {

// The first of the candidates in `mask` (bit k: the first and the last byte of `needle` match
// at base + k) where the bytes between match too; npos when none does. A loop and not memcmp: a
// call would make the vector loops below save and reload their registers around it.
inline std::size_t FirstMatch(std::string_view text, std::string_view needle, std::size_t base, std::uint64_t mask) {
  for (; mask != 0; mask &= mask - 1) {
    const std::size_t at = base + static_cast<std::size_t>(__builtin_ctzll(mask));
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

// The same with AVX-512, 64 positions at a time.
__attribute__((target("avx512bw"))) inline std::size_t FindBytes64(std::string_view text, std::string_view needle,
                                                                   std::size_t& i) {
  const std::size_t m = needle.size();
  const __m512i first = _mm512_set1_epi8(needle[0]);
  const __m512i last = _mm512_set1_epi8(needle[m - 1]);
  for (; i + m - 1 + 64 <= text.size(); i += 64) {
    const std::uint64_t mask = _mm512_cmpeq_epi8_mask(_mm512_loadu_si512(text.data() + i), first) &
                               _mm512_cmpeq_epi8_mask(_mm512_loadu_si512(text.data() + i + m - 1), last);
    const std::size_t at = FirstMatch(text, needle, i, mask);
    if (at != std::string_view::npos) return at;
  }
  return std::string_view::npos;
}
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
  if (BestVectorUnit() == VectorUnit::Avx512) {
    const std::size_t at = find_bytes_detail::FindBytes64(text, needle, i);
    if (at != std::string_view::npos) return at;
  }
  if (BestVectorUnit() >= VectorUnit::Avx2) {
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

namespace find_bytes_detail {

// Returns false when `visit` stopped the walk.
template <typename Unit, char... Bytes, typename Visit>
[[gnu::always_inline]] inline bool ForEachByteOfWith(std::string_view text, Visit& visit) {
  using byte_masks::kBlock;
  const auto visitBits = [&](std::size_t base, std::uint64_t mask) {
    for (; mask != 0; mask &= mask - 1) {
      if (!visit(base + static_cast<std::size_t>(__builtin_ctzll(mask)))) return false;
    }
    return true;
  };
  std::size_t base = 0;
  for (; base + kBlock <= text.size(); base += kBlock) {
    if (!visitBits(base, Unit::template Mask<Bytes...>(text.data() + base))) return false;
  }
  return base == text.size() || visitBits(base, byte_masks::TailMask<Unit, Bytes...>(text, base));
}

#if defined(__x86_64__)
template <char... Bytes, typename Visit>
__attribute__((target("avx2"))) void ForEachByteOfAvx2(std::string_view text, Visit& visit) {
  ForEachByteOfWith<byte_masks::Avx2, Bytes...>(text, visit);
}

template <char... Bytes, typename Visit>
__attribute__((target("avx512bw"))) void ForEachByteOfAvx512(std::string_view text, Visit& visit) {
  ForEachByteOfWith<byte_masks::Avx512, Bytes...>(text, visit);
}
#endif

}  // namespace find_bytes_detail

// Calls `visit(index)` for every occurrence of any of `bytes`, in order, until it returns false.
// One pass over the text however many occurrences there are, 64 bytes at a time.
template <char... Bytes, typename Visit>
inline void ForEachByteOf(std::string_view text, Visit visit) {
#if defined(__x86_64__)
  if (BestVectorUnit() == VectorUnit::Avx512) {
    find_bytes_detail::ForEachByteOfAvx512<Bytes...>(text, visit);
  } else if (BestVectorUnit() == VectorUnit::Avx2) {
    find_bytes_detail::ForEachByteOfAvx2<Bytes...>(text, visit);
  } else {
    find_bytes_detail::ForEachByteOfWith<byte_masks::Sse2, Bytes...>(text, visit);
  }
#else
  find_bytes_detail::ForEachByteOfWith<byte_masks::Portable, Bytes...>(text, visit);
#endif
}
