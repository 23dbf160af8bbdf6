// SPDX-License-Identifier: MIT
#pragma once
// An account's INBOX on one connection kept between requests. The rows of messages already
// seen are kept too (a UID's headers never change), so a check that finds nothing new costs
// one search. Used by the account's worker thread only; methods throw ImapFailure and
// GatewayConfigError.

#include <chrono>
#include <cstdint>
#include <map>
#include <memory>

#include "webmail/imap/access_tokens.h"
#include "webmail/imap/gateway_config.h"
#include "webmail/imap/imap_connection.h"
#include "webmail/imap/imap_transport.h"
#include "webmail/store/mail_store.h"

namespace webmail {

// The page lists at most this many unseen messages, the newest; the count stays the real one.
inline constexpr std::size_t kMaxRows = 2000;

class ImapMailbox : public Mailbox {
 public:
  ImapMailbox(const GatewayAccount& account, const TlsTrust& trust, const StopSignal& stop, const TokenStore& tokens)
      : account_(account), trust_(trust), stop_(stop), tokens_(account, tokens) {}

  // The deadline of the work that follows; a connection is made within it when needed.
  void Begin(std::chrono::steady_clock::time_point deadline) { deadline_ = deadline; }

  NewMail NewMessages() override;
  std::optional<MailMessage> Message(const std::string& id) override;
  void Delete(const std::vector<std::string>& ids) override;

  bool Connected() const { return connection_ != nullptr; }
  void KeepAlive();  // a NOOP; a connection that fails it is dropped
  void LogOut();     // LOGOUT, and the connection goes
  void Drop() { connection_.reset(); }

 private:
  ImapConnection& Connection(std::size_t budget);
  std::unique_ptr<ImapConnection> Connect(const Credentials& credentials) const;
  std::unique_ptr<ImapConnection> ConnectWithToken();

  const GatewayAccount& account_;
  const TlsTrust& trust_;
  const StopSignal& stop_;
  AccessTokens tokens_;
  std::chrono::steady_clock::time_point deadline_;
  std::unique_ptr<ImapConnection> connection_;
  std::uint32_t rowsValidity_ = 0;
  std::map<std::uint32_t, MailMessage> rows_;  // by UID, of the last listing
};

}  // namespace webmail
