// SPDX-License-Identifier: MIT
// The IMAP side of the gateway, on the vmime library: TLS with verified certificates, one
// connection per session, every exchange of one request bounded by one deadline.

#include <vmime/net/imap/IMAPFolder.hpp>
#include <vmime/net/imap/IMAPStore.hpp>
#include <vmime/platforms/posix/posixHandler.hpp>
#include <vmime/vmime.hpp>

#include <algorithm>
#include <fstream>
#include <mutex>
#include <sstream>
#include <type_traits>

#include "session/whole_number.h"
#include "webmail/imap/imap_store.h"
#include "webmail/store/message_text.h"
#include "webmail/imap/password_source.h"
#include "webmail/imap/vmime_socket.h"

namespace webmail {

using Certificate = vmime::shared_ptr<vmime::security::cert::X509Certificate>;
using Clock = std::chrono::steady_clock;

struct ImapStore::Trust {
  std::vector<Certificate> certificates;
  bool chosen = false;  // the account's own file: its certificates may also be the server's own
};

namespace {

constexpr const char* kSystemCertificates = "/etc/ssl/certs/ca-certificates.crt";
constexpr std::size_t kMaxFetchBytes = 1024 * 1024;  // of one message, to find its text
constexpr std::size_t kMaxBodyBytes = 64 * 1024;     // of the text shown
constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                   "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

std::vector<Certificate> LoadCertificates(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  if (!in) throw GatewayConfigError("Cannot read certificate file " + path);
  const std::string pem = text.str();
  constexpr std::string_view kEnd = "-----END CERTIFICATE-----";
  std::vector<Certificate> certificates;
  for (std::size_t at = pem.find("-----BEGIN CERTIFICATE-----"); at != std::string::npos;
       at = pem.find("-----BEGIN CERTIFICATE-----", at + 1)) {
    const std::size_t end = pem.find(kEnd, at);
    if (end == std::string::npos) break;
    const std::string block = pem.substr(at, end + kEnd.size() - at);
    if (Certificate c = vmime::security::cert::X509Certificate::import(
            reinterpret_cast<const vmime::byte_t*>(block.data()), block.size()))
      certificates.push_back(c);
  }
  if (certificates.empty()) throw GatewayConfigError("No certificate in " + path);
  return certificates;
}

// All exchanges of one request share one deadline, however many round trips they take.
class DeadlineHandler : public vmime::net::timeoutHandler {
 public:
  explicit DeadlineHandler(std::shared_ptr<const Clock::time_point> end) : end_(std::move(end)) {}
  bool isTimeOut() override { return Clock::now() >= *end_; }
  void resetTimeOut() override {}
  bool handleTimeOut() override { return false; }

 private:
  std::shared_ptr<const Clock::time_point> end_;
};

class DeadlineFactory : public vmime::net::timeoutHandlerFactory {
 public:
  explicit DeadlineFactory(std::shared_ptr<const Clock::time_point> end) : end_(std::move(end)) {}
  vmime::shared_ptr<vmime::net::timeoutHandler> create() override {
    return vmime::make_shared<DeadlineHandler>(end_);
  }

