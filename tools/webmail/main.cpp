// SPDX-License-Identifier: MIT
// webmail [options]: the emulated webmail service on 127.0.0.1, as origin server and as forward
// proxy for its two addresses. Prints "webmail: listening on 127.0.0.1:PORT" once it listens,
// logs one line per request on stderr, and ends cleanly on SIGINT or SIGTERM.

#include <QCoreApplication>
#include <QTimer>

#include <csignal>
#include <cstdio>
#include <chrono>
#include <functional>
#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "keyring/secret_service_keyring.h"
#include "platform/message_window.h"
#include "platform/stop_signals.h"
#include "webmail/http/client_connection.h"
#include "webmail/imap/gateway_config.h"
#ifdef WEBMAIL_WITH_IMAP
#include "webmail/imap/account_check.h"
#include "webmail/imap/authorize.h"
#include "webmail/imap/imap_store.h"
#endif
#include "webmail/store/event_loop.h"
#include "webmail/http/server_options.h"
#include "webmail/http/webmail_server.h"

namespace {

using namespace webmail;

// The Qt event loop, for a store that works on threads of its own.
class QtEventLoop : public EventLoop {
 public:
  void Post(std::function<void()> task) override {
    QMetaObject::invokeMethod(QCoreApplication::instance(), std::move(task), Qt::QueuedConnection);
  }
  void Later(std::chrono::milliseconds delay, std::function<void()> task) override {
    QTimer::singleShot(delay, QCoreApplication::instance(), std::move(task));
  }
};

// The pages' content: an IMAP gateway's mailboxes, an account file, or the built-in account.
std::unique_ptr<MailStore> LoadStore(const ServerOptions& options, EventLoop& loop, PasswordKeyring& keyring) {
  if (!options.gatewayFile.empty()) {
#ifdef WEBMAIL_WITH_IMAP
    return std::make_unique<ImapStore>(ReadGatewayConfig(options.gatewayFile), loop, options.imapIdleLimit, &keyring);
#else
    (void)loop, (void)keyring;
    throw std::runtime_error("this webmail was built without IMAP support (libetpan-dev, libvmime-dev, libssl-dev)");
#endif
  }
  return std::make_unique<AccountStore>(options.accountsFile.empty() ? DefaultAccounts()
                                                                     : ReadAccountsFile(options.accountsFile));
}

// Runs the event loop until a stop signal. A handler's exception that got this far costs a log
// line; the server goes on.
void Serve(const int& stopSignal) {
  while (stopSignal == 0) {
    try {
      win::WaitMessages();
    } catch (const std::exception& e) {
      LogLine(std::string("webmail: ") + e.what());
    }
  }
}

// A keyring that does not answer costs a few seconds, never the gateway.
constexpr std::chrono::seconds kKeyringAnswerLimit{5};

// The one-time sign-in of a gateway account, or one check of it.
int RunForAccount(int argc, char** argv, const ServerOptions& options) {
#ifdef WEBMAIL_WITH_IMAP
  QCoreApplication app(argc, argv);  // for the keyring's D-Bus
  SecretServiceKeyring keyring(kKeyringAnswerLimit);
  const std::string& login = options.authorize.empty() ? options.check : options.authorize;
  for (const GatewayAccount& account : ReadGatewayConfig(options.gatewayFile)) {
    if (account.login != login) continue;
    if (!options.check.empty()) return CheckAccount(account, TokenStore(&keyring), stdout);
    webmail::Authorize(account, TokenStore(&keyring), stdout);
    return 0;
  }
  throw std::runtime_error("the gateway file has no [" + login + "]");
#else
  (void)argc, (void)argv;
  throw std::runtime_error("this webmail was built without IMAP support");
#endif
}

int Run(int argc, char** argv, const ServerOptions& options) {
  QCoreApplication app(argc, argv);
  int stopSignal = 0;
  StopSignals stop([&stopSignal](int signal) { stopSignal = signal; });
  QtEventLoop loop;
  SecretServiceKeyring keyring(kKeyringAnswerLimit);
  RequestHandler handler(LoadStore(options, loop, keyring), options.proxyAuth, options.faults);
  WebmailServer server(handler, options.port, options.limits);
  std::printf("webmail: listening on 127.0.0.1:%s\n", server.Port().c_str());
  std::fflush(stdout);
  Serve(stopSignal);
  LogLine("webmail: stopped by signal " + std::to_string(stopSignal));
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::signal(SIGPIPE, SIG_IGN);  // a reader of our output that went away is no reason to die
  ServerOptions options;
  try {
    options = ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
  } catch (const UsageError& e) {
    std::fprintf(stderr, "webmail: %s\n%s", e.what(), UsageText().c_str());
    return 2;
  }
  if (options.help) {
    std::fputs(UsageText().c_str(), stdout);
    return 0;
  }
  try {
    if (!options.authorize.empty() || !options.check.empty()) return RunForAccount(argc, argv, options);
    return Run(argc, argv, options);
  } catch (const std::exception& e) {
    LogLine(std::string("webmail: ") + e.what());
    return 1;
  }
}
