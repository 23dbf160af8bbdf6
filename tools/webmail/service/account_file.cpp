// SPDX-License-Identifier: MIT
#include <fstream>
#include <optional>
#include <set>
#include <sstream>

#include "webmail/store/accounts.h"
#include "webmail/service/mailbox_page.h"
#include "webmail/service/pages.h"
#include "webmail/service/site.h"

namespace webmail {
namespace {

constexpr std::size_t kMaxIdLength = 30;  // the notifier reads check box names up to 30

std::string_view Trim(std::string_view text) {
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

struct Line {
  std::size_t number;
  std::string_view key;
  std::string_view rest;  // everything after the key and one separator character
};

std::optional<Line> SplitLine(std::string_view raw, std::size_t number) {
  if (!raw.empty() && raw.back() == '\r') raw.remove_suffix(1);
  const std::string_view trimmed = Trim(raw);
  if (trimmed.empty() || trimmed.front() == '#') return std::nullopt;
  const std::size_t start = raw.find_first_not_of(" \t");
  const std::size_t end = raw.find_first_of(" \t", start);
  if (end == std::string_view::npos) return Line{number, raw.substr(start), {}};
  return Line{number, raw.substr(start, end - start), raw.substr(end + 1)};
}

class AccountFileParser {
 public:
  explicit AccountFileParser(const std::string& source) : source_(source) {}

  std::vector<Account> Parse(std::string_view text) {
    std::size_t number = 0;
    for (std::size_t begin = 0; begin <= text.size(); ++number) {
      std::size_t end = text.find('\n', begin);
      if (end == std::string_view::npos) end = text.size();
      if (const std::optional<Line> line = SplitLine(text.substr(begin, end - begin), number + 1)) Take(*line);
      begin = end + 1;
    }
    FinishAccount();
    if (accounts_.empty()) throw AccountFileError(source_ + ": holds no account");
    return std::move(accounts_);
  }

 private:
  [[noreturn]] void Fail(std::size_t line, const std::string& text) const {
    throw AccountFileError(source_ + ":" + std::to_string(line) + ": " + text);
  }

  void Take(const Line& line) {
    for (const char c : line.rest) {
      const auto byte = static_cast<unsigned char>(c);
      if ((byte < 32 && c != '\t') || byte == 127) Fail(line.number, "control character in the value");
    }
    if (line.key == "account") return StartAccount(line);
    if (line.key == "password") return SetPassword(line);
    if (line.key == "message") return StartMessage(line);
    if (line.key == "body") return AddBodyLine(line);
    if (line.key == "from" || line.key == "date" || line.key == "subject" || line.key == "size") return SetCell(line);
    Fail(line.number, "unknown key \"" + std::string(line.key) + "\"");
  }

  void StartAccount(const Line& line) {
    FinishAccount();
    const std::string login(Trim(line.rest));
    if (!IsPlainName(login, kMaxLoginLength))
      Fail(line.number, "login \"" + login + "\" must be 1 to 16 letters, digits, '.', '_' or '-'");
    for (const Account& a : accounts_)
      if (a.login == login) Fail(line.number, "account \"" + login + "\" is defined twice");
    account_ = Account{login, {}, {}};
    accountLine_ = line.number;
    hasPassword_ = false;
  }

  void SetPassword(const Line& line) {
    if (!account_) Fail(line.number, "\"password\" before any \"account\" line");
    if (hasPassword_) Fail(line.number, "account \"" + account_->login + "\" has two passwords");
    account_->password = std::string(Trim(line.rest));
    hasPassword_ = true;
  }

  void StartMessage(const Line& line) {
    if (!account_) Fail(line.number, "\"message\" before any \"account\" line");
    FinishMessage();
    const std::string id(Trim(line.rest));
    if (!IsPlainName(id, kMaxIdLength))
      Fail(line.number, "message id \"" + id + "\" must be 1 to 30 letters, digits, '.', '_' or '-'");
    if (site::IsFormFieldName(id)) Fail(line.number, "message id \"" + id + "\" is the name of a form field");
    for (const MailMessage& m : account_->messages)
      if (m.id == id)
        Fail(line.number, "message id \"" + id + "\" is used twice in account \"" + account_->login + "\"");
    message_ = MailMessage{id, {}, {}, {}, {}, {}};
    messageLine_ = line.number;
    cells_.clear();
  }

  MailMessage& CurrentMessage(const Line& line) {
    if (!message_) Fail(line.number, "\"" + std::string(line.key) + "\" before any \"message\" line");
    return *message_;
  }

  void SetCell(const Line& line) {
    MailMessage& m = CurrentMessage(line);
    if (!cells_.insert(std::string(line.key)).second)
      Fail(line.number, "message \"" + m.id + "\" has two \"" + std::string(line.key) + "\" lines");
    std::string& cell = line.key == "from"      ? m.sender
                        : line.key == "date"    ? m.date
                        : line.key == "subject" ? m.subject
                                                : m.size;
    cell = Trim(line.rest);
  }

  // Body lines keep their leading spaces: only the one separator after "body" is dropped.
  void AddBodyLine(const Line& line) {
    MailMessage& m = CurrentMessage(line);
    std::string_view text = line.rest;
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    m.bodyLines.emplace_back(text);
  }

  void FinishMessage() {
    if (!message_) return;
    for (const char* key : {"from", "date", "subject", "size"})
      if (!cells_.contains(key)) Fail(messageLine_, "message \"" + message_->id + "\" has no \"" + key + "\" line");
    if (std::string problem = MessageRowProblem(*message_); !problem.empty()) Fail(messageLine_, problem);
    if (std::string problem = MessageBodyProblem(*message_); !problem.empty()) Fail(messageLine_, problem);
    account_->messages.push_back(std::move(*message_));
    message_.reset();
  }

  void FinishAccount() {
    if (!account_) return;
    FinishMessage();
    if (!hasPassword_) Fail(accountLine_, "account \"" + account_->login + "\" has no \"password\" line");
    accounts_.push_back(std::move(*account_));
    account_.reset();
  }

  const std::string& source_;
  std::vector<Account> accounts_;
  std::optional<Account> account_;
  std::size_t accountLine_ = 0;
  bool hasPassword_ = false;
  std::optional<MailMessage> message_;
  std::size_t messageLine_ = 0;
  std::set<std::string> cells_;  // cell keys already given for the current message
};

}  // namespace

bool IsPlainName(std::string_view text, std::size_t maxLength) {
  if (text.empty() || text.size() > maxLength) return false;
  for (const char c : text) {
    const bool ok =
        (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' || c == '_' || c == '-';
    if (!ok) return false;
  }
  return true;
}

std::vector<Account> ParseAccounts(std::string_view text, const std::string& source) {
  return AccountFileParser(source).Parse(text);
}

std::vector<Account> ReadAccountsFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw AccountFileError("Cannot open account file " + path);
  std::ostringstream text;
  text << in.rdbuf();
  if (in.bad()) throw AccountFileError("Cannot read account file " + path);
  return ParseAccounts(text.str(), path);
}

}  // namespace webmail