 private:
  std::shared_ptr<const Clock::time_point> end_;
};

bool IsLoopback(const std::string& host) { return host == "localhost" || host.starts_with("127."); }

// Bytes in `charset` to UTF-8; a charset the converter does not know is taken as Latin-1.
std::string ToUtf8(const std::string& bytes, const vmime::charset& charset) {
  try {
    std::string out;
    vmime::charset::convert(bytes, out, charset, vmime::charsets::UTF_8);
    return out;
  } catch (const vmime::exception&) {
    std::string out;
    for (const char c : bytes) {
      const auto b = static_cast<unsigned char>(c);
      if (b < 0x80) {
        out += c;
      } else {
        out += static_cast<char>(0xC0 | (b >> 6));
        out += static_cast<char>(0x80 | (b & 0x3F));
      }
    }
    return out;
  }
}

std::string Latin1(const vmime::text& text) { return Utf8ToLatin1(text.getConvertedText(vmime::charsets::UTF_8)); }

std::string SenderOf(const vmime::header& header) {
  if (!header.hasField(vmime::fields::FROM)) return "(unknown sender)";
  const auto from = header.From()->getValue<vmime::mailbox>();
  if (!from) return "(unknown sender)";
  std::string shown = Latin1(from->getName());
  if (CellText(shown, kMaxSenderCell, "").empty()) shown = from->getEmail().toString();
  return CellText(shown, kMaxSenderCell, "(unknown sender)");
}

std::string SubjectOf(const vmime::header& header) {
  if (!header.hasField(vmime::fields::SUBJECT)) return "(no subject)";
  std::string subject = CellText(Latin1(*header.Subject()->getValue<vmime::text>()), kMaxSubjectCell, "(no subject)");
  // A subject that is a whole number would read as the second half of a split date; a
  // trailing space keeps it a subject.
  if (ParseWholeNumber(subject)) subject += ' ';
  return subject;
}

// "Dec 7 2024 10:05", in the sender's own time zone, as the message gives it.
std::string DateOf(const vmime::header& header) {
  if (!header.hasField(vmime::fields::DATE)) return "(no date)";
  const auto date = header.Date()->getValue<vmime::datetime>();
  if (!date || date->getYear() <= 1970 || date->getMonth() < 1 || date->getMonth() > 12) return "(no date)";
  char text[40];
  std::snprintf(text, sizeof text, "%s %d %d %02d:%02d", kMonths[date->getMonth() - 1], date->getDay(),
                date->getYear(), date->getHour(), date->getMinute());
  return text;
}

// Ids carry the mailbox's UIDVALIDITY, so that an id from before the mailbox was rebuilt
// never names a different message.
std::string IdOf(vmime_uint32 validity, const vmime::net::message::uid& uid) {
  return "U" + std::to_string(validity) + "-" + static_cast<std::string>(uid);
}

std::optional<std::string> UidOf(const std::string& id, vmime_uint32 validity) {
  const std::string prefix = "U" + std::to_string(validity) + "-";
  if (!id.starts_with(prefix) || id.size() == prefix.size() ||
      id.find_first_not_of("0123456789", prefix.size()) != std::string::npos)
    return std::nullopt;
  return id.substr(prefix.size());
}

unsigned long UidNumber(const vmime::net::message& m) { return std::stoul(static_cast<std::string>(m.getUID())); }

// The first text/plain part, else the first text/html part reduced to text; UTF-8.
std::string TextOf(const std::string& raw) {
  auto message = vmime::make_shared<vmime::message>();
  message->parse(raw);
  vmime::messageParser parser(message);
  vmime::shared_ptr<const vmime::textPart> chosen;
  for (const auto& part : parser.getTextPartList()) {
    if (part->getType() == vmime::mediaType(vmime::mediaTypes::TEXT, vmime::mediaTypes::TEXT_PLAIN)) {
      chosen = part;
      break;
    }
    if (!chosen && part->getType() == vmime::mediaType(vmime::mediaTypes::TEXT, vmime::mediaTypes::TEXT_HTML))
      chosen = part;
  }
  if (!chosen) return "(This message has no text to show.)";
  std::string bytes;
  vmime::utility::outputStreamStringAdapter out(bytes);
  chosen->getText()->extract(out);
  out.flush();
  const std::string text = ToUtf8(bytes, chosen->getCharset());
  return chosen->getType().getSubType() == vmime::mediaTypes::TEXT_HTML ? HtmlToText(text) : text;
}

std::string Describe(const vmime::exception& e) {
  std::string text = e.what();
  for (const vmime::exception* cause = e.other(); cause; cause = cause->other()) text += ": " + std::string(cause->what());
  return text;
}

void SetUpPlatform() {
  static std::once_flag once;
  std::call_once(once, [] { vmime::platform::setHandler<vmime::platforms::posix::posixHandler>(); });
}

class ImapMailbox : public Mailbox {
 public:
  ImapMailbox(const GatewayAccount& account, std::shared_ptr<const ImapStore::Trust> trust)
      : account_(account), trust_(std::move(trust)), deadline_(std::make_shared<Clock::time_point>()) {}
  ~ImapMailbox() override { LogOut(); }

  std::vector<MailMessage> NewMessages() override {
    return Run([this] {
      std::vector<MailMessage> rows;
      std::vector<vmime::shared_ptr<vmime::net::message>> unseen = Unseen();
      if (!unseen.empty())
        inbox_->fetchMessages(unseen, vmime::net::fetchAttributes::ENVELOPE | vmime::net::fetchAttributes::SIZE);
      for (const auto& m : unseen) rows.push_back(Row(*m));
      return rows;
    });
  }

