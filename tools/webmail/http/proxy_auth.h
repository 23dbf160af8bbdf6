// SPDX-License-Identifier: MIT
#pragma once
// Basic proxy authentication, as a forward proxy asks for it.

#include <optional>
#include <string>
#include <string_view>

#include "webmail/http/http_request.h"

namespace webmail {

struct ProxyCredentials {
  std::string user;
  std::string password;
};

inline constexpr const char* kProxyChallenge = "Basic realm=\"webmail\"";

// Standard Base64 with "=" padding; nullopt for anything else.
std::optional<std::string> DecodeBase64(std::string_view text);

// Whether the request's Proxy-Authorization line carries exactly these credentials.
bool HasProxyCredentials(const HttpRequest& request, const ProxyCredentials& expected);

}  // namespace webmail
