// SPDX-License-Identifier: MIT
#pragma once
// The body of the last service response, searched by exact substring and marked in place.
// Positions: Find answers 1-based (0 = absent); Read/Replace take zero-based indices and are
// clamped to the text. Line breaks are always CR LF.

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>

// Raised when a loaded body would not fit the page text.
class PageTextOverflow : public std::runtime_error {
 public:
  PageTextOverflow() : std::runtime_error("Text exceeds memo capacity") {}
};

class PageText {
 public:
  static constexpr std::size_t kCapacity = 4 * 1024 * 1024;  // characters after normalisation

  void Clear() { text_.clear(); }

  // Replaces the text by `bytes` with line breaks normalised to CR LF, cut at the first NUL.
  // Throws PageTextOverflow and keeps the old text when the result exceeds kCapacity.
  void Load(std::string_view bytes);

  // 1-based position of the first occurrence of needle at or after zero-based index `from`,
  // 0 when there is none.
  std::size_t Find(std::string_view needle, std::size_t from = 0) const;

  std::string Read(std::size_t start, std::size_t count) const { return std::string(View(start, count)); }
  // The same characters without a copy, valid until the text changes.
  std::string_view View(std::size_t start, std::size_t count) const;

  // Overwrites up to `count` characters from `start`; callers pass a replacement of the same
  // length, so positions stay valid.
  void Replace(std::size_t start, std::size_t count, std::string_view replacement);

  const std::string& Text() const { return text_; }

 private:
  std::string text_;
};
