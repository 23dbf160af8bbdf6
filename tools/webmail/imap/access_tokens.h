// SPDX-License-Identifier: MIT
#pragma once
// An account's access token, held in memory only: printed by its token command, or granted
// for the kept refresh token and refreshed a minute before it expires. A rotated refresh token
// is kept at once, before the new access token is used. Used by the account's worker only.

#include <chrono>
#include <string>

#include "webmail/imap/gateway_config.h"
#include "webmail/imap/token_store.h"

namespace webmail {

// What the user runs to sign an account in again.
std::string AuthorizeCommand(const std::string& login);

class AccessTokens {
 public:
  using Clock = std::chrono::steady_clock;

  AccessTokens(const GatewayAccount& account, const TokenStore& store) : account_(account), store_(store) {}

  // A token good for a minute at least. Throws GatewayConfigError with what went wrong; a
  // refused refresh also says so on stderr, with the command that mends it.
  std::string Current(Clock::time_point deadline);

  // The server refused the token: the next one is fetched afresh.
  void Forget() { token_.clear(); }

 private:
  void Refresh(Clock::time_point deadline);

  const GatewayAccount& account_;
  const TokenStore& store_;
  std::string token_;
  Clock::time_point expires_;
};

}  // namespace webmail
