// SPDX-License-Identifier: MIT
#include "webmail/service/mail_service.h"

#include <algorithm>
#include <type_traits>

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

void MailService::Serve(Server server, const std::string& method, const std::string& path, const std::string& body,
                        ReplyTo answer) {
  const std::size_t mark = path.find('?');
  const std::string_view page = std::string_view(path).substr(0, mark);
  const FormFields query = mark == std::string::npos ? FormFields() : ParseFormFields(path.substr(mark + 1));
  if (server == Server::Login) {
    if (method == "POST" && page == site::kLoginPath) return Login(body, std::move(answer));
    if (method == "GET" && page == site::kMailboxPath) return Mailbox(query, std::move(answer));
    if (method == "GET" && page == site::kMessagePath) return Message(query, std::move(answer));
  } else if (method == "GET" && page == site::kLogoutPath) {
    return answer(Logout(query));
  }
  answer(ErrorReply(404, "There is no " + method + " " + std::string(page) + " on " + ServerOrigin(server) + "."));
}

// `work` on the account's mailbox gives a result; `then` makes the reply from it. A mailbox
// that cannot be read answers with the reason instead.
template <class Work, class Then>
void MailService::WithMailbox(std::size_t account, Work work, Then then, ReplyTo answer) {
  using Result = std::invoke_result_t<Work, webmail::Mailbox&>;
  auto result = std::make_shared<std::optional<Result>>();
  store_->Run(
      account, [work = std::move(work), result](webmail::Mailbox& mailbox) { result->emplace(work(mailbox)); },
      [then = std::move(then), result, answer = std::move(answer)](const MailStoreError* failure) {
        answer(failure ? StoreFailureReply(*failure) : then(std::move(**result)));
      });
}

// The notifier also sends enter, frames, curmbox and js; the service has no use for them.
// A mailbox that cannot be read opens no session.
void MailService::Login(const std::string& formBody, ReplyTo answer) {
  const FormFields form = ParseFormFields(formBody);
  const std::string* login = FindField(form, "login");
  const std::string* password = FindField(form, "passwd");
  const std::optional<std::size_t> account = login && password ? store_->Authenticate(*login, *password) : std::nullopt;
  if (!account) return answer(HtmlReply(200, LoginFailedPage()));
  WithMailbox(
      *account, [](webmail::Mailbox& mailbox) { return mailbox.NewMessages(); },
      [this, login = *login, account = *account](NewMail mail) {
        const std::string sid = sessions_.Open(login);
        ForgetDroppedSessions();
        accounts_.emplace(sid, account);
        return MailboxReply(login, std::move(mail), sid);
      },
      std::move(answer));
}

// The session table pushes out its oldest session when it is full; its account goes with it.
void MailService::ForgetDroppedSessions() {
  if (accounts_.size() < sessions_.Size()) return;
  std::erase_if(accounts_, [this](const auto& entry) { return !sessions_.LoginOf(entry.first); });
}

std::optional<MailService::Session> MailService::FindSession(const FormFields& query) const {
  const std::string* sid = FindField(query, site::kSessionField);
  const std::string* login = sid ? sessions_.LoginOf(*sid) : nullptr;
  if (!login) return std::nullopt;
  return Session{*sid, *login, accounts_.at(*sid)};
}

// The mailbox form comes back here: with its Delete button pressed, every message named with
// the value TRUE goes; without it, the page is only shown again.
void MailService::Mailbox(const FormFields& query, ReplyTo answer) {
  std::optional<Session> session = FindSession(query);
  if (!session) return answer(HtmlReply(200, SessionExpiredPage()));
  std::vector<std::string> ids;
  if (FindField(query, site::kDeleteField)) {
    for (const auto& [name, value] : query)
      if (value == site::kCheckedValue) ids.push_back(name);
  }
  WithMailbox(
      session->account,
      [ids = std::move(ids)](webmail::Mailbox& mailbox) {
        if (!ids.empty()) mailbox.Delete(ids);
        return mailbox.NewMessages();
      },
      [this, session = *session](NewMail mail) { return MailboxReply(session.login, std::move(mail), session.sid); },
      std::move(answer));
}

void MailService::Message(const FormFields& query, ReplyTo answer) {
  std::optional<Session> session = FindSession(query);
  if (!session) return answer(HtmlReply(200, SessionExpiredPage()));
  const std::string* field = FindField(query, site::kMessageField);
  if (!field) return answer(ErrorReply(404, "That message is not in the mailbox (any more)."));
  WithMailbox(
      session->account, [id = *field](webmail::Mailbox& mailbox) { return mailbox.Message(id); },
      [session = *session](std::optional<MailMessage> message) {
        if (!message) return ErrorReply(404, "That message is not in the mailbox (any more).");
        return HtmlReply(200, MessagePage(Account{session.login, {}, {}}, *message, session.sid));
      },
      std::move(answer));
}

Reply MailService::Logout(const FormFields& query) {
  const std::string* sid = FindField(query, site::kSessionField);
  if (!sid || !sessions_.Close(*sid)) return HtmlReply(200, SessionExpiredPage());
  accounts_.erase(*sid);
  return HtmlReply(200, SignedOutPage());
}

Reply MailService::MailboxReply(const std::string& login, NewMail mail, const std::string& sid) const {
  return HtmlReply(200, MailboxPage(Account{login, {}, std::move(mail.messages)}, mail.count, sid, hugeMailbox_));
}

}  // namespace webmail
