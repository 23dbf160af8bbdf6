// SPDX-License-Identifier: MIT
#include "webmail/imap/imap_store.h"

#include "webmail/imap/account_worker.h"

namespace webmail {

ImapStore::ImapStore(std::vector<GatewayAccount> accounts, EventLoop& loop, std::chrono::seconds idleLimit,
                     PasswordKeyring* keyring)
    : accounts_(std::move(accounts)), loop_(loop), tokens_(keyring) {
  for (const GatewayAccount& account : accounts_) {
    trust_.push_back(std::make_unique<TlsTrust>(account.caFile));
    workers_.push_back(std::make_unique<AccountWorker>(account, *trust_.back(), tokens_, idleLimit));
  }
}

ImapStore::~ImapStore() {
  for (const auto& worker : workers_) worker->RequestExit();
}

std::optional<std::size_t> ImapStore::Authenticate(const std::string& login, const std::string& password) {
  for (std::size_t i = 0; i < accounts_.size(); ++i)
    if (accounts_[i].login == login && accounts_[i].password == password) return i;
  return std::nullopt;
}

// `done` runs once: with the worker's result, or with a time-out when the account's limit has
// passed first. Both arrive on the event loop, so the one that comes second finds it gone.
void ImapStore::Run(std::size_t account, MailboxWork work, MailboxWorkDone done) {
  const GatewayAccount& a = accounts_.at(account);
  auto pending = std::make_shared<MailboxWorkDone>(std::move(done));
  auto finish = [pending](const std::optional<MailStoreError>& failure) {
    if (!*pending) return;
    const MailboxWorkDone done = std::move(*pending);
    *pending = nullptr;
    done(failure ? &*failure : nullptr);
  };
  const std::string timeOut =
      a.server.Url() + " as " + a.user + ": no answer within " + std::to_string(a.timeout.count()) + " seconds";
  loop_.Later(a.timeout, [finish, timeOut] { finish(MailStoreError(timeOut)); });
  workers_[account]->Submit(AccountWorker::Clock::now() + a.timeout, std::move(work),
                            [loop = &loop_, finish](std::optional<MailStoreError> failure) {
                              loop->Post([finish, failure = std::move(failure)] { finish(failure); });
                            });
}

}  // namespace webmail
