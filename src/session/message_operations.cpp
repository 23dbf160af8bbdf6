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
  if (HttpCli1.ClientState() != hsIdle) throw HttpError("HTTP component is busy", kHttpBusy);
}

void WebmailSession::DeleteCheckedMessages(OperationView& windows) {
  RefuseWhileBusy();
  windows.ShowStatus("Deleting mails");
  const std::string query = BuildDeletionQuery(Memo1, State.Messages);
  const std::string page = GetPage(kLoginServerUrl + "/cgi-bin/HoTMaiL?" + query);
  Memo1.Clear();
  Memo1.Load(page);
  ScanMailbox(Memo1, view_.ShowHeadersChecked(), State);
  view_.SetStatusText(State.StatusText);
  view_.MailboxStateChanged();
  windows.HideStatus();
}

void WebmailSession::PreviewMessage(const MessageSelection& selected, OperationView& windows) {
  RefuseWhileBusy();
  windows.ShowStatus("Retrieving mail");
  PreviewText.clear();
  PreviewText += "Sender: " + ListItem(State.Messages.ListBox1, selected.ListBox1).text + "\r\n";
  PreviewText += "Date: " + ListItem(State.Messages.ListBox2, selected.ListBox2) + "\r\n";
  PreviewText += "Subject: " + ListItem(State.Messages.ListBox3, selected.ListBox3) + "\r\n";
  PreviewText += std::string(26, '-') + "\r\n";
  const std::string page = GetPage(kLoginServerUrl + ListItem(State.Messages.ListBoxLink, selected.ListBoxLink));
  MemoLocal.Clear();
  MemoLocal.Load(page);
  PreviewText += ExtractPreviewBody(MemoLocal.Text()) + "\r\n";
  windows.HideStatus();
  windows.ShowPreviewWindow();
}
