// SPDX-License-Identifier: MIT
#include "session/stored_password.h"

namespace {

std::string Shift(std::string_view text, unsigned by) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>((static_cast<unsigned char>(c) + by) & 0xFF);
  return out;
}

}  // namespace

std::string EncodeStoredPassword(std::string_view password) {
  return Shift(password, kStoredPasswordShift);
}

std::string DecodeStoredPassword(std::string_view stored) {
  return Shift(stored, 256 - kStoredPasswordShift);
}
