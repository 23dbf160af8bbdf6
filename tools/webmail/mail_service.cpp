#include "webmail/mail_service.h"

#include <algorithm>

#include "webmail/mailbox_page.h"
#include "webmail/pages.h"
#include "webmail/site.h"

namespace webmail {

MailService::MailService(const std::vector<Account>& accounts, bool hugeMailbox, std::size_t sessionCapacity)
    : sessions_(sessionCapacity), hugeMailbox_(hugeMailbox) {
  for (const Account& account : accounts) accounts_.emplace(account.login, account);
}

const Account* MailService::FindAccount(const std::string& login) const {
  const auto it = accounts_.find(login);
  return it == accounts_.end() ? nullptr : &it->second;
}

Reply MailService::Serve(Server server, const std::string& method, const std::string& path, const std::string& body) {
  const std::size_t mark = path.find('?');
  const std::string_view page = std::string_view(path).substr(0, mark);
  const FormFields query = mark == std::string::npos ? FormFields() : ParseFormFields(path.substr(mark + 1));
  if (server == Server::Login) {
    if (method == "POST" && page == site::kLoginPath) return Login(body);
    if (method == "GET" && page == site::kMailboxPath) return Mailbox(query);
    if (method == "GET" && page == site::kMessagePath) return Message(query);
  } else if (method == "GET" && page == site::kLogoutPath) {
    return Logout(query);
  }
  return ErrorReply(404, "There is no " + method + " " + std::string(page) + " on " + ServerOrigin(server) + ".");
}

// The notifier also sends enter, frames, curmbox and js; the service has no use for them.
Reply MailService::Login(const std::string& formBody) {
  const FormFields form = ParseFormFields(formBody);
  const std::string* login = FindField(form, "login");
  const std::string* password = FindField(form, "passwd");
  const auto it = login ? accounts_.find(*login) : accounts_.end();
  if (it == accounts_.end() || !password || *password != it->second.password) return HtmlReply(200, LoginFailedPage());
  return MailboxReply(it->second, sessions_.Open(it->first));
}

Account* MailService::SessionAccount(const FormFields& query, std::string& sid) {
  const std::string* field = FindField(query, site::kSessionField);
  const std::string* login = field ? sessions_.LoginOf(*field) : nullptr;
  if (!login) return nullptr;
  sid = *field;
  return &accounts_.at(*login);
}

// The mailbox form comes back here: with its Delete button pressed, every message named with
// the value TRUE goes; without it, the page is only shown again.
Reply MailService::Mailbox(const FormFields& query) {
  std::string sid;
  Account* account = SessionAccount(query, sid);
  if (!account) return HtmlReply(200, SessionExpiredPage());
  if (FindField(query, site::kDeleteField)) {
    std::erase_if(account->messages, [&](const MailMessage& m) {
      return std::any_of(query.begin(), query.end(),
                         [&](const auto& field) { return field.first == m.id && field.second == site::kCheckedValue; });
    });
  }
  return MailboxReply(*account, sid);
}

Reply MailService::Message(const FormFields& query) {
  std::string sid;
  const Account* account = SessionAccount(query, sid);
  if (!account) return HtmlReply(200, SessionExpiredPage());
  const std::string* id = FindField(query, site::kMessageField);
  const auto& messages = account->messages;
  const auto it =
      std::find_if(messages.begin(), messages.end(), [&](const MailMessage& m) { return id && m.id == *id; });
  if (it == messages.end()) return ErrorReply(404, "That message is not in the mailbox (any more).");
  return HtmlReply(200, MessagePage(*account, *it, sid));
}

Reply MailService::Logout(const FormFields& query) {
  const std::string* sid = FindField(query, site::kSessionField);
  if (!sid || !sessions_.Close(*sid)) return HtmlReply(200, SessionExpiredPage());
  return HtmlReply(200, SignedOutPage());
}

Reply MailService::MailboxReply(const Account& account, const std::string& sid) const {
  return HtmlReply(200, MailboxPage(account, sid, hugeMailbox_));
}

}  // namespace webmail
