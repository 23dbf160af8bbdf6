// SPDX-License-Identifier: MIT
#pragma once
// Sign-in in the user's browser: the authorization code grant with PKCE (RFC 7636, S256) and a
// redirect to a loopback port of this program's own (RFC 8252), the `state` checked.

#include <cstdio>

#include "webmail/imap/gateway_config.h"
#include "webmail/imap/token_endpoint.h"

namespace webmail {

// Opens the provider's sign-in page with xdg-open where a display exists (else prints its
// address to `out`), waits for the browser to come back, and trades the code for tokens.
// Throws OAuthError or GatewayConfigError.
TokenGrant BrowserSignIn(const GatewayAccount& account, std::FILE* out);

// The code challenge of `verifier`: BASE64URL(SHA-256(verifier)) without padding.
std::string CodeChallenge(const std::string& verifier);

}  // namespace webmail
