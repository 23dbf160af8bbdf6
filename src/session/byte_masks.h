// SPDX-License-Identifier: MIT
#pragma once
// Bit masks over 64-byte blocks of text: bit k of a mask stands for byte k of the block. Walks
// that follow the page's structure (tags, line breaks, entities) turn a block into a few masks,
// work on the bits and gather the bytes they keep with Compact: no branch per interesting byte,
// whose outcome the processor could not foresee, and on the vector units none per run either.
//
// Four units build masks and gather bytes, chosen once at run time: the portable loop (any
// processor), SSE2 (every x86-64), AVX2 and AVX-512. A walk is written once over the unit.

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <string_view>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

// In order: each later unit implies the ones before it.
enum class VectorUnit { Portable, Sse2, Avx2, Avx512 };

// The best unit this processor has; the program itself is built for the baseline.
inline VectorUnit BestVectorUnit() {
#if defined(__x86_64__)
  static const VectorUnit best = [] {
    __builtin_cpu_init();
    if (__builtin_cpu_supports("avx512bw") && __builtin_cpu_supports("avx512vbmi2") && __builtin_cpu_supports("popcnt"))
      return VectorUnit::Avx512;
    return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("popcnt") ? VectorUnit::Avx2 : VectorUnit::Sse2;
  }();
  return best;
#else
  return VectorUnit::Portable;
#endif
}

namespace byte_masks {

inline constexpr unsigned kBlock = 64;
// Compact may write this many bytes past what it keeps, and read up to 16 bytes past the block.
inline constexpr unsigned kSlack = 64;

// Copies each run of kept bytes, 16 bytes at a time. Returns the count.
inline std::size_t CopyRuns(const char* block, std::uint64_t keep, char* out) {
  std::size_t length = 0;
  while (keep != 0) {
    const int start = std::countr_zero(keep);
    const int run = std::countr_one(keep >> start);
    for (int k = 0; k < run; k += 16) std::memcpy(out + length + k, block + start + k, 16);
    length += static_cast<std::size_t>(run);
    keep &= keep + (keep & -keep);  // clears the lowest run
  }
  return length;
}

// Writes "|" where Compact put each of the `bars` (a subset of `keep`); returns `kept`.
inline std::size_t MarkBars(std::uint64_t keep, std::uint64_t bars, char* out, std::size_t kept) {
  for (; bars != 0; bars &= bars - 1) out[std::popcount(keep & ((bars & -bars) - 1))] = '|';
  return kept;
}

struct Portable {
  template <char... Bytes>
  static std::uint64_t Mask(const char* block) {
    std::uint64_t mask = 0;
    for (unsigned k = 0; k < kBlock; ++k) mask |= std::uint64_t{((block[k] == Bytes) || ...)} << k;
    return mask;
  }
  static std::size_t Compact(const char* block, std::uint64_t keep, char* out) { return CopyRuns(block, keep, out); }
  // Compact, with the kept bytes at `bars` made "|".
  static std::size_t CompactWithBars(const char* block, std::uint64_t keep, std::uint64_t bars, char* out) {
    return MarkBars(keep, bars, out, Compact(block, keep, out));
  }
};

#if defined(__x86_64__)
struct Sse2 : Portable {
  template <char... Bytes>
  static std::uint64_t Mask(const char* block) {
    std::uint64_t mask = 0;
    for (unsigned k = 0; k < kBlock; k += 16) {
      const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(block + k));
      const auto bits = static_cast<unsigned>(_mm_movemask_epi8((_mm_cmpeq_epi8(chunk, _mm_set1_epi8(Bytes)) | ...)));
      mask |= std::uint64_t{bits} << k;
    }
    return mask;
  }
};

// For each 8-bit keep mask, the byte shuffle that moves the kept bytes of 8 to the front.
constexpr std::array<std::uint64_t, 256> MakeGatherOrders() {
  std::array<std::uint64_t, 256> orders{};
  for (unsigned keep = 0; keep < 256; ++keep) {
    unsigned to = 0;
    for (unsigned k = 0; k < 8; ++k) {
      if ((keep >> k & 1) != 0) orders[keep] |= std::uint64_t{k} << (8 * to++);
    }
  }
  return orders;
}
inline constexpr std::array<std::uint64_t, 256> kGatherOrders = MakeGatherOrders();

