// SPDX-License-Identifier: MIT
#include "webmail/imap/account_check.h"

#include "webmail/imap/imap_mailbox.h"

namespace webmail {

int CheckAccount(const GatewayAccount& account, const TokenStore& tokens, std::FILE* out) {
  const std::string who = "[" + account.login + "] " + account.user + " at " + account.server.Url();
  try {
    const TlsTrust trust(account.caFile);
    const StopSignal stop;
    ImapMailbox mailbox(account, trust, stop, tokens);
    mailbox.Begin(std::chrono::steady_clock::now() + account.timeout);
    const NewMail mail = mailbox.NewMessages();
    mailbox.LogOut();
    std::fprintf(out, "%s: %zu unseen message%s\n", who.c_str(), mail.count, mail.count == 1 ? "" : "s");
    return 0;
  } catch (const std::exception& e) {
    std::fprintf(out, "%s: %s\n", who.c_str(), e.what());
    return 1;
  }
}

}  // namespace webmail
