#pragma once
// The webmail service itself: login, mailbox, message pages, deletion and logout, with the
// accounts and sessions it keeps between requests. One thread uses it at a time.

#include <map>
#include <string>
#include <vector>

#include "webmail/accounts.h"
#include "webmail/form_decoding.h"
#include "webmail/http_reply.h"
#include "webmail/request_route.h"
#include "webmail/session_table.h"

namespace webmail {

class MailService {
 public:
  // `hugeMailbox` pads every mailbox page beyond the notifier's page capacity.
  explicit MailService(const std::vector<Account>& accounts, bool hugeMailbox = false,
                       std::size_t sessionCapacity = 4096);

  // Answers `method` on `path` (with its query) of one of the two servers.
  Reply Serve(Server server, const std::string& method, const std::string& path, const std::string& body);

  const Account* FindAccount(const std::string& login) const;
  std::size_t SessionCount() const { return sessions_.Size(); }

 private:
  Reply Login(const std::string& formBody);
  Reply Mailbox(const FormFields& query);
  Reply Message(const FormFields& query);
  Reply Logout(const FormFields& query);
  Account* SessionAccount(const FormFields& query, std::string& sid);
  Reply MailboxReply(const Account& account, const std::string& sid) const;

  std::map<std::string, Account> accounts_;
  SessionTable sessions_;
  bool hugeMailbox_;
};

}  // namespace webmail
