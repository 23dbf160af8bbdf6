// SPDX-License-Identifier: MIT
#include "webmail/imap/gateway_config.h"

#include <sys/stat.h>

#include <charconv>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>

#include "webmail/store/accounts.h"
#include "webmail/store/message_text.h"

namespace webmail {
namespace {

constexpr std::size_t kMaxPasswordLength = 16;  // the notifier's password field holds 16 characters

std::string_view Trim(std::string_view text) {
  const std::size_t first = text.find_first_not_of(" \t\r");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

std::optional<std::uint64_t> ParseNumber(std::string_view text, std::uint64_t low, std::uint64_t high) {
  std::uint64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size() || value < low || value > high)
    return std::nullopt;
  return value;
}

class ConfigParser {
 public:
  explicit ConfigParser(const std::string& source) : source_(source) {}

  std::vector<GatewayAccount> Parse(std::string_view text) {
    std::size_t number = 0;
    for (std::size_t begin = 0; begin <= text.size();) {
      const std::size_t end = std::min(text.find('\n', begin), text.size());
      Take(++number, Trim(text.substr(begin, end - begin)));
      begin = end + 1;
    }
    Finish();
    if (accounts_.empty()) throw GatewayConfigError(source_ + ": holds no account");
    return std::move(accounts_);
  }

 private:
  [[noreturn]] void Fail(std::size_t line, const std::string& text) const {
    throw GatewayConfigError(source_ + ":" + std::to_string(line) + ": " + text);
  }

  void Take(std::size_t line, std::string_view text) {
    if (text.empty() || text.front() == '#' || text.front() == ';') return;
    if (text.front() == '[') return StartAccount(line, text);
    const std::size_t equals = text.find('=');
    if (equals == std::string_view::npos) Fail(line, "expected \"key = value\" or \"[login]\"");
    if (!account_) Fail(line, "\"" + std::string(Trim(text.substr(0, equals))) + "\" before any [login] line");
    const std::string key(Trim(text.substr(0, equals)));
    const std::string value(Trim(text.substr(equals + 1)));
    if (!keys_.emplace(key, line).second) Fail(line, "\"" + key + "\" is given twice for [" + account_->login + "]");
    Set(line, key, value);
  }

  void StartAccount(std::size_t line, std::string_view text) {
    Finish();
    if (text.back() != ']') Fail(line, "a section line is \"[login]\"");
    const std::string login(Trim(text.substr(1, text.size() - 2)));
    if (!IsPlainName(login, kMaxLoginLength))
      Fail(line, "login \"" + login + "\" must be 1 to 16 letters, digits, '.', '_' or '-'");
    for (const GatewayAccount& a : accounts_)
      if (a.login == login) Fail(line, "[" + login + "] is defined twice");
    account_ = GatewayAccount{};
    account_->login = login;
    accountLine_ = line;
    keys_.clear();
  }

  void Set(std::size_t line, const std::string& key, const std::string& value) {
    GatewayAccount& a = *account_;
    if (key == "password") return SetLocalPassword(line, value);
    if (key == "imap") return SetServer(line, value);
    if (key == "user") a.user = value;
    else if (key == "password-env") SetSource(line, PasswordSource::Kind::Environment, value);
    else if (key == "password-file") SetSource(line, PasswordSource::Kind::File, value);
    else if (key == "password-command") SetSource(line, PasswordSource::Kind::Command, value);
    else if (key == "ca-file") a.caFile = value;
    else if (key == "plaintext") a.plaintext = YesNo(line, key, value);
    else if (key == "timeout") a.timeout = std::chrono::seconds(Seconds(line, value));
    else if (key == "auth") SetAuth(line, value);
    else if (!SetOAuthKey(oauth_, key, value)) Fail(line, "unknown key \"" + key + "\"");
    if (value.empty()) Fail(line, "\"" + key + "\" needs a value");
  }

  // The notifier sends its password in Latin-1, one byte a character, and the comparison is
  // byte by byte: the file's UTF-8 is turned into that form here.
  void SetLocalPassword(std::size_t line, const std::string& value) {
    const std::optional<std::string> latin1 = Utf8ToLatin1Exactly(value);
    if (!latin1)
      Fail(line, "the local password of [" + account_->login +
                     "] holds a character beyond Latin-1 or bytes that are not UTF-8; the notifier sends only "
                     "Latin-1 characters");
    if (latin1->empty() || latin1->size() > kMaxPasswordLength)
      Fail(line, "the local password must be 1 to 16 characters (the notifier's field holds 16)");
    for (const char c : *latin1) {
      const auto code = static_cast<unsigned char>(c);
      if (code < 32 || (code >= 127 && code < 160)) Fail(line, "control character in the local password");
    }
    account_->password = *latin1;
  }

