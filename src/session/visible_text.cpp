// SPDX-License-Identifier: MIT
#include "session/visible_text.h"

#include <cstdint>
#include <cstring>

namespace {

using byte_masks::kBlock;
using byte_masks::kSlack;

// Whether the five bytes after each of the `amps` (bits for the window's bytes from `base`) are
// in the window and none of them is a "<", ">" or line break: bytes that stay visible.
bool FollowedByVisibleBytes(std::string_view window, std::size_t base, std::uint64_t amps) {
  for (; amps != 0; amps &= amps - 1) {
    const std::size_t at = base + static_cast<std::size_t>(__builtin_ctzll(amps));
    if (window.size() - at <= 5 || window.substr(at + 1, 5).find_first_of("<>\r\n") != std::string_view::npos)
      return false;
  }
  return true;
}

namespace portable {
using Unit = byte_masks::Portable;
#include "session/visible_text_walks.inc"
}  // namespace portable

#if defined(__x86_64__)
namespace sse2 {
using Unit = byte_masks::Sse2;
#include "session/visible_text_walks.inc"
}  // namespace sse2

#pragma GCC push_options
#pragma GCC target("avx2,popcnt")
namespace avx2 {
using Unit = byte_masks::Avx2;
#include "session/visible_text_walks.inc"
}  // namespace avx2
#pragma GCC pop_options

#pragma GCC push_options
#pragma GCC target("avx512bw,avx512vbmi2,popcnt")
namespace avx512 {
using Unit = byte_masks::Avx512;
#include "session/visible_text_walks.inc"
}  // namespace avx512
#pragma GCC pop_options
#endif

}  // namespace

std::size_t CopyVisibleText(std::string_view window, char* out, VectorUnit unit) {
#if defined(__x86_64__)
  if (unit == VectorUnit::Avx512) return avx512::CopyVisibleText(window, out);
  if (unit == VectorUnit::Avx2) return avx2::CopyVisibleText(window, out);
  if (unit == VectorUnit::Sse2) return sse2::CopyVisibleText(window, out);
#endif
  return portable::CopyVisibleText(window, out);
}

std::optional<std::size_t> CopyVisibleTextReplacingNbsp(std::string_view window, char* out, VectorUnit unit) {
#if defined(__x86_64__)
  if (unit == VectorUnit::Avx512) return avx512::CopyVisibleTextReplacingNbsp(window, out);
  if (unit == VectorUnit::Avx2) return avx2::CopyVisibleTextReplacingNbsp(window, out);
  if (unit == VectorUnit::Sse2) return sse2::CopyVisibleTextReplacingNbsp(window, out);
#endif
  return portable::CopyVisibleTextReplacingNbsp(window, out);
}

std::size_t CopyReplacingNbsp(std::string_view text, char* out, VectorUnit unit) {
#if defined(__x86_64__)
  if (unit == VectorUnit::Avx512) return avx512::CopyReplacingNbsp(text, out);
  if (unit == VectorUnit::Avx2) return avx2::CopyReplacingNbsp(text, out);
  if (unit == VectorUnit::Sse2) return sse2::CopyReplacingNbsp(text, out);
#endif
  return portable::CopyReplacingNbsp(text, out);
}
