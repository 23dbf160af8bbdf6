// SPDX-License-Identifier: MIT
#include "session/row_helpers.h"

#include <algorithm>
#include <cstring>

#include "session/find_bytes.h"

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

// The characters outside tags, up to and with the first CR or LF (which ends the walk also
// inside a tag); "<" and ">" themselves are never taken. Copied a run at a time.
void AppendVisibleText(std::string_view window, std::string& visible) {
  bool insideTag = true;  // the window begins inside the image tag
  std::size_t runStart = 0;
  ForEachByteOf<'<', '>', '\r', '\n'>(window, [&](std::size_t at) {
    const char c = window[at];
    const bool lineBreak = c == '\r' || c == '\n';
    if (!insideTag) visible.append(window.data() + runStart, at - runStart + (lineBreak ? 1 : 0));
    if (lineBreak) {
      runStart = window.size();
      return false;
    }
    if (insideTag && c == '<') return true;  // a "<" inside a tag is part of it
    insideTag = c == '<';
    runStart = at + 1;
    return true;
  });
  if (!insideTag && runStart < window.size()) visible.append(window.data() + runStart, window.size() - runStart);
}

// Every "&nbsp;" becomes "|", from left to right, in place: the text only shrinks.
void ReplaceNbsp(std::string& text) {
  constexpr std::string_view kNbsp = "&nbsp;";
  std::size_t write = 0;
  for (std::size_t read = 0;;) {
    const std::size_t found = FindBytes(text, kNbsp, read);
    const std::size_t end = found == std::string_view::npos ? text.size() : found;
    if (write != read) std::memmove(text.data() + write, text.data() + read, end - read);
    write += end - read;
    if (found == std::string_view::npos) break;
    text[write++] = '|';
    read = found + kNbsp.size();
  }
  text.resize(write);
}

// Calls visit(field, lentBar) for each field in order until it returns false.
template <typename Visit>
void ForEachRowField(std::string_view rowText, Visit visit) {
  for (std::size_t pos = 0; pos < rowText.size();) {
    const std::size_t bar = rowText.find('|', pos);
    if (bar == std::string_view::npos) {
      visit(rowText.substr(pos), false);
      return;
    }
    const std::size_t next = rowText.find_first_not_of('|', bar);
    if (!visit(rowText.substr(pos, bar - pos), next == std::string_view::npos) || next == std::string_view::npos) return;
    pos = next;
  }
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
  scratch.clear();
  AppendVisibleText(window, scratch);
  ReplaceNbsp(scratch);
  // The cells open and close with &nbsp;, so a separator leads and the line break (or a last
  // separator) trails with one more character: drop them.
  std::string_view row(scratch);
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
    if (field == n) value.assign(text).append(lentBar ? "|" : "");
    return false;
  });
  return value;
}

std::array<std::string, 5> GetFirstRowFields(std::string_view rowText) {
  std::array<std::string, 5> fields;
  std::size_t field = 0;
  ForEachRowField(rowText, [&](std::string_view text, bool lentBar) {
    fields[field].assign(text).append(lentBar ? "|" : "");
    return ++field < fields.size();
  });
  return fields;
}
