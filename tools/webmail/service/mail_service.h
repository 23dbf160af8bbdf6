// SPDX-License-Identifier: MIT
#pragma once
// The webmail service itself: login, mailbox, message pages, deletion and logout, with the
// sessions it keeps between requests. The pages' content comes from a mail store, whose work
// may finish later; the service itself is used from the event loop only.

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "webmail/store/accounts.h"
#include "webmail/service/form_decoding.h"
#include "webmail/service/http_reply.h"
#include "webmail/store/mail_store.h"
#include "webmail/service/session_table.h"
#include "webmail/service/site.h"

namespace webmail {

using ReplyTo = std::function<void(Reply)>;

class MailService {
 public:
  // The accounts of an account file. `hugeMailbox` pads every mailbox page beyond the
  // notifier's page capacity.
  explicit MailService(const std::vector<Account>& accounts, bool hugeMailbox = false,
                       std::size_t sessionCapacity = 4096);
  explicit MailService(std::unique_ptr<MailStore> store, bool hugeMailbox = false,
                       std::size_t sessionCapacity = 4096);

  // Answers `method` on `path` (with its query) of one of the two servers: `answer` runs once,
  // at once or when the mail store's work is over.
  void Serve(Server server, const std::string& method, const std::string& path, const std::string& body,
             ReplyTo answer);

  // An account of the account file; nullptr for another store.
  const Account* FindAccount(const std::string& login) const;
  std::size_t SessionCount() const { return sessions_.Size(); }

 private:
  struct Session {
    std::string sid;
    std::string login;
    std::size_t account = 0;
  };

  void Login(const std::string& formBody, ReplyTo answer);
  void Mailbox(const FormFields& query, ReplyTo answer);
  void Message(const FormFields& query, ReplyTo answer);
  Reply Logout(const FormFields& query);
  std::optional<Session> FindSession(const FormFields& query) const;
  Reply MailboxReply(const std::string& login, NewMail mail, const std::string& sid) const;
  void ForgetDroppedSessions();
  template <class Work, class Then>
  void WithMailbox(std::size_t account, Work work, Then then, ReplyTo answer);

  std::unique_ptr<MailStore> store_;
  const AccountStore* accountStore_ = nullptr;  // store_, when it is the account file
  SessionTable sessions_;
  std::map<std::string, std::size_t> accounts_;  // by session id
  bool hugeMailbox_;
};

}  // namespace webmail
