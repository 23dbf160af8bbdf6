// SPDX-License-Identifier: MIT
#include "webmail/http/server_options.h"

#include <charconv>

namespace webmail {
namespace {

std::uint64_t ParseNumber(const std::string& option, const std::string& text, std::uint64_t low, std::uint64_t high) {
  std::uint64_t value = 0;
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value);
  if (text.empty() || error != std::errc() || stop != end || value < low || value > high)
    throw UsageError(option + " needs a whole number from " + std::to_string(low) + " to " + std::to_string(high) +
                     ", not \"" + text + "\"");
  return value;
}

ProxyCredentials ParseCredentials(const std::string& text) {
  const std::size_t colon = text.find(':');
  if (colon == std::string::npos || colon == 0)
    throw UsageError("--proxy-auth needs USER:PASSWORD, not \"" + text + "\"");
  return {text.substr(0, colon), text.substr(colon + 1)};
}

}  // namespace

ServerOptions ParseCommandLine(const std::vector<std::string>& args) {
  ServerOptions o;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const auto value = [&]() -> const std::string& {
      if (i + 1 == args.size()) throw UsageError(arg + " needs a value");
      return args[++i];
    };
    const auto number = [&](std::uint64_t low, std::uint64_t high) { return ParseNumber(arg, value(), low, high); };
    constexpr std::uint64_t kBig = 1'000'000'000'000;
    if (arg == "--port") o.port = static_cast<std::uint16_t>(number(0, 65535));
    else if (arg == "--accounts") o.accountsFile = value();
    else if (arg == "--imap-gateway") o.gatewayFile = value();
    else if (arg == "--authorize") o.authorize = value();
    else if (arg == "--check") o.check = value();
    else if (arg == "--imap-idle-seconds") o.imapIdleLimit = std::chrono::seconds(number(1, 86400));
    else if (arg == "--proxy-auth") o.proxyAuth = ParseCredentials(value());
    else if (arg == "--delay-ms") o.faults.delay = std::chrono::milliseconds(number(0, 3'600'000));
    else if (arg == "--drip-bytes-per-sec") o.faults.dripBytesPerSecond = number(1, kBig);
    else if (arg == "--close-after-bytes") o.faults.closeAfterBytes = number(0, kBig);
    else if (arg == "--status") o.faults.fixedStatus = static_cast<int>(number(100, 599));
    else if (arg == "--redirects") o.faults.redirects = static_cast<int>(number(0, kMaxRedirects));
    else if (arg == "--endless-body") o.faults.endlessBody = true;
    else if (arg == "--huge-mailbox") o.faults.hugeMailbox = true;
    else if (arg == "--never-answer") o.faults.neverAnswer = true;
    else if (arg == "--request-limit-ms") o.limits.request = std::chrono::milliseconds(number(1, 3'600'000));
    else if (arg == "--idle-limit-ms") o.limits.idle = std::chrono::milliseconds(number(1, 3'600'000));
    else if (arg == "--max-connections") o.limits.maxConnections = number(1, 100'000);
    else if (arg == "--help") o.help = true;
    else throw UsageError("unknown option \"" + arg + "\"");
  }
  if (!o.accountsFile.empty() && !o.gatewayFile.empty())
    throw UsageError("--accounts and --imap-gateway exclude each other");
  if ((!o.authorize.empty() || !o.check.empty()) && o.gatewayFile.empty())
    throw UsageError("--authorize and --check need --imap-gateway FILE");
  return o;
}

std::string UsageText() {
  return "usage: webmail [options]\n"
         "Emulates the webmail service on 127.0.0.1, as its login and mail servers and as a\n"
         "forward proxy for them (http://192.0.2.10/..., http://192.0.2.20/...).\n"
         "  --port N                 port to listen on, 0 for any free port (default 8080)\n"
         "  --accounts FILE          accounts and mailboxes (default: alice / wonderland)\n"
         "  --imap-gateway FILE      serve real IMAP mailboxes instead of the accounts, as FILE\n"
         "                           says (see below)\n"
         "  --imap-idle-seconds N    log out of an IMAP server unused for N s (default 1800)\n"
         "  --authorize LOGIN        sign the gateway account LOGIN in (auth = oauth2) and end\n"
         "  --check LOGIN            read LOGIN's mailbox once, say how many are unseen or what\n"
         "                           is wrong, and end\n"
         "  --proxy-auth USER:PASS   require Basic proxy authentication for proxy requests\n"
         "limits:\n"
         "  --request-limit-ms N     a request must be complete N ms after connecting (30000)\n"
         "  --idle-limit-ms N        close a connection that moves nothing for N ms (15000)\n"
         "  --max-connections N      serve at most N connections at once (256)\n"
         "fault modes:\n"
         "  --delay-ms N             wait N ms before answering\n"
         "  --drip-bytes-per-sec N   send answers at N bytes per second\n"
         "  --close-after-bytes N    close the connection after N bytes of the answer\n"
         "  --status N               answer every service request with status N\n"
         "  --redirects N            answer N redirects (302) before the real answer\n"
         "  --endless-body           never end the body of an answer\n"
         "  --huge-mailbox           pad mailbox pages beyond 4 MiB\n"
         "  --never-answer           read requests but never answer them\n"
         "  --help                   show this text\n"
         "\n"
         "IMAP gateway file: one section per local account, readable by its owner only:\n"
         "  [alice]                        local login the notifier sends (at most 16)\n"
         "  password = wonderland          local password the notifier sends (at most 16)\n"
         "  imap = imaps://imap.example.org   or imap://host:143 (STARTTLS)\n"
         "  user = alice@example.org       IMAP user name\n"
         "  password-command = pass show mail/alice   or password-env = NAME,\n"
         "                                 or password-file = FILE (owner-only)\n"
         "  ca-file = /path/ca.pem         certificates to trust (default: the system's)\n"
         "  plaintext = yes                allow imap:// without TLS (always so for 127.0.0.1)\n"
         "  timeout = 30                   seconds for each request's IMAP work\n"
         "  auth = oauth2                  sign in with OAuth 2.0 instead of a password:\n"
         "  provider = microsoft           or google, or custom (endpoints given)\n"
         "  client-id = ID                 the program registered with the provider\n"
         "  tenant, client-secret, scope, device-endpoint, authorization-endpoint,\n"
         "  token-endpoint                 where the preset does not fit\n"
         "  token-command = CMD            prints an access token; no sign-in needed\n"
         "The IMAP password is never written or logged.\n";
}

}  // namespace webmail
