// SPDX-License-Identifier: MIT
#include "http/request_line.h"

bool UnfitForRequestLine(unsigned char c) { return c <= 0x20 || (c >= 0x7F && c <= 0x9F); }

std::string EncodeForRequestLine(std::string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(text.size());
  for (const char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    if (!UnfitForRequestLine(c) || c == '\r' || c == '\n' || c == '\0') {
      out += ch;
      continue;
    }
    out += '%';
    out += kHex[c >> 4];
    out += kHex[c & 0x0F];
  }
  return out;
}