  // imap[s]://host[:port][/] and nothing else: the gateway always reads INBOX.
  void SetServer(std::size_t line, const std::string& value) {
    ImapServer& server = account_->server;
    std::string_view rest = value;
    if (rest.starts_with("imaps://")) {
      server.implicitTls = true;
      server.port = 993;
      rest.remove_prefix(8);
    } else if (rest.starts_with("imap://")) {
      server.implicitTls = false;
      server.port = 143;
      rest.remove_prefix(7);
    } else {
      Fail(line, "the IMAP URL must begin with imaps:// or imap://, not \"" + value + "\"");
    }
    if (rest.ends_with('/')) rest.remove_suffix(1);
    const std::size_t colon = rest.rfind(':');
    server.host = std::string(rest.substr(0, colon));
    if (colon != std::string_view::npos) {
      const std::optional<std::uint64_t> port = ParseNumber(rest.substr(colon + 1), 1, 65535);
      if (!port) Fail(line, "bad port in the IMAP URL \"" + value + "\"");
      server.port = static_cast<std::uint16_t>(*port);
    }
    if (server.host.empty() || server.host.find_first_of("/@?#[] ") != std::string::npos)
      Fail(line, "the IMAP URL \"" + value + "\" must be imap[s]://host[:port]");
  }

  void SetAuth(std::size_t line, const std::string& value) {
    if (value != "password" && value != "oauth2") Fail(line, "auth is password or oauth2, not \"" + value + "\"");
    if (value == "oauth2") account_->oauth.emplace();
  }

  void SetSource(std::size_t line, PasswordSource::Kind kind, const std::string& value) {
    if (hasSource_) Fail(line, "[" + account_->login + "] has more than one IMAP password source");
    account_->imapPassword = PasswordSource{kind, value};
    hasSource_ = true;
  }

  bool YesNo(std::size_t line, const std::string& key, const std::string& value) const {
    if (value == "yes") return true;
    if (value == "no") return false;
    Fail(line, "\"" + key + "\" is yes or no, not \"" + value + "\"");
  }

  std::uint64_t Seconds(std::size_t line, const std::string& value) const {
    const std::optional<std::uint64_t> seconds = ParseNumber(value, 1, 600);
    if (!seconds) Fail(line, "timeout needs whole seconds from 1 to 600, not \"" + value + "\"");
    return *seconds;
  }

  void Finish() {
    if (!account_) return;
    const std::string name = "[" + account_->login + "] ";
    for (const char* key : {"password", "user"})
      if (!keys_.contains(key)) Fail(accountLine_, name + "has no \"" + key + "\"");
    if (account_->oauth) {
      FinishOAuth(name);
    } else {
      if (!keys_.contains("imap")) Fail(accountLine_, name + "has no \"imap\"");
      if (!hasSource_) Fail(accountLine_, name + "needs password-env, password-file or password-command");
      OAuthSettings unused;
      for (const auto& [key, line] : keys_)
        if (SetOAuthKey(unused, key, "")) Fail(line, "\"" + key + "\" is for auth = oauth2 only");
    }
    accounts_.push_back(std::move(*account_));
    account_.reset();
    oauth_ = {};
    hasSource_ = false;
  }

  void FinishOAuth(const std::string& name) {
    if (hasSource_) Fail(accountLine_, name + "signs in with OAuth 2.0 and needs no IMAP password source");
    *account_->oauth = oauth_;
    const std::string problem = CompleteOAuth(*account_->oauth, account_->server, keys_.contains("imap"));
    if (!problem.empty()) Fail(accountLine_, name + problem);
  }

  const std::string& source_;
  std::vector<GatewayAccount> accounts_;
  std::optional<GatewayAccount> account_;
  std::size_t accountLine_ = 0;
  std::map<std::string, std::size_t> keys_;  // keys given in the current section
  bool hasSource_ = false;
  OAuthSettings oauth_;  // the sign-in keys of the current section
};

}  // namespace

std::string ImapServer::Url() const {
  return std::string(implicitTls ? "imaps://" : "imap://") + host + ":" + std::to_string(port);
}

std::vector<GatewayAccount> ParseGatewayConfig(std::string_view text, const std::string& source) {
  return ConfigParser(source).Parse(text);
}

void RequireOwnerOnly(const std::string& path, const std::string& what) {
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0) throw GatewayConfigError("Cannot open " + what + " " + path);
  if (!S_ISREG(status.st_mode)) throw GatewayConfigError(what + " " + path + " is not a regular file");
  if ((status.st_mode & 077) != 0)
    throw GatewayConfigError(what + " " + path +
                             " holds a password but others can read or change it; make it owner-only (chmod 600)");
}

std::vector<GatewayAccount> ReadGatewayConfig(const std::string& path) {
  RequireOwnerOnly(path, "Gateway file");
  std::ifstream in(path, std::ios::binary);
  if (!in) throw GatewayConfigError("Cannot open gateway file " + path);
  std::ostringstream text;
  text << in.rdbuf();
  if (in.bad()) throw GatewayConfigError("Cannot read gateway file " + path);
  return ParseGatewayConfig(text.str(), path);
}

}  // namespace webmail
