// SPDX-License-Identifier: MIT
#pragma once
// Messages as the server gave them turned into the service's rows and message pages: MIME
// header words and raw UTF-8 headers decoded, text made Latin-1 and fit for the page.

#include <cstdint>
#include <optional>
#include <string>

#include "webmail/imap/imap_connection.h"
#include "webmail/store/accounts.h"

namespace webmail {

inline constexpr std::uint32_t kMaxFetchBytes = 1024 * 1024;  // of one message, to find its text
inline constexpr std::size_t kMaxBodyBytes = 64 * 1024;       // of the text shown

// Ids carry the mailbox's UIDVALIDITY, so that an id from before the mailbox was rebuilt
// never names a different message: "U<validity>-<uid>".
std::string MessageId(std::uint32_t validity, std::uint32_t uid);
std::optional<std::uint32_t> UidOfId(const std::string& id, std::uint32_t validity);

// The row: sender, date (the Date header, else the server's INTERNALDATE), subject, size.
MailMessage RowOf(const FetchedMessage& message, std::uint32_t validity);

// The row with the message's text: its first text/plain part, else its first text/html part
// reduced to text.
MailMessage WholeMessageOf(const FetchedMessage& message, std::uint32_t validity);

}  // namespace webmail
