// SPDX-License-Identifier: MIT
#pragma once
// Text from a real mailbox made fit for the service's pages: the notifier reads one byte per
// character (Latin-1), finds cells by "|", "<", ">" and "&nbsp;", takes a page with "We're"
// for the failed login, and a message body ends at "</pre></div>".

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace webmail {

// Cell lengths for real mail: with the longest id, date and size, a row of these still fits
// the notifier's row window.
inline constexpr std::size_t kMaxSenderCell = 48;
inline constexpr std::size_t kMaxSubjectCell = 100;

// UTF-8 to Latin-1: common punctuation beyond U+00FF becomes its plain stand-in (quotes,
// dashes, "...", "EUR"), other characters beyond it, C1 controls and malformed bytes '?'.
std::string Utf8ToLatin1(std::string_view utf8);

// UTF-8 to Latin-1 without stand-ins: nullopt when a character is beyond U+00FF or the bytes
// are not UTF-8.
std::optional<std::string> Utf8ToLatin1Exactly(std::string_view utf8);

// One cell of a mailbox row, from Latin-1 text: line breaks and other control characters
// become spaces, runs of spaces one, '|' '/', '<' '(' and '>' ')', "&nbsp;" a space, "We're"
// "We\xB4re" (an acute accent for the apostrophe); cut to `maxLength` with "..."; `fallback`
// when nothing is left.
std::string CellText(std::string_view latin1, std::size_t maxLength, std::string_view fallback);

// A message body as page lines, from Latin-1 text: at most `maxBytes` of it (then a last line
// says it was cut), control characters other than tabs dropped, "</pre></div>" parted by a
// space so that it cannot end the body early, and "We're" shown as in cells.
std::vector<std::string> BodyLines(std::string_view latin1, std::size_t maxBytes);

// HTML reduced to its text: no tags, scripts or styles; blocks and <br> start new lines;
// character references decoded (UTF-8 out, like the input).
std::string HtmlToText(std::string_view html);

// "Dec 7 2024 10:05": a moment as a row shows it; empty for a month outside 1 to 12.
std::string RowDateText(int year, int month, int day, int hour, int minute);

// "Nk": the size in KiB, rounded up, at least 1.
std::string SizeText(std::uint64_t bytes);

}  // namespace webmail
