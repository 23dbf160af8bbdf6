// SPDX-License-Identifier: MIT
#pragma once
// One logged-in IMAP connection with INBOX selected, on libetpan over our own transport: the
// commands the gateway needs and nothing else. Every failure is an ImapFailure whose text
// says what went wrong.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "webmail/imap/gateway_config.h"
#include "webmail/imap/imap_transport.h"

struct mailimap;

namespace webmail {

// A message as the server gave it: the From, Subject and Date header lines, raw.
struct FetchedMessage {
  std::uint32_t uid = 0;
  std::uint32_t size = 0;
  std::string internalDate;  // "Dec 7 2024 10:05", in the server's zone; empty when not given
  std::string headers;
  std::string body;  // the start of the whole message, when asked for
};

// What the connection logs in with: a password (LOGIN) or an OAuth 2.0 access token (XOAUTH2).
struct Credentials {
  std::string secret;
  bool token = false;
};

class ImapConnection {
 public:
  // Connects, secures the connection as the account asks, logs in and selects INBOX. A
  // refused login is a LoginRefused.
  ImapConnection(const GatewayAccount& account, const TlsTrust& trust, const StopSignal& stop,
                 const TransportBounds& bounds, const Credentials& credentials);
  ImapConnection(const ImapConnection&) = delete;
  ImapConnection& operator=(const ImapConnection&) = delete;

  void SetBounds(const TransportBounds& bounds) { transport_.SetBounds(bounds); }
  std::uint32_t UidValidity() const { return uidValidity_; }

  // UIDs of the unseen messages not flagged \Deleted, highest first.
  std::vector<std::uint32_t> UnseenUids();

  // The messages of `uids` that are still there, with the first `bodyBytes` of each (0: none).
  std::vector<FetchedMessage> Fetch(const std::vector<std::uint32_t>& uids, std::uint32_t bodyBytes);

  // \Deleted, then expunged: only these messages where the server can (UIDPLUS), else all
  // messages flagged \Deleted in INBOX.
  void Delete(const std::vector<std::uint32_t>& uids);

  void Noop();

  // A polite LOGOUT; failures are of no interest any more.
  void LogOut() noexcept;

 private:
  void Check(int result, const char* what);
  void Secure(const GatewayAccount& account, const TlsTrust& trust);
  void AskCapabilities();
  void LogIn(const std::string& user, const Credentials& credentials);

  ImapTransport transport_;
  std::string streamFailure_;  // what the transport reported inside libetpan
  std::unique_ptr<mailimap, void (*)(mailimap*)> session_;  // goes before the transport
  std::uint32_t uidValidity_ = 0;
};

}  // namespace webmail