  std::optional<MailMessage> Message(const std::string& id) override {
    return Run([&]() -> std::optional<MailMessage> {
      const std::optional<std::string> uid = UidOf(id, validity_);
      if (!uid) return std::nullopt;
      std::vector<vmime::shared_ptr<vmime::net::message>> found = WithUid(*uid);
      if (found.empty()) return std::nullopt;
      inbox_->fetchMessages(found, vmime::net::fetchAttributes::ENVELOPE | vmime::net::fetchAttributes::SIZE);
      MailMessage message = Row(*found.front());
      std::string raw;
      vmime::utility::outputStreamStringAdapter out(raw);
      found.front()->extract(out, nullptr, 0, kMaxFetchBytes, /*peek=*/true);  // stays unseen
      out.flush();
      message.bodyLines = BodyLines(Utf8ToLatin1(TextOf(raw)), kMaxBodyBytes);
      return message;
    });
  }

  // \Deleted and EXPUNGE: gone at once, as the service's Delete was.
  void Delete(const std::vector<std::string>& ids) override {
    Run([&] {
      std::vector<vmime::net::message::uid> uids;
      for (const std::string& id : ids)
        if (const std::optional<std::string> uid = UidOf(id, validity_)) uids.emplace_back(*uid);
      if (uids.empty()) return;
      inbox_->setMessageFlags(vmime::net::messageSet::byUID(uids), vmime::net::message::FLAG_DELETED,
                              vmime::net::message::FLAG_MODE_ADD);
      inbox_->expunge();
    });
  }

  void CloseIfIdle(Clock::time_point idleSince) override {
    if (store_ && lastUse_ < idleSince) LogOut();
  }

 private:
  // Runs `work` on a live connection within the account's time limit; every failure becomes a
  // MailStoreError that says what went wrong, and costs the connection.
  template <class Work>
  std::invoke_result_t<Work> Run(Work work) {
    *deadline_ = Clock::now() + account_.timeout;
    try {
      EnsureConnected();
      if constexpr (std::is_void_v<decltype(work())>) {
        work();
        lastUse_ = Clock::now();
      } else {
        auto result = work();
        lastUse_ = Clock::now();
        return result;
      }
    } catch (const vmime::exceptions::authentication_error&) {
      Fail("the server refused the login");
    } catch (const vmime::exceptions::operation_timed_out&) {
      Fail("no answer within " + std::to_string(account_.timeout.count()) + " seconds");
    } catch (const vmime::exceptions::connection_error& e) {
      Fail("cannot connect to the server (" + Describe(e) + ")");
    } catch (const vmime::security::cert::certificateException& e) {
      Fail(std::string("the server's certificate is not trusted: ") + e.what());
    } catch (const vmime::exception& e) {
      Fail(Describe(e));
    } catch (const GatewayConfigError& e) {
      Fail(e.what());
    }
  }

  [[noreturn]] void Fail(const std::string& what) {
    Disconnect();
    throw MailStoreError(account_.server.Url() + " as " + account_.user + ": " + what);
  }

  // A connection kept from an earlier request may have died meanwhile: one NOOP tells, and a
  // new connection replaces it.
  void EnsureConnected() {
    if (store_) {
      try {
        inbox_->noop();
        return;
      } catch (const vmime::exception&) {
        Disconnect();
      }
    }
    Connect();
  }

  void Connect() {
    SetUpPlatform();
    const std::string password = FetchPassword(
        account_.imapPassword, std::chrono::duration_cast<std::chrono::milliseconds>(*deadline_ - Clock::now()));
    session_ = vmime::net::session::create();
    store_ = session_->getStore(vmime::utility::url(account_.server.Url()));
    store_->setProperty("auth.username", account_.user);
    store_->setProperty("auth.password", password);
    store_->setProperty("options.sasl", false);  // one LOGIN, so a refused password says so at once
    if (!account_.server.implicitTls) {
      store_->setProperty("connection.tls", !account_.plaintext);
      store_->setProperty("connection.tls.required", !account_.plaintext && !IsLoopback(account_.server.host));
    }
    auto verifier = vmime::make_shared<vmime::security::cert::defaultCertificateVerifier>();
    verifier->setX509RootCAs(trust_->certificates);
    if (trust_->chosen) verifier->setX509TrustedCerts(trust_->certificates);
    store_->setCertificateVerifier(verifier);
    store_->setTimeoutHandlerFactory(vmime::make_shared<DeadlineFactory>(deadline_));
    store_->setSocketFactory(vmime::make_shared<NumericPeerSocketFactory>());
    store_->connect();
    inbox_ = vmime::dynamicCast<vmime::net::imap::IMAPFolder>(store_->getDefaultFolder());
    inbox_->open(vmime::net::folder::MODE_READ_WRITE);
    store_->setProperty("auth.password", std::string());  // no copy kept while connected
    // vmime gives an open folder a connection of its own; the store's first one has done its
    // part (the login that proved the password) and goes, so that a session holds one.
    vmime::dynamicCast<vmime::net::imap::IMAPStore>(store_)->getConnection()->disconnect();
    validity_ = inbox_->getUIDValidity();
  }

