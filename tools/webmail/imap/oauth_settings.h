// SPDX-License-Identifier: MIT
#pragma once
// OAuth 2.0 sign-in of a gateway account (`auth = oauth2`): the identity provider's endpoints,
// the client registered with it and the scope, from a provider's preset or given one by one.
//
//   [me]
//   password = local-secret
//   user = me@outlook.com
//   auth = oauth2
//   provider = microsoft          # or google, or custom (every endpoint given)
//   client-id = 00000000-0000-0000-0000-000000000000

#include <string>

namespace webmail {

struct ImapServer;

struct OAuthSettings {
  std::string provider = "custom";
  std::string tenant = "consumers";  // Microsoft: personal accounts; organizations, common, an id
  std::string clientId;
  std::string clientSecret;  // only where a provider issues one to desktop programs
  std::string deviceEndpoint;
  std::string authorizationEndpoint;
  std::string tokenEndpoint;
  std::string scope;
  std::string tokenCommand;  // prints a current access token; instead of the built-in sign-in
};

// Takes `key` when it is one of the sign-in's; false when it is not.
bool SetOAuthKey(OAuthSettings& settings, const std::string& key, const std::string& value);

// Fills in what the preset gives (endpoints, scope, the IMAP server when the file names none,
// the client id the package was built with) and checks the whole. Returns what is wrong, or
// an empty text.
std::string CompleteOAuth(OAuthSettings& settings, ImapServer& server, bool serverGiven);

// True for http(s)://127.x.x.x, [::1] or localhost URLs: the only ones allowed without TLS.
bool IsLoopbackUrl(const std::string& url);

}  // namespace webmail
