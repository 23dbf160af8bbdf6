// SPDX-License-Identifier: MIT
#include "session/page_text.h"

#include <algorithm>

#include "session/find_bytes.h"

namespace {

constexpr char kCR = '\r';
constexpr char kLF = '\n';

// Calls text(start, end) for each stretch between line breaks and lineBreak() for each break
// between them, in order; a break is CR LF, a lone CR or a lone LF.
template <typename Text, typename LineBreak>
void ForEachLine(std::string_view bytes, Text text, LineBreak lineBreak) {
  std::size_t start = 0;
  std::size_t pairedLF = std::string_view::npos;  // the LF that ends a CR LF
  ForEachByteOf<kCR, kLF>(bytes, [&](std::size_t at) {
    if (at != pairedLF) {
      text(start, at);
      lineBreak();
      if (bytes[at] == kCR && at + 1 < bytes.size() && bytes[at + 1] == kLF) pairedLF = at + 1;
    }
    start = at + 1;
    return true;
  });
  text(start, bytes.size());
}

}  // namespace

void PageText::Load(std::string_view bytes) {
  bytes = bytes.substr(0, bytes.find('\0'));
  // The length first, so that an oversized body is refused before anything is built.
  std::size_t length = 0;
  ForEachLine(bytes, [&](std::size_t start, std::size_t end) { length += end - start; }, [&] { length += 2; });
  if (length > kCapacity) throw PageTextOverflow();

  std::string text;
  text.reserve(length);
  ForEachLine(bytes, [&](std::size_t start, std::size_t end) { text.append(bytes.data() + start, end - start); },
              [&] { text.append("\r\n"); });
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
