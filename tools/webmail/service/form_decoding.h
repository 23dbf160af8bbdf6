// SPDX-License-Identifier: MIT
#pragma once
// Reading application/x-www-form-urlencoded text: login bodies and query strings.

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace webmail {

using FormFields = std::vector<std::pair<std::string, std::string>>;

// "+" becomes a space and %XX the byte XX; a "%" without two hex digits stays as it is.
std::string DecodeFormValue(std::string_view text);

// Splits "a=1&b=2" into decoded pairs, in order. A piece without "=" is a name with an empty
// value; empty pieces (from "&&" or a leading "&") are skipped.
FormFields ParseFormFields(std::string_view text);

// The value of the first field called `name`, or nullptr.
const std::string* FindField(const FormFields& fields, std::string_view name);

}  // namespace webmail
