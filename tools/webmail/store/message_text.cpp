// SPDX-License-Identifier: MIT
#include "webmail/store/message_text.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <map>

namespace webmail {
namespace {

constexpr std::string_view kCutLine = "[... the rest of this message is not shown ...]";

bool IsControl(unsigned char c) { return c < 32 || c == 127; }

// What the notifier searches a page for that mail text could spell out, and how mail text
// shows it instead. The search is for exact bytes. "We're" anywhere on the page after a login
// reads as the failed login, "</pre></div>" ends a message body. Every other marker holds
// '<', '>', '|' or "&nbsp;", which cells never keep, or stands before any mail text.
struct Marker {
  std::string_view text;
  std::string_view shown;
};
constexpr Marker kMarkers[] = {{"We're", "We\xB4re"}, {"</pre></div>", "</pre> </div>"}};

// HTML's names for U+00A0 to U+00FF, in order.
constexpr const char* kLatin1Names[] = {
    "nbsp",   "iexcl",  "cent",   "pound",  "curren", "yen",    "brvbar", "sect",   "uml",    "copy",   "ordf",
    "laquo",  "not",    "shy",    "reg",    "macr",   "deg",    "plusmn", "sup2",   "sup3",   "acute",  "micro",
    "para",   "middot", "cedil",  "sup1",   "ordm",   "raquo",  "frac14", "frac12", "frac34", "iquest", "Agrave",
    "Aacute", "Acirc",  "Atilde", "Auml",   "Aring",  "AElig",  "Ccedil", "Egrave", "Eacute", "Ecirc",  "Euml",
    "Igrave", "Iacute", "Icirc",  "Iuml",   "ETH",    "Ntilde", "Ograve", "Oacute", "Ocirc",  "Otilde", "Ouml",
    "times",  "Oslash", "Ugrave", "Uacute", "Ucirc",  "Uuml",   "Yacute", "THORN",  "szlig",  "agrave", "aacute",
    "acirc",  "atilde", "auml",   "aring",  "aelig",  "ccedil", "egrave", "eacute", "ecirc",  "euml",   "igrave",
    "iacute", "icirc",  "iuml",   "eth",    "ntilde", "ograve", "oacute", "ocirc",  "otilde", "ouml",   "divide",
    "oslash", "ugrave", "uacute", "ucirc",  "uuml",   "yacute", "thorn",  "yuml"};
static_assert(std::size(kLatin1Names) == 96);

// Common punctuation beyond Latin-1 and its plain stand-in.
const char* StandIn(long code) {
  switch (code) {
    case 0x2018: case 0x2019: case 0x201A: case 0x2032: return "'";
    case 0x201C: case 0x201D: case 0x201E: case 0x2033: return "\"";
    case 0x2010: case 0x2011: case 0x2012: case 0x2013: case 0x2014: case 0x2212: return "-";
    case 0x2026: return "...";
    case 0x2022: return "*";
    case 0x20AC: return "EUR";
    case 0x2122: return "(TM)";
    default: return nullptr;
  }
}

// The code point of the UTF-8 sequence at `text[i]`, advancing `i`; -1 when malformed.
long NextCodePoint(std::string_view text, std::size_t& i) {
  const auto lead = static_cast<unsigned char>(text[i++]);
  if (lead < 0x80) return lead;
  int extra = lead >= 0xF0 && lead < 0xF5 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC2 && lead < 0xE0 ? 1 : -1;
  if (extra < 0) return -1;
  // The least code point of each length: a longer form of a smaller one is malformed.
  constexpr long kLeast[] = {0, 0x80, 0x800, 0x10000};
  const long least = kLeast[extra];
  long code = lead & (0x3F >> extra);
  for (; extra > 0; --extra) {
    if (i >= text.size() || (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) return -1;
    code = (code << 6) | (static_cast<unsigned char>(text[i++]) & 0x3F);
  }
  const bool surrogate = code >= 0xD800 && code < 0xE000;
  return code < least || code > 0x10FFFF || surrogate ? -1 : code;
}

void AppendUtf8(std::string& out, unsigned long code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x110000) {
    out += static_cast<char>(0xF0 | (code >> 18));
    out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += '?';
  }
}

void ReplaceAll(std::string& text, std::string_view from, std::string_view to) {
  for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
    text.replace(at, from.size(), to);
}

// No stand-in can be part of a marker, so a replacement never forms a new one.
void NeutraliseMarkers(std::string& text) {
  for (const Marker& marker : kMarkers) ReplaceAll(text, marker.text, marker.shown);
}

std::string Lower(std::string_view text) {
  std::string out(text);
  std::transform(out.begin(), out.end(), out.begin(), [](unsigned char c) { return std::tolower(c); });
  return out;
}

// "&amp;", "&#233;", "&#xE9;" and the like at `html[i]`; appends its character and advances
// `i`, or returns false for anything else.
bool TakeReference(std::string_view html, std::size_t& i, std::string& out) {
  static const std::map<std::string, unsigned long> kNamed = [] {
    std::map<std::string, unsigned long> named = {{"amp", '&'},        {"lt", '<'},         {"gt", '>'},
                                                  {"quot", '"'},       {"apos", '\''},      {"euro", 0x20AC},
                                                  {"ndash", 0x2013},   {"mdash", 0x2014},   {"lsquo", 0x2018},
                                                  {"rsquo", 0x2019},   {"ldquo", 0x201C},   {"rdquo", 0x201D},
                                                  {"hellip", 0x2026},  {"bull", 0x2022},    {"trade", 0x2122}};
    unsigned long code = 0xA0;
    for (const char* name : kLatin1Names) named.emplace(name, code++);
    named["nbsp"] = ' ';
    return named;
  }();
  const std::size_t semicolon = html.find(';', i);
  if (semicolon == std::string_view::npos || semicolon - i > 10) return false;
  const std::string name(html.substr(i + 1, semicolon - i - 1));
  unsigned long code = 0;
  if (name.size() > 1 && name[0] == '#') {
    const bool hex = name[1] == 'x' || name[1] == 'X';
    const std::string digits = name.substr(hex ? 2 : 1);
    if (digits.empty() || digits.find_first_not_of(hex ? "0123456789abcdefABCDEF" : "0123456789") != std::string::npos)
      return false;
    code = std::stoul(digits, nullptr, hex ? 16 : 10);
  } else {
    const auto it = kNamed.find(name);
    if (it == kNamed.end()) return false;
    code = it->second;
  }
  AppendUtf8(out, code);
  i = semicolon + 1;
  return true;
}

bool StartsBlock(const std::string& tag) {
  static const char* const kBlocks[] = {"br", "p", "/p", "div", "/div", "tr", "/tr", "li", "/li", "h1", "h2",
                                        "h3", "/h1", "/h2", "/h3", "table", "/table", "blockquote", "/blockquote"};
  return std::any_of(std::begin(kBlocks), std::end(kBlocks), [&](const char* b) { return tag == b; });
}

}  // namespace

std::string Utf8ToLatin1(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size();) {
    const long code = NextCodePoint(utf8, i);
    // C1 controls (U+0080 to U+009F) show as nothing readable either.
    if (code >= 0 && code <= 0xFF && !(code >= 0x80 && code < 0xA0)) {
      out += static_cast<char>(code);
    } else if (const char* standIn = StandIn(code)) {
      out += standIn;
    } else {
      out += '?';
    }
  }
  return out;
}

