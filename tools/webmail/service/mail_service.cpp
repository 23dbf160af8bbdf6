// SPDX-License-Identifier: MIT
#include "webmail/service/mail_service.h"

#include <algorithm>

#include "webmail/service/mailbox_page.h"
#include "webmail/service/pages.h"
#include "webmail/service/site.h"

namespace webmail {
namespace {

// The mail store failed: the notifier sees a failed request, a person the reason.
Reply StoreFailureReply(const MailStoreError& e) {
  Reply reply = ErrorReply(502, std::string("The mailbox cannot be read: ") + e.what());
  reply.logNote = e.what();
  return reply;
}

std::unique_ptr<AccountStore> MakeAccountStore(const std::vector<Account>& accounts) {
  return std::make_unique<AccountStore>(accounts);
}

}  // namespace

MailService::MailService(const std::vector<Account>& accounts, bool hugeMailbox, std::size_t sessionCapacity)
    : MailService(MakeAccountStore(accounts), hugeMailbox, sessionCapacity) {
  accountStore_ = static_cast<const AccountStore*>(store_.get());
}

MailService::MailService(std::unique_ptr<MailStore> store, bool hugeMailbox, std::size_t sessionCapacity)
    : store_(std::move(store)), sessions_(sessionCapacity), hugeMailbox_(hugeMailbox) {}

const Account* MailService::FindAccount(const std::string& login) const {
  return accountStore_ ? accountStore_->FindAccount(login) : nullptr;
}

Reply MailService::Serve(Server server, const std::string& method, const std::string& path, const std::string& body) {
  const std::size_t mark = path.find('?');
  const std::string_view page = std::string_view(path).substr(0, mark);
  const FormFields query = mark == std::string::npos ? FormFields() : ParseFormFields(path.substr(mark + 1));
  try {
    if (server == Server::Login) {
      if (method == "POST" && page == site::kLoginPath) return Login(body);
      if (method == "GET" && page == site::kMailboxPath) return Mailbox(query);
      if (method == "GET" && page == site::kMessagePath) return Message(query);
    } else if (method == "GET" && page == site::kLogoutPath) {
      return Logout(query);
    }
  } catch (const MailStoreError& e) {
    return StoreFailureReply(e);
  }
  return ErrorReply(404, "There is no " + method + " " + std::string(page) + " on " + ServerOrigin(server) + ".");
}

// The notifier also sends enter, frames, curmbox and js; the service has no use for them.
// A mailbox that cannot be read ends the session it would have opened.
Reply MailService::Login(const std::string& formBody) {
  const FormFields form = ParseFormFields(formBody);
  const std::string* login = FindField(form, "login");
  const std::string* password = FindField(form, "passwd");
  std::unique_ptr<webmail::Mailbox> mailbox = login && password ? store_->Open(*login, *password) : nullptr;
  if (!mailbox) return HtmlReply(200, LoginFailedPage());
  std::vector<MailMessage> messages = mailbox->NewMessages();
  const std::string sid = sessions_.Open(*login);
  ForgetDroppedSessions();
  mailboxes_.emplace(sid, std::move(mailbox));
  return MailboxReply(*login, std::move(messages), sid);
}

// The session table pushes out its oldest session when it is full; its mailbox goes with it.
void MailService::ForgetDroppedSessions() {
  if (mailboxes_.size() < sessions_.Size()) return;
  std::erase_if(mailboxes_, [this](const auto& entry) { return !sessions_.LoginOf(entry.first); });
}

webmail::Mailbox* MailService::SessionMailbox(const FormFields& query, std::string& sid, std::string& login) {
  const std::string* field = FindField(query, site::kSessionField);
  const std::string* owner = field ? sessions_.LoginOf(*field) : nullptr;
  if (!owner) return nullptr;
  sid = *field;
  login = *owner;
  return mailboxes_.at(sid).get();
}

// The mailbox form comes back here: with its Delete button pressed, every message named with
// the value TRUE goes; without it, the page is only shown again.
Reply MailService::Mailbox(const FormFields& query) {
  std::string sid, login;
  webmail::Mailbox* mailbox = SessionMailbox(query, sid, login);
  if (!mailbox) return HtmlReply(200, SessionExpiredPage());
  if (FindField(query, site::kDeleteField)) {
    std::vector<std::string> ids;
    for (const auto& [name, value] : query)
      if (value == site::kCheckedValue) ids.push_back(name);
    if (!ids.empty()) mailbox->Delete(ids);
  }
  return MailboxReply(login, mailbox->NewMessages(), sid);
}

Reply MailService::Message(const FormFields& query) {
  std::string sid, login;
  webmail::Mailbox* mailbox = SessionMailbox(query, sid, login);
  if (!mailbox) return HtmlReply(200, SessionExpiredPage());
  const std::string* id = FindField(query, site::kMessageField);
  const std::optional<MailMessage> message = id ? mailbox->Message(*id) : std::nullopt;
  if (!message) return ErrorReply(404, "That message is not in the mailbox (any more).");
  return HtmlReply(200, MessagePage(Account{login, {}, {}}, *message, sid));
}

Reply MailService::Logout(const FormFields& query) {
  const std::string* sid = FindField(query, site::kSessionField);
  if (!sid || !sessions_.Close(*sid)) return HtmlReply(200, SessionExpiredPage());
  mailboxes_.erase(*sid);
  return HtmlReply(200, SignedOutPage());
}

void MailService::CloseIdleMailboxes(std::chrono::steady_clock::time_point idleSince) {
  for (auto& [sid, mailbox] : mailboxes_) mailbox->CloseIfIdle(idleSince);
}

Reply MailService::MailboxReply(const std::string& login, std::vector<MailMessage> messages,
                                const std::string& sid) const {
  return HtmlReply(200, MailboxPage(Account{login, {}, std::move(messages)}, sid, hugeMailbox_));
}

}  // namespace webmail