  // A polite LOGOUT, given a little time of its own.
  void LogOut() noexcept {
    *deadline_ = Clock::now() + std::min<Clock::duration>(account_.timeout, std::chrono::seconds(5));
    Disconnect();
  }

  // LOGOUT when it can be had within the deadline; the objects go in any case.
  void Disconnect() noexcept {
    try {
      if (inbox_ && inbox_->isOpen()) inbox_->close(false);
    } catch (const vmime::exception&) {
    }
    try {
      if (store_ && store_->isConnected()) store_->disconnect();
    } catch (const vmime::exception&) {
    }
    inbox_.reset();
    store_.reset();
    session_.reset();
  }

  // All messages with their flags and UIDs.
  std::vector<vmime::shared_ptr<vmime::net::message>> AllMessages() {
    if (inbox_->getMessageCount() == 0) return {};
    auto all = inbox_->getMessages(vmime::net::messageSet::byNumber(1, -1));
    inbox_->fetchMessages(all, vmime::net::fetchAttributes::FLAGS | vmime::net::fetchAttributes::UID);
    return all;
  }

  // Unseen and not deleted, newest (highest UID) first.
  std::vector<vmime::shared_ptr<vmime::net::message>> Unseen() {
    auto messages = AllMessages();
    std::erase_if(messages, [](const auto& m) {
      return (m->getFlags() & (vmime::net::message::FLAG_SEEN | vmime::net::message::FLAG_DELETED)) != 0;
    });
    std::sort(messages.begin(), messages.end(), [](const auto& a, const auto& b) { return UidNumber(*a) > UidNumber(*b); });
    return messages;
  }

  std::vector<vmime::shared_ptr<vmime::net::message>> WithUid(const std::string& uid) {
    auto messages = AllMessages();
    std::erase_if(messages, [&](const auto& m) { return static_cast<std::string>(m->getUID()) != uid; });
    return messages;
  }

  MailMessage Row(const vmime::net::message& m) const {
    const vmime::header& header = *m.getHeader();
    return MailMessage{IdOf(validity_, m.getUID()), SenderOf(header), DateOf(header), SubjectOf(header),
                       SizeText(m.getSize()), {}};
  }

  const GatewayAccount& account_;
  std::shared_ptr<const ImapStore::Trust> trust_;
  std::shared_ptr<Clock::time_point> deadline_;
  vmime::shared_ptr<vmime::net::session> session_;
  vmime::shared_ptr<vmime::net::store> store_;
  vmime::shared_ptr<vmime::net::imap::IMAPFolder> inbox_;
  vmime_uint32 validity_ = 0;
  Clock::time_point lastUse_;
};

}  // namespace

ImapStore::ImapStore(std::vector<GatewayAccount> accounts) : accounts_(std::move(accounts)) {
  SetUpPlatform();
  for (const GatewayAccount& account : accounts_) {
    auto trust = std::make_shared<Trust>();
    trust->chosen = !account.caFile.empty();
    trust->certificates = LoadCertificates(trust->chosen ? account.caFile : kSystemCertificates);
    trust_.push_back(std::move(trust));
  }
}

ImapStore::~ImapStore() = default;

std::unique_ptr<Mailbox> ImapStore::Open(const std::string& login, const std::string& password) {
  for (std::size_t i = 0; i < accounts_.size(); ++i)
    if (accounts_[i].login == login && accounts_[i].password == password)
      return std::make_unique<ImapMailbox>(accounts_[i], trust_[i]);
  return nullptr;
}

}  // namespace webmail
