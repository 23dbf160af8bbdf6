// SPDX-License-Identifier: MIT
#pragma once
// Where the service's pages get their content: a mail store hands out one mailbox per session,
// which lists the new messages, shows one message's text and deletes messages by id. The
// account file is one store (AccountStore), an IMAP server behind a gateway configuration is
// another (ImapStore).

#include <chrono>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "webmail/store/accounts.h"

namespace webmail {

// The store could not do what was asked (server down, login refused, time limit). The text
// says what failed, for the error page and the log; it never holds a password.
class MailStoreError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// One session's view of an account's mailbox. Methods may throw MailStoreError.
class Mailbox {
 public:
  virtual ~Mailbox() = default;

  // The new messages in page order; their bodyLines may be empty.
  virtual std::vector<MailMessage> NewMessages() = 0;

  // One message with its body, or nullopt when no message has that id (any more). Reading it
  // does not make it any less new.
  virtual std::optional<MailMessage> Message(const std::string& id) = 0;

  // Deletes the messages named; ids of messages that are not there are ignored.
  virtual void Delete(const std::vector<std::string>& ids) = 0;

  // Gives up a connection unused since `idleSince`; the next call connects again.
  virtual void CloseIfIdle(std::chrono::steady_clock::time_point /*idleSince*/) {}
};

class MailStore {
 public:
  virtual ~MailStore() = default;

  // The mailbox of local login `login`, or nullptr when the login or `password` is wrong.
  virtual std::unique_ptr<Mailbox> Open(const std::string& login, const std::string& password) = 0;
};

// The accounts of an account file (or the built-in ones), kept in memory: deletions last as
// long as the program runs, and every session of an account sees them.
class AccountStore : public MailStore {
 public:
  explicit AccountStore(const std::vector<Account>& accounts);

  std::unique_ptr<Mailbox> Open(const std::string& login, const std::string& password) override;
  const Account* FindAccount(const std::string& login) const;

 private:
  std::vector<Account> accounts_;
};

}  // namespace webmail
