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

// Host and optional port; a bracketed host (an IP literal) keeps its brackets and its colons.
void SplitHostPort(std::string_view hostPort, UrlParts& parts) {
  const std::size_t colon =
      hostPort.starts_with('[') ? hostPort.find(':', hostPort.find(']')) : hostPort.rfind(':');
  parts.host = hostPort.substr(0, colon);
  if (colon != std::string_view::npos) parts.port = hostPort.substr(colon + 1);
}

// The authority [user[:password]@]host[:port] ends at the first "/" or "?" (a "#" is gone
// already), so nothing in the path or query can name the host. A path that starts with the query gets its "/".
void SplitAuthority(std::string_view rest, UrlParts& parts) {
  const std::size_t end = rest.find_first_of("/?");
  if (end != std::string_view::npos) {
    parts.path = rest[end] == '?' ? "/" : "";
    parts.path += rest.substr(end);
    rest = rest.substr(0, end);
  }
  const std::size_t at = rest.rfind('@');
  if (at != std::string_view::npos) SplitUserPart(rest.substr(0, at), parts);
  SplitHostPort(rest.substr(at == std::string_view::npos ? 0 : at + 1), parts);
}

}  // namespace

std::string_view WithoutFragment(std::string_view text) { return text.substr(0, text.find('#')); }

UrlParts SplitUrl(std::string_view text) {
  UrlParts parts;
  text = WithoutFragment(text);
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
