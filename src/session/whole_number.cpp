// SPDX-License-Identifier: MIT
#include "session/whole_number.h"

#include <limits>

namespace {

struct DigitRun {
  bool negative = false;
  std::int64_t magnitude = 0;
  std::size_t digits = 0;
  std::size_t end = 0;  // index just past the last character taken
  bool overflow = false;
};

int DigitValue(char c, int base) {
  int v = -1;
  if (c >= '0' && c <= '9') v = c - '0';
  if (c >= 'a' && c <= 'f') v = c - 'a' + 10;
  if (c >= 'A' && c <= 'F') v = c - 'A' + 10;
  return v < base ? v : -1;
}

// Reads spaces, sign, optional "$" and digits; stops at the first other character. The
// magnitude stops growing past 2^31 so that long digit runs cannot overflow.
DigitRun ReadDigitRun(std::string_view text) {
  DigitRun run;
  std::size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) run.negative = text[i++] == '-';
  int base = 10;
  if (i < text.size() && text[i] == '$') {
    base = 16;
    ++i;
  }
  constexpr std::int64_t kLimit = std::int64_t{1} << 31;
  for (int v; i < text.size() && (v = DigitValue(text[i], base)) >= 0; ++i, ++run.digits) {
    if (run.magnitude * base + v > kLimit) {
      run.overflow = true;
      break;
    }
    run.magnitude = run.magnitude * base + v;
  }
  run.end = i;
  return run;
}

}  // namespace

std::int32_t ReadLeadingInteger(std::string_view text) {
  const DigitRun run = ReadDigitRun(text);
  const bool negative = run.negative && run.end == text.size() && !run.overflow;
  const std::int64_t value = negative ? -run.magnitude : run.magnitude;
  if (value > std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
  return static_cast<std::int32_t>(value);
}

std::optional<std::int32_t> ParseWholeNumber(std::string_view text) {
  const DigitRun run = ReadDigitRun(text);
  if (run.digits == 0 || run.overflow || run.end != text.size()) return std::nullopt;
  const std::int64_t value = run.negative ? -run.magnitude : run.magnitude;
  if (value > std::numeric_limits<std::int32_t>::max()) return std::nullopt;
  return static_cast<std::int32_t>(value);
}
