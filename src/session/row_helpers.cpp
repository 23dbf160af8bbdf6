// SPDX-License-Identifier: MIT
#include "session/row_helpers.h"

#include <algorithm>
#include <cstring>

#include "session/find_bytes.h"
#include "session/visible_text.h"

namespace {

// The value after `key`, at most `limit` characters, cut before its first double quote. A
// missing key reads from where the value would start at position 0: the service's rows always
// carry both attributes, and the result of a broken row is only displayed or sent back.
std::string_view ExtractAttribute(std::string_view window, std::string_view key, std::size_t limit) {
  const std::size_t found = FindBytes(window, key);
  const std::size_t start = (found == std::string_view::npos ? 0 : found + 1) + key.size() - 1;
  if (start >= window.size()) return {};
  std::string_view value = window.substr(start, limit);
  return value.substr(0, value.find('"'));
}

// Calls visit(field) for each field in order until it returns false; a field that a run of
// separators at the end of the text closes takes the run's first "|" with it. One pass over the
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
      stopped = !visit(rowText.substr(fieldStart, at - fieldStart + (lentBar ? 1 : 0))) || lentBar;
      if (stopped) return false;
    }
    fieldStart = at + 1;
    return true;
  });
  if (!stopped && fieldStart < rowText.size()) visit(rowText.substr(fieldStart));
}

}  // namespace

std::string_view ExtractLinkTarget(std::string_view window) {
  return ExtractAttribute(window, "<a href=\"", 200);
}

std::string_view ExtractNameAttribute(std::string_view window) {
  return ExtractAttribute(window, "name=\"", 30);
}

std::string_view ExtractValueAttribute(std::string_view window) {
  return ExtractAttribute(window, "value=\"", 30);
}

std::string_view ExtractRowText(std::string_view window, std::string& scratch) {
  // In one pass where it can; else the visible text, then the same with its entities replaced,
  // side by side in `scratch`.
  const std::size_t room = window.size() + kVisibleTextSlack;
  if (scratch.size() < 2 * room) scratch.resize(2 * room);
  std::string_view row;
  if (const std::optional<std::size_t> length = CopyVisibleTextReplacingNbsp(window, scratch.data() + room)) {
    row = std::string_view(scratch.data() + room, *length);
  } else {
    const std::string_view visible(scratch.data(), CopyVisibleText(window, scratch.data()));
    row = std::string_view(scratch.data() + room, CopyReplacingNbsp(visible, scratch.data() + room));
  }
  // The cells open and close with &nbsp;, so a separator leads and the line break (or a last
  // separator) trails with one more character: drop them.
  if (!row.empty()) row.remove_prefix(1);
  if (row.size() >= 2) row.remove_suffix(2);
  return row;
}

// Fields are the texts between runs of "|"; the end of the text closes the last one. A run that
// reaches the end of the text lends its last "|" to the field it closes.
std::string GetRowField(std::string_view rowText, int n) {
  std::string value;
  int field = 0;
  ForEachRowField(rowText, [&](std::string_view text) {
    if (++field < n) return true;
    if (field == n) value = text;
    return false;
  });
  return value;
}

std::array<std::string_view, 5> GetFirstRowFields(std::string_view rowText) {
  std::array<std::string_view, 5> fields;
  std::size_t field = 0;
  ForEachRowField(rowText, [&](std::string_view text) {
    fields[field] = text;
    return ++field < fields.size();
  });
  return fields;
}
