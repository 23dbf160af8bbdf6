// SPDX-License-Identifier: MIT
#include "http/split_url.h"

#include <algorithm>
#include <cctype>

namespace {

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() &&
         std::equal(prefix.begin(), prefix.end(), text.begin(),
                    [](char a, char b) { return std::tolower(static_cast<unsigned char>(b)) == a; });
}

void SplitUserPart(std::string_view userPart, UrlParts& parts) {
  const std::size_t colon = userPart.find(':');
  parts.user = userPart.substr(0, colon);
  if (colon != std::string_view::npos) parts.password = userPart.substr(colon + 1);
}

// The authority [user[:password]@]host[:port] followed by an optional path.
void SplitAuthority(std::string_view rest, UrlParts& parts) {
  const std::size_t slash = rest.find('/');
  if (slash != std::string_view::npos) {
    parts.path = rest.substr(slash);
    rest = rest.substr(0, slash);
  }
  const std::size_t at = rest.rfind('@');
  const std::size_t colon = rest.rfind(':');
  if (at == std::string_view::npos && colon == std::string_view::npos) {
    parts.host = rest;
  } else if (colon != std::string_view::npos && (at == std::string_view::npos || colon > at)) {
    parts.port = rest.substr(colon + 1);
    const std::size_t hostStart = at == std::string_view::npos ? 0 : at + 1;
    parts.host = rest.substr(hostStart, colon - hostStart);
    if (at != std::string_view::npos) SplitUserPart(rest.substr(0, at), parts);
  } else {
    parts.host = rest.substr(at + 1);
    SplitUserPart(rest.substr(0, at), parts);
  }
}

}  // namespace

UrlParts SplitUrl(std::string_view text) {
  UrlParts parts;
  if (text.empty()) return parts;
  std::size_t authority = 0;
  if (const std::size_t scheme = text.find("://"); scheme != std::string_view::npos) {
    parts.protocol = text.substr(0, scheme);
    authority = scheme + 3;
  } else if (text[0] == '/') {
    parts.protocol = "http";
    if (text.size() > 1 && text[1] != '/') {
      parts.path = text;
      return parts;
    }
    authority = 1;
  } else if (StartsWithNoCase(text, "http:")) {
    parts.protocol = "http";
    if (text.size() > 6 && text[6] != '/') {
      parts.path = text.substr(5);
      return parts;
    }
    authority = 6;
  } else if (StartsWithNoCase(text, "mailto:")) {
    parts.protocol = "mailto";
    authority = text.find(':') + 1;
  }
  SplitAuthority(text.substr(std::min(authority, text.size())), parts);
  return parts;
}
