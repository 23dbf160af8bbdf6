// SPDX-License-Identifier: MIT
#pragma once
// The visible text of a row window, the way the row helpers read it: what a browser shows of
// the row, with each "&nbsp;" as the bar that separates its fields.

#include <cstddef>
#include <optional>
#include <string_view>

#include "session/byte_masks.h"

// Room that `out` of these functions needs past the length of their input.
inline constexpr std::size_t kVisibleTextSlack = byte_masks::kSlack;

// The characters outside tags, up to and with the first CR or LF (which ends the walk also
// inside a tag); "<" and ">" themselves are never taken, and the window begins inside a tag.
// Copied to `out`; returns the count. Every unit gives the same bytes.
std::size_t CopyVisibleText(std::string_view window, char* out, VectorUnit unit = BestVectorUnit());

// `text` with every "&nbsp;" made "|", from left to right, copied to `out`; returns the count.
std::size_t CopyReplacingNbsp(std::string_view text, char* out, VectorUnit unit = BestVectorUnit());

// The two above in one pass, where the window lets one pass decide (nearly always); nullopt
// where it does not, and then `out` holds nothing of use.
std::optional<std::size_t> CopyVisibleTextReplacingNbsp(std::string_view window, char* out,
                                                        VectorUnit unit = BestVectorUnit());
