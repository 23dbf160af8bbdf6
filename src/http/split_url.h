// SPDX-License-Identifier: MIT
#pragma once
#include <string>
#include <string_view>

struct UrlParts {
  std::string protocol, user, password, host, port, path;
};

// Splits a URL or a proxy text into its six parts. Letter case is kept and a query stays in
// the path. "/x" alone is a path of the default protocol "http"; "host:port" and
// "user:pass@host" need no protocol.
UrlParts SplitUrl(std::string_view text);
