// SPDX-License-Identifier: MIT
#pragma once
// Reading the service's mailbox page: the new-mail count, the message rows (when headers are
// wanted) and the logout URL, and the outcome the tray and the Messages window show.

#include <cstdint>
#include <string>

#include "session/message_list.h"
#include "session/page_text.h"

inline constexpr int kIconNewMail = 0;
inline constexpr int kIconNoMail = 1;
inline constexpr const char* kNoMailText = "No mail for you!";

// What the main window, its tray icon and the Messages window display. The windows only
// show this state; the session logic changes it.
struct MailboxState {
  std::int32_t NewMailCount = 0;  // kept from the last mailbox page, never reset otherwise
  std::string SessionURL;         // logout target taken from the last mailbox page
  MessageList Messages;
  int TrayIconIndex = kIconNoMail;
  std::string TrayHint;
  bool MessageButtonsEnabled = false;  // Delete and Preview of the Messages window
  std::string StatusText = "Idle";
};

// How the row loop looks for the next row marker. Both give the same result; FromStart is the
// plain rescan of the whole page per row, kept as the reference for tests and benchmarks.
enum class RowSearch { AfterPrevious, FromStart };

std::string NewMailHint(std::int32_t count);

// Scans `page` (marking every processed row in it) and updates `state`.
void ScanMailbox(PageText& page, bool showHeaders, MailboxState& state,
                 RowSearch rowSearch = RowSearch::AfterPrevious);
