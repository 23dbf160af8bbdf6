// SPDX-License-Identifier: MIT
#pragma once
// Where an account's refresh token is kept between runs: the desktop's keyring (Secret Service)
// where one runs, else an owner-only file in an owner-only folder,
// $XDG_STATE_HOME/vexmira/tokens/LOGIN (else ~/.local/state/...), replaced atomically so that a
// crash leaves the old token or the new one, never neither. Never the gateway file.

#include <string>

class PasswordKeyring;

namespace webmail {

class TokenStore {
 public:
  // The store in `keyring` where it runs (it may be null), else under `folder`; empty: the
  // user's state folder.
  explicit TokenStore(PasswordKeyring* keyring = nullptr, std::string folder = {});

  // The refresh token of local login `login`, or empty when none was kept. Throws
  // GatewayConfigError when the file cannot be read or others can read it.
  std::string Load(const std::string& login) const;

  // Keeps `token` for `login`, replacing the old one, and says where. Throws
  // GatewayConfigError.
  std::string Save(const std::string& login, const std::string& token) const;

 private:
  std::string PathOf(const std::string& login) const { return folder_ + "/" + login; }
  std::string LoadFile(const std::string& login) const;
  std::string SaveFile(const std::string& login, const std::string& token) const;
  bool KeyringRuns() const;

  PasswordKeyring* keyring_;
  std::string folder_;
};

}  // namespace webmail
