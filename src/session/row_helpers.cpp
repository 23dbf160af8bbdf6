// SPDX-License-Identifier: MIT
#include "session/row_helpers.h"

#include <algorithm>
#include <cstring>

#include "session/find_bytes.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// The value after `key`, at most `limit` characters, cut before its first double quote. A
// missing key reads from where the value would start at position 0: the service's rows always
// carry both attributes, and the result of a broken row is only displayed or sent back.
std::string ExtractAttribute(std::string_view window, std::string_view key, std::size_t limit) {
  const std::size_t found = FindBytes(window, key);
  const std::size_t start = (found == std::string_view::npos ? 0 : found + 1) + key.size() - 1;
  if (start >= window.size()) return {};
  std::string_view value = window.substr(start, limit);
  return std::string(value.substr(0, value.find('"')));
}

// Copies `n` bytes; a run of up to 16 bytes goes as one 16-byte block, without a call, where
// both sides have room for a whole block. Short runs between tags nearly always do.
void CopyBytes(char* to, const char* from, std::size_t n, bool blockFits) {
#if defined(__SSE2__)
  if (n <= 16 && blockFits) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(to), _mm_loadu_si128(reinterpret_cast<const __m128i*>(from)));
    return;
  }
#endif
  std::memcpy(to, from, n);
}

// The characters outside tags, up to and with the first CR or LF (which ends the walk also
// inside a tag); "<" and ">" themselves are never taken. Copied a run at a time to `out`, which
// has room for the window and 16 bytes more; returns the count.
std::size_t CopyVisibleText(std::string_view window, char* out) {
  bool insideTag = true;  // the window begins inside the image tag
  std::size_t runStart = 0;
  std::size_t length = 0;
  const auto copyRun = [&](std::size_t end) {
    CopyBytes(out + length, window.data() + runStart, end - runStart, runStart + 16 <= window.size());
    length += end - runStart;
  };
  ForEachByteOf<'<', '>', '\r', '\n'>(window, [&](std::size_t at) {
    const char c = window[at];
    const bool lineBreak = c == '\r' || c == '\n';
    if (!insideTag) copyRun(at + (lineBreak ? 1 : 0));
    if (lineBreak) {
      runStart = window.size();
      return false;
    }
    if (insideTag && c == '<') return true;  // a "<" inside a tag is part of it
    insideTag = c == '<';
    runStart = at + 1;
    return true;
  });
  if (!insideTag && runStart < window.size()) copyRun(window.size());
  return length;
}

// Every "&nbsp;" of the `length` bytes at `text` becomes "|", from left to right, in place: the
// text only shrinks. Returns the new length. The candidates are the ampersands, which are few;
// every write lands at or before the ampersand being visited, behind the walk's reading.
std::size_t ReplaceNbsp(char* text, std::size_t length) {
  constexpr std::string_view kNbsp = "&nbsp;";
  const std::string_view all(text, length);
  std::size_t write = 0;
  std::size_t read = 0;
  const auto keepUpTo = [&](std::size_t end) {
    if (write != read) std::memmove(text + write, text + read, end - read);
    write += end - read;
  };
  ForEachByteOf<'&'>(all, [&](std::size_t at) {
    if (all.substr(at, kNbsp.size()) != kNbsp) return true;
    keepUpTo(at);
    text[write++] = '|';
    read = at + kNbsp.size();
    return true;
  });
  keepUpTo(length);
  return write;
}

// A field's text, with the "|" that a run of separators at the end of the text lends it.
std::string FieldValue(std::string_view text, bool lentBar) {
  std::string value(text);
  if (lentBar) value += '|';
  return value;
}

// Calls visit(field, lentBar) for each field in order until it returns false. One pass over the
// bars: a field ends at the first bar of a run, and the next begins after the run's last bar.
template <typename Visit>
void ForEachRowField(std::string_view rowText, Visit visit) {
  const std::size_t trailingRun = rowText.find_last_not_of('|') + 1;  // 0 when the text is all bars
  std::size_t fieldStart = 0;  // past the last bar seen, so only a bar can move it off 0
  bool stopped = false;
  ForEachByteOf<'|'>(rowText, [&](std::size_t at) {
    const bool continuesRun = at != 0 && at == fieldStart;
    if (!continuesRun) {
      const bool lentBar = at >= trailingRun;
      stopped = !visit(rowText.substr(fieldStart, at - fieldStart), lentBar) || lentBar;
      if (stopped) return false;
    }
    fieldStart = at + 1;
    return true;
  });
  if (!stopped && fieldStart < rowText.size()) visit(rowText.substr(fieldStart), false);
}

}  // namespace

std::string ExtractLinkTarget(std::string_view window) {
  return ExtractAttribute(window, "<a href=\"", 200);
}

std::string ExtractNameAttribute(std::string_view window) {
  return ExtractAttribute(window, "name=\"", 30);
}

std::string ExtractValueAttribute(std::string_view window) {
  return ExtractAttribute(window, "value=\"", 30);
}

std::string_view ExtractRowText(std::string_view window, std::string& scratch) {
  if (scratch.size() < window.size() + 16) scratch.resize(window.size() + 16);
  const std::size_t visible = CopyVisibleText(window, scratch.data());
  // The cells open and close with &nbsp;, so a separator leads and the line break (or a last
  // separator) trails with one more character: drop them.
  std::string_view row(scratch.data(), ReplaceNbsp(scratch.data(), visible));
  if (!row.empty()) row.remove_prefix(1);
  if (row.size() >= 2) row.remove_suffix(2);
  return row;
}

// Fields are the texts between runs of "|"; the end of the text closes the last one. A run that
// reaches the end of the text lends its last "|" to the field it closes.
std::string GetRowField(std::string_view rowText, int n) {
  std::string value;
  int field = 0;
  ForEachRowField(rowText, [&](std::string_view text, bool lentBar) {
    if (++field < n) return true;
    if (field == n) value = FieldValue(text, lentBar);
    return false;
  });
  return value;
}

std::array<std::string, 5> GetFirstRowFields(std::string_view rowText) {
  std::array<std::string, 5> fields;
  std::size_t field = 0;
  ForEachRowField(rowText, [&](std::string_view text, bool lentBar) {
    fields[field] = FieldValue(text, lentBar);
    return ++field < fields.size();
  });
  return fields;
}
