// SPDX-License-Identifier: MIT
#include "webmail/imap/imap_mailbox.h"

#include <algorithm>

#include "webmail/imap/mail_rows.h"
#include "webmail/imap/password_source.h"

namespace webmail {
namespace {

using Clock = std::chrono::steady_clock;

// What one command may read from the server, whatever it sends. libetpan holds a whole answer
// in memory, parsed, which takes up to some 20 times its size for one made of many tiny
// items (about 70 bytes a UID of a search), so these keep a request within about 40 MB.
constexpr std::size_t kMiB = 1024 * 1024;
constexpr std::size_t kSetupBudget = 1 * kMiB;   // greeting, login, INBOX
constexpr std::size_t kSearchBudget = 1 * kMiB;  // some 150,000 UIDs
constexpr std::size_t kRowsAtOnce = 250;         // headers fetched per command...
constexpr std::size_t kRowsBudget = 1 * kMiB;    // ...in at most this
constexpr std::size_t kMessageBudget = kMaxFetchBytes + kMiB;
constexpr std::size_t kDeleteBudget = 1 * kMiB;
constexpr std::chrono::seconds kKeepAliveLimit{10};
constexpr std::chrono::seconds kLogOutLimit{2};

}  // namespace

ImapConnection& ImapMailbox::Connection(std::size_t budget) {
  if (!connection_) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline_ - Clock::now());
    connection_ = account_.oauth ? ConnectWithToken()
                                 : Connect({FetchPassword(account_.imapPassword, std::max(left, std::chrono::milliseconds(1)))});
  }
  connection_->SetBounds({deadline_, account_.timeout, budget});
  return *connection_;
}

std::unique_ptr<ImapConnection> ImapMailbox::Connect(const Credentials& credentials) const {
  return std::make_unique<ImapConnection>(account_, trust_, stop_, TransportBounds{deadline_, account_.timeout, kSetupBudget},
                                          credentials);
}

// A token the server refuses may have been revoked or have ended early: one more, fetched afresh.
std::unique_ptr<ImapConnection> ImapMailbox::ConnectWithToken() {
  try {
    return Connect({tokens_.Current(deadline_), true});
  } catch (const LoginRefused&) {
    tokens_.Forget();
  }
  return Connect({tokens_.Current(deadline_), true});
}

NewMail ImapMailbox::NewMessages() {
  ImapConnection& connection = Connection(kSearchBudget);
  std::vector<std::uint32_t> uids = connection.UnseenUids();
  NewMail mail;
  mail.count = uids.size();
  if (uids.size() > kMaxRows) uids.resize(kMaxRows);
  if (connection.UidValidity() != rowsValidity_) {
    rows_.clear();
    rowsValidity_ = connection.UidValidity();
  }
  std::vector<std::uint32_t> missing;
  std::copy_if(uids.begin(), uids.end(), std::back_inserter(missing), [this](auto uid) { return !rows_.contains(uid); });
  for (auto batch = missing.begin(); batch != missing.end();) {
    const auto end = batch + static_cast<std::ptrdiff_t>(std::min<std::size_t>(missing.end() - batch, kRowsAtOnce));
    connection.SetBounds({deadline_, account_.timeout, kRowsBudget});
    for (const FetchedMessage& fetched : connection.Fetch({batch, end}, 0)) rows_[fetched.uid] = RowOf(fetched, rowsValidity_);
    batch = end;
  }
  std::erase_if(rows_, [&](const auto& row) { return !std::binary_search(uids.begin(), uids.end(), row.first, std::greater<>()); });
  for (const std::uint32_t uid : uids)  // a message expunged meanwhile is not there to show
    if (const auto row = rows_.find(uid); row != rows_.end()) mail.messages.push_back(row->second);
  return mail;
}

std::optional<MailMessage> ImapMailbox::Message(const std::string& id) {
  ImapConnection& connection = Connection(kMessageBudget);
  const std::optional<std::uint32_t> uid = UidOfId(id, connection.UidValidity());
  if (!uid) return std::nullopt;
  const std::vector<FetchedMessage> fetched = connection.Fetch({*uid}, kMaxFetchBytes);
  if (fetched.empty()) return std::nullopt;
  return WholeMessageOf(fetched.front(), connection.UidValidity());
}

// \Deleted and expunged: gone at once, as the service's Delete was.
void ImapMailbox::Delete(const std::vector<std::string>& ids) {
  ImapConnection& connection = Connection(kDeleteBudget);
  std::vector<std::uint32_t> uids;
  for (const std::string& id : ids)
    if (const std::optional<std::uint32_t> uid = UidOfId(id, connection.UidValidity())) uids.push_back(*uid);
  connection.Delete(uids);
  for (const std::uint32_t uid : uids) rows_.erase(uid);
}

void ImapMailbox::KeepAlive() {
  if (!connection_) return;
  try {
    connection_->SetBounds({Clock::now() + kKeepAliveLimit, kKeepAliveLimit, kDeleteBudget});
    connection_->Noop();
  } catch (const ImapFailure&) {
    Drop();
  }
}

void ImapMailbox::LogOut() {
  if (!connection_) return;
  connection_->SetBounds({Clock::now() + kLogOutLimit, kLogOutLimit, kDeleteBudget});
  connection_->LogOut();
  Drop();
}

}  // namespace webmail