std::optional<std::string> Utf8ToLatin1Exactly(std::string_view utf8) {
  std::string out;
  for (std::size_t i = 0; i < utf8.size();) {
    const long code = NextCodePoint(utf8, i);
    if (code < 0 || code > 0xFF) return std::nullopt;
    out += static_cast<char>(code);
  }
  return out;
}

std::string CellText(std::string_view latin1, std::size_t maxLength, std::string_view fallback) {
  std::string raw(latin1);
  ReplaceAll(raw, "&nbsp;", " ");
  std::string text;
  for (const char c : raw) {
    const char shown = IsControl(static_cast<unsigned char>(c)) ? ' ' : c == '|' ? '/' : c == '<' ? '(' : c == '>' ? ')' : c;
    if (shown == ' ' && (text.empty() || text.back() == ' ')) continue;
    text += shown;
  }
  while (!text.empty() && text.back() == ' ') text.pop_back();
  NeutraliseMarkers(text);
  if (text.size() > maxLength) text = text.substr(0, maxLength - 3) + "...";
  return text.empty() ? std::string(fallback) : text;
}

std::vector<std::string> BodyLines(std::string_view latin1, std::size_t maxBytes) {
  const bool cut = latin1.size() > maxBytes;
  if (cut) latin1 = latin1.substr(0, maxBytes);
  std::vector<std::string> lines(1);
  for (const char c : latin1) {
    if (c == '\n') {
      lines.emplace_back();
    } else if (c == '\t' || !IsControl(static_cast<unsigned char>(c))) {
      lines.back() += c;
    }
  }
  if (lines.back().empty()) lines.pop_back();
  for (std::string& line : lines) NeutraliseMarkers(line);
  if (cut) lines.emplace_back(kCutLine);
  return lines;
}

std::string HtmlToText(std::string_view html) {
  std::string text;
  for (std::size_t i = 0; i < html.size();) {
    const char c = html[i];
    if (c == '&' && TakeReference(html, i, text)) continue;
    if (c != '<') {
      text += std::isspace(static_cast<unsigned char>(c)) ? ' ' : c;
      ++i;
      continue;
    }
    if (html.substr(i, 4) == "<!--") {
      const std::size_t end = html.find("-->", i + 4);
      i = end == std::string_view::npos ? html.size() : end + 3;
      continue;
    }
    const std::size_t close = html.find('>', i);
    if (close == std::string_view::npos) break;
    const std::string tag = Lower(html.substr(i + 1, close - i - 1));
    const std::string name = tag.substr(0, tag.find_first_of(" \t\r\n/", tag.starts_with('/') ? 1 : 0));
    i = close + 1;
    if (name == "script" || name == "style" || name == "title") {  // their content is no text
      const std::size_t end = Lower(html.substr(i)).find("</" + name);
      i = end == std::string::npos ? html.size() : i + end;
    } else if (StartsBlock(name)) {
      text += '\n';
    }
  }
  // Spaces around line breaks and runs of blank lines are layout, not text.
  std::string out;
  for (const char c : text) {
    if (c == ' ' && (out.empty() || out.back() == ' ' || out.back() == '\n')) continue;
    if (c == '\n') {
      while (!out.empty() && out.back() == ' ') out.pop_back();
      if (out.empty() || (out.size() >= 2 && out[out.size() - 1] == '\n' && out[out.size() - 2] == '\n')) continue;
    }
    out += c;
  }
  while (!out.empty() && (out.back() == '\n' || out.back() == ' ')) out.pop_back();
  return out;
}

std::string SizeText(std::uint64_t bytes) { return std::to_string(std::max<std::uint64_t>(1, (bytes + 1023) / 1024)) + "k"; }

std::string RowDateText(int year, int month, int day, int hour, int minute) {
  static constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                            "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  if (month < 1 || month > 12) return {};
  char text[40];
  std::snprintf(text, sizeof text, "%s %d %d %02d:%02d", kMonths[month - 1], day, year, hour, minute);
  return text;
}

}  // namespace webmail
