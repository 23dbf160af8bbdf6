// SPDX-License-Identifier: MIT
#include "webmail/imap/access_tokens.h"

#include <cstdio>

#include "webmail/imap/password_source.h"
#include "webmail/imap/token_endpoint.h"

namespace webmail {
namespace {

constexpr std::chrono::seconds kRefreshAhead{60};

std::chrono::milliseconds Left(AccessTokens::Clock::time_point deadline) {
  return std::max(std::chrono::duration_cast<std::chrono::milliseconds>(deadline - AccessTokens::Clock::now()),
                  std::chrono::milliseconds(1));
}

}  // namespace

std::string AuthorizeCommand(const std::string& login) { return "vexmira-webmail --authorize " + login; }

std::string AccessTokens::Current(Clock::time_point deadline) {
  const OAuthSettings& oauth = *account_.oauth;
  if (!oauth.tokenCommand.empty()) return RunSecretCommand(oauth.tokenCommand, "the token command", Left(deadline));
  if (token_.empty() || Clock::now() + kRefreshAhead >= expires_) Refresh(deadline);
  return token_;
}

void AccessTokens::Refresh(Clock::time_point deadline) {
  const OAuthSettings& oauth = *account_.oauth;
  const std::string refreshToken = store_.Load(account_.login);
  if (refreshToken.empty())
    throw GatewayConfigError("[" + account_.login + "] has not signed in yet: run " + AuthorizeCommand(account_.login));
  FormFields form = {{"grant_type", "refresh_token"}, {"refresh_token", refreshToken}, {"client_id", oauth.clientId},
                     {"scope", oauth.scope}};
  if (!oauth.clientSecret.empty()) form.emplace_back("client_secret", oauth.clientSecret);
  TokenGrant grant;
  try {
    grant = GrantOf(PostForm(oauth.tokenEndpoint, form, account_.caFile, Left(deadline)));
  } catch (const OAuthError& e) {
    if (e.Code() != "invalid_grant") throw GatewayConfigError(e.what());
    std::fprintf(stderr, "webmail: [%s] must sign in again (%s): run %s\n", account_.login.c_str(), e.what(),
                 AuthorizeCommand(account_.login).c_str());
    throw GatewayConfigError("the sign-in is no longer valid, " + std::string(e.what()) + "; run " +
                             AuthorizeCommand(account_.login));
  }
  if (!grant.refreshToken.empty() && grant.refreshToken != refreshToken) store_.Save(account_.login, grant.refreshToken);
  token_ = grant.accessToken;
  expires_ = Clock::now() + grant.lifetime;
}

}  // namespace webmail
