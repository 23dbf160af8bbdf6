// SPDX-License-Identifier: MIT
#include <algorithm>

#include "webmail/store/mail_store.h"

namespace webmail {
namespace {

class AccountMailbox : public Mailbox {
 public:
  explicit AccountMailbox(Account& account) : account_(account) {}

  NewMail NewMessages() override { return {account_.messages, account_.messages.size()}; }

  std::optional<MailMessage> Message(const std::string& id) override {
    const auto it = std::find_if(account_.messages.begin(), account_.messages.end(),
                                 [&](const MailMessage& m) { return m.id == id; });
    if (it == account_.messages.end()) return std::nullopt;
    return *it;
  }

  void Delete(const std::vector<std::string>& ids) override {
    std::erase_if(account_.messages,
                  [&](const MailMessage& m) { return std::find(ids.begin(), ids.end(), m.id) != ids.end(); });
  }

 private:
  Account& account_;
};

}  // namespace

AccountStore::AccountStore(const std::vector<Account>& accounts) : accounts_(accounts) {}

std::optional<std::size_t> AccountStore::Authenticate(const std::string& login, const std::string& password) {
  const Account* account = FindAccount(login);
  if (!account || password != account->password) return std::nullopt;
  return static_cast<std::size_t>(account - accounts_.data());
}

void AccountStore::Run(std::size_t account, MailboxWork work, MailboxWorkDone done) {
  AccountMailbox mailbox(accounts_.at(account));
  try {
    work(mailbox);
  } catch (const MailStoreError& e) {
    return done(&e);
  }
  done(nullptr);
}

const Account* AccountStore::FindAccount(const std::string& login) const {
  const auto it =
      std::find_if(accounts_.begin(), accounts_.end(), [&](const Account& a) { return a.login == login; });
  return it == accounts_.end() ? nullptr : &*it;
}

}  // namespace webmail
