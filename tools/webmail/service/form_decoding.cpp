// SPDX-License-Identifier: MIT
#include "webmail/service/form_decoding.h"

namespace webmail {
namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::string DecodeFormValue(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    const bool escape = c == '%' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0 && HexValue(text[i + 2]) >= 0;
    if (escape) {
      out += static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2]));
      i += 2;
    } else {
      out += c == '+' ? ' ' : c;
    }
  }
  return out;
}

FormFields ParseFormFields(std::string_view text) {
  FormFields fields;
  while (!text.empty()) {
    const std::size_t amp = text.find('&');
    const std::string_view piece = text.substr(0, amp);
    text = amp == std::string_view::npos ? std::string_view() : text.substr(amp + 1);
    if (piece.empty()) continue;
    const std::size_t eq = piece.find('=');
    if (eq == std::string_view::npos) {
      fields.emplace_back(DecodeFormValue(piece), std::string());
    } else {
      fields.emplace_back(DecodeFormValue(piece.substr(0, eq)), DecodeFormValue(piece.substr(eq + 1)));
    }
  }
  return fields;
}

const std::string* FindField(const FormFields& fields, std::string_view name) {
  for (const auto& [n, value] : fields)
    if (n == name) return &value;
  return nullptr;
}

}  // namespace webmail
