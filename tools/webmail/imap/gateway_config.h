// SPDX-License-Identifier: MIT
#pragma once
// The IMAP gateway's configuration: which local login and password (what the notifier sends)
// stand for which IMAP mailbox, and where its password comes from.
//
//   [alice]
//   password = wonderland
//   imap = imaps://imap.example.org
//   user = alice@example.org
//   password-command = pass show mail/alice
//
// The file holds the local passwords, so it must be readable and writable by its owner only.

#include <chrono>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <optional>
#include <vector>

#include "webmail/imap/oauth_settings.h"

namespace webmail {

class GatewayConfigError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct PasswordSource {
  enum class Kind { Environment, File, Command };
  Kind kind = Kind::Environment;
  std::string value;  // variable name, file path or shell command
};

struct ImapServer {
  bool implicitTls = true;  // imaps://; imap:// starts in plain text
  std::string host;
  std::uint16_t port = 993;

  std::string Url() const;  // "imaps://host:port"
};

struct GatewayAccount {
  std::string login;     // local, as the notifier sends it
  std::string password;  // local, in Latin-1 as the notifier sends it
  ImapServer server;
  std::string user;  // IMAP user name
  PasswordSource imapPassword;
  std::optional<OAuthSettings> oauth;  // auth = oauth2: a token instead of the password
  std::string caFile;      // PEM certificates to trust; empty: the system's
  bool plaintext = false;  // imap:// without STARTTLS
  std::chrono::seconds timeout{30};
};

// Parses configuration text; `source` names it in error texts ("gateway.conf:3: ...").
std::vector<GatewayAccount> ParseGatewayConfig(std::string_view text, const std::string& source);

// Reads and parses a configuration file, refusing one that others can read or change.
std::vector<GatewayAccount> ReadGatewayConfig(const std::string& path);

// Throws GatewayConfigError when others than the owner can read or change `path`.
void RequireOwnerOnly(const std::string& path, const std::string& what);

}  // namespace webmail
