// SPDX-License-Identifier: MIT
#pragma once
// The two number readings of the mailbox page. Both accept leading spaces, an optional sign
// and decimal digits, or "$" and hexadecimal digits.

#include <cstdint>
#include <optional>
#include <string_view>

// The value of the digits at the start of text, ignoring whatever follows them; 0 when there
// are none. A "-" counts only when nothing follows the digits ('-2' is -2, '-2<' is 2).
std::int32_t ReadLeadingInteger(std::string_view text);

// The value when text is a whole number and nothing else, within the signed 32-bit range.
std::optional<std::int32_t> ParseWholeNumber(std::string_view text);
