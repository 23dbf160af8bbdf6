// SPDX-License-Identifier: MIT
#pragma once
#include <string>
#include <string_view>

struct UrlParts {
  std::string protocol, user, password, host, port, path;
};

// Splits a URL or a proxy text into its six parts. Letter case is kept, a query stays in the
// path and a fragment is dropped. "/x" alone is a path of the default protocol "http";
// "host:port" and "user:pass@host" need no protocol.
UrlParts SplitUrl(std::string_view text);

// The text before its fragment ("#..."), which stays with the client and never goes to a server.
std::string_view WithoutFragment(std::string_view text);
