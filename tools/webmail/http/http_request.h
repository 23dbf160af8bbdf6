// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace webmail {

struct HttpRequest {
  std::string method;
  std::string target;                                        // as sent: "/path?query" or "http://host/path?query"
  std::string version;                                       // "HTTP/1.0", "HTTP/1.1", ...
  std::vector<std::pair<std::string, std::string>> headers;  // in arrival order, values trimmed
  std::string body;

  // The value of the first header of that name (letter case ignored), or nullptr.
  const std::string* Header(std::string_view name) const;
};

}  // namespace webmail
