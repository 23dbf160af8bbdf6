// SPDX-License-Identifier: MIT
#include "session/page_text.h"

#include <algorithm>

#include "session/find_bytes.h"

namespace {

constexpr char kCR = '\r';
constexpr char kLF = '\n';

// Length of the normalised text, so that an oversized body is refused before anything is built.
std::size_t NormalisedLength(std::string_view bytes) {
  std::size_t length = 0;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const char c = bytes[i];
    if (c == kCR && i + 1 < bytes.size() && bytes[i + 1] == kLF) {
      length += 2;
      ++i;
    } else {
      length += (c == kCR || c == kLF) ? 2 : 1;
    }
  }
  return length;
}

}  // namespace

void PageText::Load(std::string_view bytes) {
  bytes = bytes.substr(0, bytes.find('\0'));
  const std::size_t length = NormalisedLength(bytes);
  if (length > kCapacity) throw PageTextOverflow();

  std::string text;
  text.reserve(length);
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const char c = bytes[i];
    if (c != kCR && c != kLF) {
      text += c;
      continue;
    }
    text += "\r\n";
    if (c == kCR && i + 1 < bytes.size() && bytes[i + 1] == kLF) ++i;
  }
  text_ = std::move(text);
}

std::size_t PageText::Find(std::string_view needle, std::size_t from) const {
  const std::size_t index = FindBytes(text_, needle, from);
  return index == std::string_view::npos ? 0 : index + 1;
}

std::string_view PageText::View(std::size_t start, std::size_t count) const {
  if (start >= text_.size()) return {};
  return std::string_view(text_).substr(start, count);
}

void PageText::Replace(std::size_t start, std::size_t count, std::string_view replacement) {
  if (start > text_.size()) start = text_.size();
  count = std::min(count, text_.size() - start);
  text_.replace(start, count, replacement);
}
