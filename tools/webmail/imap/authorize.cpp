// SPDX-License-Identifier: MIT
#include "webmail/imap/authorize.h"

#include <algorithm>
#include <cctype>
#include <thread>

#include "webmail/imap/browser_sign_in.h"
#include "webmail/imap/imap_connection.h"
#include "webmail/imap/token_endpoint.h"

namespace webmail {
namespace {

using Clock = std::chrono::steady_clock;
constexpr std::chrono::seconds kRequestLimit{30};
constexpr std::chrono::seconds kSlowDown{5};  // RFC 8628: each slow_down adds five seconds

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
  return text;
}

std::chrono::seconds SecondsIn(const nlohmann::json& answer, const char* key, std::chrono::seconds fallback) {
  const auto it = answer.find(key);
  return it != answer.end() && it->is_number_integer() && it->get<long long>() > 0 ? std::chrono::seconds(it->get<long long>())
                                                                                   : fallback;
}

// Device authorization: the user signs in on any browser with the code shown; this program
// asks the token endpoint at the interval given until that is done. A public client sends no
// secret here.
TokenGrant DeviceFlow(const GatewayAccount& account, std::FILE* out) {
  const OAuthSettings& oauth = *account.oauth;
  const nlohmann::json start =
      PostForm(oauth.deviceEndpoint, {{"client_id", oauth.clientId}, {"scope", oauth.scope}}, account.caFile, kRequestLimit);
  const std::string deviceCode = start.value("device_code", "");
  const std::string address = start.value("verification_uri", start.value("verification_url", ""));
  if (deviceCode.empty() || address.empty()) throw OAuthError("", "the identity provider sent no device code");
  std::fprintf(out, "To sign in [%s] as %s, open %s and enter the code %s\n", account.login.c_str(),
               account.user.c_str(), address.c_str(), start.value("user_code", "").c_str());
  std::fflush(out);
  std::chrono::seconds interval = SecondsIn(start, "interval", std::chrono::seconds(5));
  const Clock::time_point end = Clock::now() + SecondsIn(start, "expires_in", std::chrono::minutes(15));
  while (Clock::now() < end) {
    std::this_thread::sleep_for(interval);
    try {
      return GrantOf(PostForm(oauth.tokenEndpoint,
                              {{"grant_type", "urn:ietf:params:oauth:grant-type:device_code"},
                               {"client_id", oauth.clientId},
                               {"device_code", deviceCode}},
                              account.caFile, kRequestLimit));
    } catch (const OAuthError& e) {
      if (e.Code() == "slow_down") interval += kSlowDown;
      else if (e.Code() != "authorization_pending") throw;
    }
  }
  throw OAuthError("expired_token", "the code expired before the sign-in was done; run this again");
}

// The id_token names who signed in; without one, the mailbox itself has the last word.
void CheckMailbox(const GatewayAccount& account, const TokenGrant& grant) {
  const nlohmann::json claims = ClaimsOf(grant.idToken);
  for (const char* claim : {"preferred_username", "email"}) {
    const auto it = claims.find(claim);
    if (it == claims.end() || !it->is_string()) continue;
    if (Lower(it->get<std::string>()) == Lower(account.user)) return;
    throw GatewayConfigError("signed in as " + it->get<std::string>() + ", but [" + account.login +
                             "] is the mailbox of " + account.user + "; sign in as " + account.user);
  }
  const TlsTrust trust(account.caFile);
  const StopSignal stop;
  try {
    ImapConnection(account, trust, stop, {Clock::now() + account.timeout, account.timeout, 1024 * 1024},
                   {grant.accessToken, true})
        .LogOut();
  } catch (const LoginRefused&) {
    throw GatewayConfigError(account.server.Url() + " refused the token for " + account.user +
                             "; was the sign-in for another mailbox?");
  }
}

}  // namespace

void Authorize(const GatewayAccount& account, const TokenStore& store, std::FILE* out) {
  if (!account.oauth) throw GatewayConfigError("[" + account.login + "] does not sign in with OAuth 2.0 (auth = oauth2)");
  const OAuthSettings& oauth = *account.oauth;
  if (!oauth.tokenCommand.empty())
    throw GatewayConfigError("[" + account.login + "] takes its tokens from its token command; nothing to sign in");
  const TokenGrant grant = oauth.deviceEndpoint.empty() ? BrowserSignIn(account, out) : DeviceFlow(account, out);
  if (grant.refreshToken.empty())
    throw OAuthError("", "the identity provider granted no refresh token (is offline_access in the scope?)");
  CheckMailbox(account, grant);
  const std::string where = store.Save(account.login, grant.refreshToken);
  std::fprintf(out, "Signed in: [%s] reads %s's mailbox; the refresh token is in %s\n", account.login.c_str(),
               account.user.c_str(), where.c_str());
}

}  // namespace webmail
