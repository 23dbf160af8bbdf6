// SPDX-License-Identifier: MIT
#pragma once
// The interactive sign-in of one gateway account, run once (`webmail --authorize LOGIN`): the
// device authorization grant (RFC 8628) where the provider offers it, else the browser with
// PKCE. The refresh token is kept only after the token proved to be for the mailbox the file
// names.

#include <cstdio>

#include "webmail/imap/gateway_config.h"
#include "webmail/imap/token_store.h"

namespace webmail {

// Prints what the user must do to `out` and waits for it. Throws GatewayConfigError or
// OAuthError with what went wrong.
void Authorize(const GatewayAccount& account, const TokenStore& store, std::FILE* out);

}  // namespace webmail
