// SPDX-License-Identifier: MIT
#include "webmail/http/proxy_auth.h"

#include <cctype>

namespace webmail {
namespace {

int Base64Value(char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '+') return 62;
  if (c == '/') return 63;
  return -1;
}

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(text[i])) != std::tolower(static_cast<unsigned char>(prefix[i])))
      return false;
  return true;
}

}  // namespace

std::optional<std::string> DecodeBase64(std::string_view text) {
  if (text.size() % 4 != 0) return std::nullopt;
  std::size_t padding = 0;
  while (padding < 2 && padding < text.size() && text[text.size() - 1 - padding] == '=') ++padding;
  text.remove_suffix(padding);
  std::string out;
  unsigned bits = 0;
  int bitCount = 0;
  for (const char c : text) {
    const int value = Base64Value(c);
    if (value < 0) return std::nullopt;
    bits = (bits << 6) | static_cast<unsigned>(value);
    bitCount += 6;
    if (bitCount >= 8) {
      bitCount -= 8;
      out += static_cast<char>((bits >> bitCount) & 0xFF);
    }
  }
  return out;
}

bool HasProxyCredentials(const HttpRequest& request, const ProxyCredentials& expected) {
  const std::string* header = request.Header("Proxy-Authorization");
  if (!header || !StartsWithIgnoringCase(*header, "Basic ")) return false;
  std::string_view encoded(*header);
  encoded.remove_prefix(6);
  while (!encoded.empty() && encoded.front() == ' ') encoded.remove_prefix(1);
  const std::optional<std::string> decoded = DecodeBase64(encoded);
  return decoded && *decoded == expected.user + ":" + expected.password;
}

}  // namespace webmail
