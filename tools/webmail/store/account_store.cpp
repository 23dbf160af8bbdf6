// SPDX-License-Identifier: MIT
#include <algorithm>

#include "webmail/store/mail_store.h"

namespace webmail {
namespace {

class AccountMailbox : public Mailbox {
 public:
  explicit AccountMailbox(Account& account) : account_(account) {}

  std::vector<MailMessage> NewMessages() override { return account_.messages; }

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

std::unique_ptr<Mailbox> AccountStore::Open(const std::string& login, const std::string& password) {
  const auto it =
      std::find_if(accounts_.begin(), accounts_.end(), [&](const Account& a) { return a.login == login; });
  if (it == accounts_.end() || password != it->password) return nullptr;
  return std::make_unique<AccountMailbox>(*it);
}

const Account* AccountStore::FindAccount(const std::string& login) const {
  const auto it =
      std::find_if(accounts_.begin(), accounts_.end(), [&](const Account& a) { return a.login == login; });
  return it == accounts_.end() ? nullptr : &*it;
}

}  // namespace webmail