// Byte k: the number of set bits in byte k of `mask`.
constexpr std::uint64_t KeptPerByte(std::uint64_t mask) {
  mask -= (mask >> 1) & 0x5555555555555555u;
  mask = (mask & 0x3333333333333333u) + ((mask >> 2) & 0x3333333333333333u);
  return (mask + (mask >> 4)) & 0x0f0f0f0f0f0f0f0fu;
}

struct Avx2 {
  template <char... Bytes>
  __attribute__((target("avx2"))) static std::uint64_t Mask(const char* block) {
    const __m256i low = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(block));
    const __m256i high = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(block + 32));
    const auto lowBits =
        static_cast<std::uint32_t>(_mm256_movemask_epi8((_mm256_cmpeq_epi8(low, _mm256_set1_epi8(Bytes)) | ...)));
    const auto highBits =
        static_cast<std::uint32_t>(_mm256_movemask_epi8((_mm256_cmpeq_epi8(high, _mm256_set1_epi8(Bytes)) | ...)));
    return std::uint64_t{highBits} << 32 | lowBits;
  }

  // Eight bytes at a time through a shuffle, each group's place in `out` known in advance: the
  // same work whatever the mask holds, and no store waits for the one before it.
  __attribute__((target("avx2"))) static std::size_t Compact(const char* block, std::uint64_t keep, char* out) {
    const std::uint64_t ends = KeptPerByte(keep) * 0x0101010101010101u;  // byte k: kept in bytes 0..k
    const std::uint64_t starts = ends << 8;
#pragma GCC unroll 8
    for (unsigned k = 0; k < kBlock; k += 8) {
      const __m128i bytes = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(block + k));
      const __m128i order = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(&kGatherOrders[keep >> k & 0xffu]));
      _mm_storel_epi64(reinterpret_cast<__m128i*>(out + (starts >> k & 0xffu)), _mm_shuffle_epi8(bytes, order));
    }
    return static_cast<std::size_t>(ends >> 56);
  }
  __attribute__((target("avx2"))) static std::size_t CompactWithBars(const char* block, std::uint64_t keep,
                                                                     std::uint64_t bars, char* out) {
    return MarkBars(keep, bars, out, Compact(block, keep, out));
  }
};

// AVX-512 with its byte compress (VBMI2): a block is one register and one gather.
struct Avx512 {
  template <char... Bytes>
  __attribute__((target("avx512bw"))) static std::uint64_t Mask(const char* block) {
    const __m512i bytes = _mm512_loadu_si512(block);
    return (_mm512_cmpeq_epi8_mask(bytes, _mm512_set1_epi8(Bytes)) | ...);
  }
  __attribute__((target("avx512bw,avx512vbmi2,popcnt"))) static std::size_t Compact(const char* block,
                                                                                    std::uint64_t keep, char* out) {
    return CompactWithBars(block, keep, 0, out);
  }
  // The bars are blended in before the gather.
  __attribute__((target("avx512bw,avx512vbmi2,popcnt"))) static std::size_t CompactWithBars(
      const char* block, std::uint64_t keep, std::uint64_t bars, char* out) {
    const __m512i bytes = _mm512_mask_blend_epi8(bars, _mm512_loadu_si512(block), _mm512_set1_epi8('|'));
    // A whole store, not a masked one: those are slow on some processors.
    _mm512_storeu_si512(out, _mm512_maskz_compress_epi8(keep, bytes));
    return static_cast<std::size_t>(__builtin_popcountll(keep));
  }
};
#endif

// The mask of the last, partial block of `text` from `base` on, without reading past the text:
// the block that ends with the text, shifted, or for a short text a copy whose bits past it
// stay clear.
template <typename Unit, char... Bytes>
[[gnu::always_inline]] inline std::uint64_t TailMask(std::string_view text, std::size_t base) {
  const std::size_t left = text.size() - base;
  if (text.size() >= kBlock) {
    return Unit::template Mask<Bytes...>(text.data() + text.size() - kBlock) >> (kBlock - left);
  }
  char block[kBlock] = {};
  std::memcpy(block, text.data() + base, left);
  return Unit::template Mask<Bytes...>(block) & ((std::uint64_t{1} << left) - 1);
}

}  // namespace byte_masks
