// SPDX-License-Identifier: MIT
#pragma once
// Mailboxes on IMAP servers, as a gateway file describes them: each session gets its own
// connection to the account's INBOX, opened on first use and closed at logout or when idle.

#include <memory>
#include <string>
#include <vector>

#include "webmail/imap/gateway_config.h"
#include "webmail/store/mail_store.h"

namespace webmail {

class ImapStore : public MailStore {
 public:
  // Loads each account's trusted certificates; throws GatewayConfigError when it cannot.
  explicit ImapStore(std::vector<GatewayAccount> accounts);
  ~ImapStore() override;

  std::unique_ptr<Mailbox> Open(const std::string& login, const std::string& password) override;

  struct Trust;  // the certificates an account's server must chain to

 private:
  std::vector<GatewayAccount> accounts_;
  std::vector<std::shared_ptr<const Trust>> trust_;  // by account
};

}  // namespace webmail
