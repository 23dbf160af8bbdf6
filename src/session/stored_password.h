// SPDX-License-Identifier: MIT
#pragma once
#include <string>
#include <string_view>

// Added to every byte of a password before it is stored in the settings file. 128 moves
// printable ASCII (32-126) to 160-254, so a typed password never becomes a control byte, a
// line break or a NUL in the file.
inline constexpr unsigned kStoredPasswordShift = 128;

std::string EncodeStoredPassword(std::string_view password);
std::string DecodeStoredPassword(std::string_view stored);
