// SPDX-License-Identifier: MIT
#pragma once
// Accounts and mailboxes of the emulated service, read once at start from an account file (or
// the built-in defaults) and then changed only by deletions.

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace webmail {

struct MailMessage {
  std::string id;  // check box name and message key; at most 30 characters
  std::string sender;
  std::string date;  // "12/07" is shown over two cells, read back as "12/07"
  std::string subject;
  std::string size;
  std::vector<std::string> bodyLines;
};

struct Account {
  std::string login;
  std::string password;
  std::vector<MailMessage> messages;  // all new, in page order
};

inline constexpr std::size_t kMaxLoginLength = 16;  // the notifier's login field holds 16 characters

// Login names and message ids appear raw in page titles, links and the deletion query, so they
// are kept to letters, digits, '.', '_' and '-', which need no escaping anywhere.
bool IsPlainName(std::string_view text, std::size_t maxLength);

// A bad account file; the text names the file and line.
class AccountFileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Parses account file text. `source` names it in error texts ("accounts.txt:12: ...").
std::vector<Account> ParseAccounts(std::string_view text, const std::string& source);

std::vector<Account> ReadAccountsFile(const std::string& path);

// One account, alice / wonderland, with four new messages (one with a split date, one with a
// multi-line body).
std::vector<Account> DefaultAccounts();

}  // namespace webmail
