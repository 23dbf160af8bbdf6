// SPDX-License-Identifier: MIT
#pragma once
// One check of a gateway account from the command line (`webmail --check LOGIN`): it signs in
// as the gateway would, counts the unseen messages and says what is wrong, if anything (name
// look-up, connection, TLS, sign-in, token).

#include <cstdio>

#include "webmail/imap/gateway_config.h"
#include "webmail/imap/token_store.h"

namespace webmail {

// 0 when the mailbox could be read, else 1; what happened goes to `out`.
int CheckAccount(const GatewayAccount& account, const TokenStore& tokens, std::FILE* out);

}  // namespace webmail
