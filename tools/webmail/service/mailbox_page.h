// SPDX-License-Identifier: MIT
#pragma once
// The mailbox page: what the notifier scans after a login and after a deletion.

#include <cstddef>
#include <string>

#include "webmail/store/accounts.h"

namespace webmail {

// The page of `account`'s new messages for session `sid`, of `count` new messages in all (the
// rows may be only the newest of them). `huge` pads it beyond the notifier's page capacity
// (a fault mode).
std::string MailboxPage(const Account& account, std::size_t count, const std::string& sid, bool huge = false);

// Why `message` cannot be shown as a row that the notifier reads back unchanged; empty when
// it can.
std::string MessageRowProblem(const MailMessage& message);

}  // namespace webmail
