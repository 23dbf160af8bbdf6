#include "session/row_helpers.h"

namespace {

// The value after `key`, at most `limit` characters, cut before its first double quote. A
// missing key reads from where the value would start at position 0: the service's rows always
// carry both attributes, and the result of a broken row is only displayed or sent back.
std::string ExtractAttribute(std::string_view window, std::string_view key, std::size_t limit) {
  const std::size_t found = window.find(key);
  const std::size_t start = (found == std::string_view::npos ? 0 : found + 1) + key.size() - 1;
  if (start >= window.size()) return {};
  std::string_view value = window.substr(start, limit);
  return std::string(value.substr(0, value.find('"')));
}

std::string ReplaceNbsp(std::string text) {
  constexpr std::string_view kNbsp = "&nbsp;";
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    if (std::string_view(text).substr(i, kNbsp.size()) == kNbsp) {
      out += '|';
      i += kNbsp.size();
    } else {
      out += text[i++];
    }
  }
  return out;
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
  std::string visible;
  bool insideTag = true;  // the window begins inside the image tag
  for (const char c : window) {
    if (c == '<') insideTag = true;
    if (c == '>') insideTag = false;
    if (!insideTag && c != '<' && c != '>') visible += c;
    if (c == '\r' || c == '\n') break;
  }
  std::string row = ReplaceNbsp(std::move(visible));
  // The cells open and close with &nbsp;, so a separator leads and the line break (or a last
  // separator) trails with one more character: drop them.
  if (!row.empty()) row.erase(0, 1);
  if (row.size() >= 2) row.resize(row.size() - 2);
  return row;
}

std::string GetRowField(std::string_view rowText, int n) {
  std::string field;
  std::string result;
  int separators = 0;
  const std::size_t length = rowText.size();
  for (std::size_t j = 1; j <= length; ++j) {
    const char c = rowText[j - 1];
    if (c != '|' && j < length) {
      field += c;
      continue;
    }
    if (j == length) field += c;
    const bool repeatedBar = c == '|' && j > 1 && rowText[j - 2] == '|';
    if (!repeatedBar) ++separators;
    if (separators == n) {
      result = field;
    } else {
      field.clear();
    }
  }
  return result;
}
