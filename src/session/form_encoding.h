// SPDX-License-Identifier: MIT
#pragma once
#include <string>
#include <string_view>

// Encodes a value for an application/x-www-form-urlencoded body: space becomes "+", the
// characters . / 0-9 A-Z \ a-z stay, every other byte becomes %XX (upper-case hex).
std::string EncodeFormValue(std::string_view value);
