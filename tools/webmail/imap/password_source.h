// SPDX-License-Identifier: MIT
#pragma once
// The IMAP password, fetched afresh for each connection from where the gateway file says, so
// that the gateway keeps no copy between checks and a changed password takes effect at once.

#include <chrono>
#include <string>

#include "webmail/imap/gateway_config.h"

namespace webmail {

// The password: the variable's value, the file's first line (the file must be owner-only), or
// the first line the command prints (it must end with status 0 within `timeLimit`; then, or at
// the limit, all it started in its process group is killed). Throws GatewayConfigError; its
// text never holds the password.
std::string FetchPassword(const PasswordSource& source, std::chrono::milliseconds timeLimit);

// The first line a command prints, by the same rules; `what` names it in errors ("the token
// command").
std::string RunSecretCommand(const std::string& command, const std::string& what, std::chrono::milliseconds timeLimit);

}  // namespace webmail
