// SPDX-License-Identifier: MIT
#include "webmail/store/accounts.h"

namespace webmail {
namespace {

// The same account opens accounts.example.
constexpr std::string_view kDefaultAccounts = R"(account alice
password wonderland

message MSG1001
from Ann Example
date Dec 7
subject Lunch on Friday?
size 2k
body Hi Alice,
body
body lunch on Friday at noon, at the usual place?
body
body   Ann

message MSG1002
from Bob Sample
date 12/07
subject Quarterly report
size 48k
body The quarterly report is ready; figures are up 4% on last quarter.

message MSG1003
from Carol Test
date Dec 8
subject Re: tickets
size 1k
body Got the tickets. See you there!

message MSG1004
from Hotmail Staff
date Dec 9
subject Welcome to Hotmail
size 3k
body Welcome to Hotmail, the free web-based e-mail service.
)";

}  // namespace

std::vector<Account> DefaultAccounts() { return ParseAccounts(kDefaultAccounts, "built-in accounts"); }

}  // namespace webmail
