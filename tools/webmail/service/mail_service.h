// SPDX-License-Identifier: MIT
#pragma once
// The webmail service itself: login, mailbox, message pages, deletion and logout, with the
// sessions it keeps between requests. The pages' content comes from a mail store. One thread
// uses it at a time.

#include <chrono>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "webmail/store/accounts.h"
#include "webmail/service/form_decoding.h"
#include "webmail/service/http_reply.h"
#include "webmail/store/mail_store.h"
#include "webmail/service/session_table.h"
#include "webmail/service/site.h"

namespace webmail {

class MailService {
 public:
  // The accounts of an account file. `hugeMailbox` pads every mailbox page beyond the
  // notifier's page capacity.
  explicit MailService(const std::vector<Account>& accounts, bool hugeMailbox = false,
                       std::size_t sessionCapacity = 4096);
  explicit MailService(std::unique_ptr<MailStore> store, bool hugeMailbox = false,
                       std::size_t sessionCapacity = 4096);

  // Answers `method` on `path` (with its query) of one of the two servers.
  Reply Serve(Server server, const std::string& method, const std::string& path, const std::string& body);

  // An account of the account file; nullptr for another store.
  const Account* FindAccount(const std::string& login) const;
  std::size_t SessionCount() const { return sessions_.Size(); }

  // Lets every session's mailbox give up a connection unused since `idleSince`.
  void CloseIdleMailboxes(std::chrono::steady_clock::time_point idleSince);

 private:
  Reply Login(const std::string& formBody);
  Reply Mailbox(const FormFields& query);
  Reply Message(const FormFields& query);
  Reply Logout(const FormFields& query);
  webmail::Mailbox* SessionMailbox(const FormFields& query, std::string& sid, std::string& login);
  Reply MailboxReply(const std::string& login, std::vector<MailMessage> messages, const std::string& sid) const;
  void ForgetDroppedSessions();

  std::unique_ptr<MailStore> store_;
  const AccountStore* accountStore_ = nullptr;  // store_, when it is the account file
  SessionTable sessions_;
  std::map<std::string, std::unique_ptr<webmail::Mailbox>> mailboxes_;  // by session id
  bool hugeMailbox_;
};

}  // namespace webmail
