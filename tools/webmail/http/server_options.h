// SPDX-License-Identifier: MIT
#pragma once
// Configuration of the webmail program: where it listens, its accounts, proxy authentication,
// and the fault modes that tests and benchmarks switch on.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "webmail/http/proxy_auth.h"

namespace webmail {

// The core applies status, redirects, the endless body, the huge mailbox and never-answer;
// the transport applies the timing and the early close.
struct FaultModes {
  std::chrono::milliseconds delay{0};          // before the first byte of each answer
  std::size_t dripBytesPerSecond = 0;          // 0: send at full speed
  std::optional<std::size_t> closeAfterBytes;  // close after this many bytes of the answer
  std::optional<int> fixedStatus;              // every service answer has this status
  int redirects = 0;                           // 302s before the real answer
  bool endlessBody = false;
  bool hugeMailbox = false;  // mailbox pages beyond the page capacity
  bool neverAnswer = false;  // read the request, then keep silent
};

// What one client may cost the server. A request must be complete within `request` of the
// connection's start; a connection that reads or sends nothing for `idle` while a request comes
// in or its answer goes out is closed; at most `maxConnections` are served at once, and later
// ones wait in the listen queue until one ends.
struct ConnectionLimits {
  std::chrono::milliseconds request{30'000};
  std::chrono::milliseconds idle{15'000};
  std::size_t maxConnections = 256;
};

struct ServerOptions {
  std::uint16_t port = 8080;  // 0: any free port
  std::string accountsFile;   // empty: the built-in account
  std::string gatewayFile;    // IMAP gateway configuration; replaces the accounts
  std::string authorize;      // a gateway account to sign in, instead of serving
  std::string check;          // a gateway account to check once, instead of serving
  std::chrono::seconds imapIdleLimit{1800};  // an account's kept IMAP connection unused this long ends
  std::optional<ProxyCredentials> proxyAuth;
  FaultModes faults;
  ConnectionLimits limits;
  bool help = false;
};

class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

inline constexpr int kMaxRedirects = 100;

// Parses the program's arguments (without the program name). Throws UsageError.
ServerOptions ParseCommandLine(const std::vector<std::string>& args);

std::string UsageText();

}  // namespace webmail
