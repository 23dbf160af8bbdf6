// SPDX-License-Identifier: MIT
// Delete and Preview: further requests within the session that a check opened.

#include "session/check_cycle.h"
#include "session/list_error.h"
#include "session/message_deletion.h"
#include "session/message_preview.h"
#include "session/service.h"

namespace {

const std::string kLoginServerUrl = std::string("http://") + service::kLoginServer;

}  // namespace

// The running request keeps its URL and stream: nothing of the new one may touch them.
void WebmailSession::RefuseWhileBusy() const {
  if (httpClient.ClientState() != hsIdle) throw HttpError("HTTP component is busy", kHttpBusy);
}

void WebmailSession::DeleteCheckedMessages(OperationView& windows) {
  RefuseWhileBusy();
  windows.ShowStatus("Deleting mails");
  const std::string query = BuildDeletionQuery(mailboxPage, State.Messages);
  const std::string page = GetPage(kLoginServerUrl + "/cgi-bin/HoTMaiL?" + query);
  mailboxPage.Clear();
  mailboxPage.Load(page);
  ScanMailbox(mailboxPage, view_.ShowHeadersChecked(), State);
  view_.SetStatusText(State.StatusText);
  view_.MailboxStateChanged();
  windows.HideStatus();
}

void WebmailSession::PreviewMessage(const MessageSelection& selected, OperationView& windows) {
  RefuseWhileBusy();
  windows.ShowStatus("Retrieving mail");
  PreviewText.clear();
  PreviewText += "Sender: " + ListItem(State.Messages.senders, selected.senders).text + "\r\n";
  PreviewText += "Date: " + ListItem(State.Messages.dates, selected.dates) + "\r\n";
  PreviewText += "Subject: " + ListItem(State.Messages.subjects, selected.subjects) + "\r\n";
  PreviewText += std::string(26, '-') + "\r\n";
  const std::string page = GetPage(kLoginServerUrl + ListItem(State.Messages.links, selected.links));
  messagePage.Clear();
  messagePage.Load(page);
  PreviewText += ExtractPreviewBody(messagePage.Text()) + "\r\n";
  windows.HideStatus();
  windows.ShowPreviewWindow();
}
