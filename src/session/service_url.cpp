// SPDX-License-Identifier: MIT
#include "session/service_url.h"

#include <string_view>

#include "session/service.h"

namespace {

// Stricter than the HTTP client's split, whose authority ends at the first "/", "?" or "#":
// anything but a path after the server (":6666", ".evil.example", "@10.1.1.1") is refused here.
bool LeadsTo(std::string_view url, std::string_view server) {
  constexpr std::string_view kScheme = "http://";
  if (!url.starts_with(kScheme)) return false;
  url.remove_prefix(kScheme.size());
  if (!url.starts_with(server)) return false;
  url.remove_prefix(server.size());
  if (url.starts_with(":80")) url.remove_prefix(3);
  return url.empty() || url.front() == '/';
}

}  // namespace

void CheckServiceUrl(const std::string& url) {
  if (url.empty()) return;
  if (!LeadsTo(url, service::kLoginServer) && !LeadsTo(url, service::kMailServer)) throw EServiceUrl();
}
