// SPDX-License-Identifier: MIT
#pragma once
// The service's pages other than the mailbox page.

#include <string>

#include "webmail/store/accounts.h"

namespace webmail {

// Answer to a bad login; the notifier recognises it by "We're".
std::string LoginFailedPage();

// One message, its body between "<div><pre>" and "</pre></div>".
std::string MessagePage(const Account& account, const MailMessage& message, const std::string& sid);

// Why `message`'s body would not come back whole from the message page; empty when it would.
std::string MessageBodyProblem(const MailMessage& message);

std::string SignedOutPage();

// Answer to any request that names an unknown or signed-out session.
std::string SessionExpiredPage();

// A plain page for an HTTP error status.
std::string ErrorPage(int status, const std::string& explanation);

}  // namespace webmail
