// SPDX-License-Identifier: MIT
#pragma once
// Mailboxes on IMAP servers, as a gateway file describes them. Each account has a worker
// thread with one connection to its INBOX, kept between requests; the event loop only hands
// work over and takes the answer back, which comes within the account's time limit even
// while its server is stuck.

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "webmail/imap/gateway_config.h"
#include "webmail/imap/token_store.h"
#include "webmail/store/event_loop.h"
#include "webmail/store/mail_store.h"

class PasswordKeyring;

namespace webmail {

class AccountWorker;
class TlsTrust;

class ImapStore : public MailStore {
 public:
  // Loads each account's trusted certificates (throws GatewayConfigError when it cannot) and
  // starts its worker. A connection unused for `idleLimit` is logged out. Refresh tokens of
  // OAuth 2.0 accounts are kept in `keyring` where it runs (it may be null), else in files.
  ImapStore(std::vector<GatewayAccount> accounts, EventLoop& loop, std::chrono::seconds idleLimit,
            PasswordKeyring* keyring);
  ~ImapStore() override;  // logs out of every server, a few seconds at most

  std::optional<std::size_t> Authenticate(const std::string& login, const std::string& password) override;
  void Run(std::size_t account, MailboxWork work, MailboxWorkDone done) override;

 private:
  std::vector<GatewayAccount> accounts_;
  EventLoop& loop_;
  TokenStore tokens_;
  std::vector<std::unique_ptr<TlsTrust>> trust_;         // by account
  std::vector<std::unique_ptr<AccountWorker>> workers_;  // by account
};

}  // namespace webmail
