// SPDX-License-Identifier: MIT
#pragma once
// Where the service's pages get their content: a mail store checks local logins and runs a
// request's work on the account's mailbox, which lists the new messages, shows one message's
// text and deletes messages by id. The account file is one store (AccountStore), IMAP servers
// behind a gateway configuration are another (ImapStore), whose work runs off the event loop.

#include <functional>
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

// The new messages of a mailbox: possibly only the newest of them, and how many there are.
struct NewMail {
  std::vector<MailMessage> messages;  // in page order
  std::size_t count = 0;
};

// An account's mailbox. Methods may throw MailStoreError.
class Mailbox {
 public:
  virtual ~Mailbox() = default;

  // The new messages; their bodyLines may be empty.
  virtual NewMail NewMessages() = 0;

  // One message with its body, or nullopt when no message has that id (any more). Reading it
  // does not make it any less new.
  virtual std::optional<MailMessage> Message(const std::string& id) = 0;

  // Deletes the messages named; ids of messages that are not there are ignored.
  virtual void Delete(const std::vector<std::string>& ids) = 0;
};

// What a request does with its account's mailbox; it may throw MailStoreError.
using MailboxWork = std::function<void(Mailbox&)>;
// What follows, on the event loop: `failure` is null when the work was done.
using MailboxWorkDone = std::function<void(const MailStoreError* failure)>;

class MailStore {
 public:
  virtual ~MailStore() = default;

  // The account of local login `login`, or nullopt when the login or `password` is wrong.
  // No mailbox is touched.
  virtual std::optional<std::size_t> Authenticate(const std::string& login, const std::string& password) = 0;

  // Runs `work` on the account's mailbox where the store does such work, then `done`, once,
  // on the event loop. A store that keeps its mailboxes in memory does both at once.
  virtual void Run(std::size_t account, MailboxWork work, MailboxWorkDone done) = 0;
};

// The accounts of an account file (or the built-in ones), kept in memory: deletions last as
// long as the program runs, and every session of an account sees them.
class AccountStore : public MailStore {
 public:
  explicit AccountStore(const std::vector<Account>& accounts);

  std::optional<std::size_t> Authenticate(const std::string& login, const std::string& password) override;
  void Run(std::size_t account, MailboxWork work, MailboxWorkDone done) override;
  const Account* FindAccount(const std::string& login) const;

 private:
  std::vector<Account> accounts_;
};

}  // namespace webmail
