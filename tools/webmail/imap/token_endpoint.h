// SPDX-License-Identifier: MIT
#pragma once
// The identity provider's endpoints: form posts over HTTPS (libcurl, the certificate checked),
// JSON answers (nlohmann-json). What a provider says when it refuses is kept word for word.

#include <chrono>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include <nlohmann/json.hpp>

namespace webmail {

// The provider refused (`code` is its "error", such as invalid_grant or authorization_pending)
// or could not be asked (`code` is empty); the text says which, with the provider's own words.
class OAuthError : public std::runtime_error {
 public:
  OAuthError(std::string code, const std::string& text) : std::runtime_error(text), code_(std::move(code)) {}
  const std::string& Code() const { return code_; }

 private:
  std::string code_;
};

using FormFields = std::vector<std::pair<std::string, std::string>>;

// `text` percent-encoded for a URL's query or a form.
std::string UrlEscaped(const std::string& text);

// POSTs `form` to `url` and gives the JSON object of a 2xx answer. `caFile`: certificates to
// trust instead of the system's. Throws OAuthError.
nlohmann::json PostForm(const std::string& url, const FormFields& form, const std::string& caFile,
                        std::chrono::milliseconds timeLimit);

// What a token endpoint grants.
struct TokenGrant {
  std::string accessToken;
  std::chrono::seconds lifetime{0};
  std::string refreshToken;  // empty when the provider kept the old one
  std::string idToken;
};

TokenGrant GrantOf(const nlohmann::json& answer);

// The claims of a JWT's payload (not checked: it came straight from the provider over TLS).
nlohmann::json ClaimsOf(const std::string& idToken);

}  // namespace webmail
