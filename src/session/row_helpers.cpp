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
std::string VisibleText(std::string_view window) {
  const std::size_t lineBreak = std::min(window.find('\r'), window.find('\n'));
  if (lineBreak != std::string_view::npos) window = window.substr(0, lineBreak + 1);
  std::string visible;
  visible.reserve(window.size());
  bool insideTag = true;  // the window begins inside the image tag
  for (std::size_t pos = 0; pos < window.size();) {
    const std::size_t bracket = insideTag ? window.find('>', pos) : FindEitherByte(window, pos, '<', '>');
    const std::size_t stop = bracket == std::string_view::npos ? window.size() : bracket;
    if (!insideTag) visible.append(window.data() + pos, stop - pos);
    if (bracket == std::string_view::npos) break;
    insideTag = window[bracket] == '<';
    pos = bracket + 1;
  }
  return visible;
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

std::string ExtractRowText(std::string_view window) {
  std::string row = VisibleText(window);
  ReplaceNbsp(row);
  // The cells open and close with &nbsp;, so a separator leads and the line break (or a last
  // separator) trails with one more character: drop them.
  if (!row.empty()) row.erase(0, 1);
  if (row.size() >= 2) row.resize(row.size() - 2);
  return row;
}

// Fields are the texts between runs of "|"; the end of the text closes the last one. A run that
// reaches the end of the text lends its last "|" to the field it closes.
std::string GetRowField(std::string_view rowText, int n) {
  if (n <= 0) return {};
  int field = 0;
  for (std::size_t pos = 0; pos < rowText.size();) {
    const std::size_t bar = rowText.find('|', pos);
    ++field;
    if (bar == std::string_view::npos) return field == n ? std::string(rowText.substr(pos)) : std::string();
    const std::size_t next = rowText.find_first_not_of('|', bar);
    if (field == n) {
      std::string value(rowText.substr(pos, bar - pos));
      if (next == std::string_view::npos) value += '|';
      return value;
    }
    if (next == std::string_view::npos) return {};
    pos = next;
  }
  return {};
}
