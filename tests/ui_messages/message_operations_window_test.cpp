// SPDX-License-Identifier: MIT
// Delete and Preview pressed in the Messages window, against a scripted proxy on loopback: the
// request sent, the status panel, the preview window, and failures shown by the general error
// report.

#include <QCheckBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

#include "mailbox_page.h"
#include "messages_window_fixture.h"
#include "scripted_server.h"
#include "ui/check_list_box.h"

using httptest::ScriptedServer;
using httptest::Send;

namespace {

using enum CheckState;

std::string Ok(const std::string& body) { return "HTTP/1.0 200 OK\r\n\r\n" + body; }

struct MessageOperationsWindow : MessagesWindowTest {
  std::unique_ptr<ScriptedServer> server;

  // The window as a check leaves it open: logged in, three rows of a page with a hidden field,
  // and every request going to the scripted proxy.
  void OpenWithProxy(std::vector<httptest::Script> scripts) {
    server = std::make_unique<ScriptedServer>(std::move(scripts));
    Open();
    form->showHeadersBox->setChecked(true);
    form->useProxyBox->setChecked(true);
    form->proxyHostEdit->setText("127.0.0.1");
    form->proxyPortEdit->setText(QString::number(server->Port()));
    form->Session().ApplyProxySettings();
    WebmailSession& session = form->Session();
    session.mailboxPage.Load("<input type=\"hidden\" name=\"sid\" value=\"S1\">" +
                       testpage::Page("3", {testpage::MakeRow(1), testpage::MakeRow(2), testpage::MakeRow(3)}));
    ScanMailbox(session.mailboxPage, true, session.State);
    form->MailboxStateChanged();
    ShowWindow();
  }
  std::vector<std::string> RequestLines() {
    std::vector<std::string> lines;
    for (const std::string& request : server->Requests()) lines.push_back(request.substr(0, request.find("\r\n")));
    return lines;
  }
  QString PanelText() const { return status->textPanel->text(); }
};

}  // namespace

// Only a checked row is deleted: grayed is not checked.
TEST_F(MessageOperationsWindow, DeleteSendsTheCheckedRowsAndShowsWhatIsLeft) {
  OpenWithProxy({{Send(Ok(testpage::Page("2", {testpage::MakeRow(1), testpage::MakeRow(2)})))}});
  Rows().senders[1].state = Grayed;
  form->MailboxStateChanged();
  ClickRow(messages->senders, 2, 7);
  messages->deleteButton->click();
  EXPECT_EQ(RequestLines(), std::vector<std::string>{
                                "GET http://192.0.2.10/cgi-bin/HoTMaiL?sid=S1&MSG3=TRUE&Delete.x=Delete HTTP/1.0"});
  EXPECT_EQ(Lines(messages->senders), (QStringList{"Sender 1", "Sender 2"}));
  EXPECT_EQ(Lines(messages->subjects), (QStringList{"Subject 1", "Subject 2"}));
  EXPECT_EQ(States(), std::vector<CheckState>(2, Unchecked));
  EXPECT_TRUE(messages->deleteButton->isEnabled());
  EXPECT_FALSE(status->isVisible());
  EXPECT_EQ(PanelText(), "Deleting mails");
  EXPECT_TRUE(answerer.seen.empty());
}

// Each failure reaches the user as the exception's message; the status panel stays up until an
// operation completes, and the window keeps its rows.
TEST_F(MessageOperationsWindow, FailuresAreShownAndTheStatusPanelWaitsForTheNextSuccess) {
  OpenWithProxy({{Send("HTTP/1.0 500 Server Error\r\n\r\n")},
                 {Send(Ok("<html><div><pre>\r\nHello,\r\nBob\r\n</pre></div></html>"))}});
  messages->previewButton->click();
  EXPECT_TRUE(status->isVisible());
  EXPECT_EQ(PanelText(), "Retrieving mail");

  ClickRow(messages->senders, 0, 7);
  messages->deleteButton->click();
  EXPECT_TRUE(status->isVisible());
  EXPECT_EQ(PanelText(), "Deleting mails");
  EXPECT_EQ(Lines(messages->senders), (QStringList{"Sender 1", "Sender 2", "Sender 3"}));
  EXPECT_EQ(States()[0], Checked);

  bool panelUpDuringPreview = true;
  QStringList preview;
  answerer.whileOpen = [&](QDialog* dialog) {
    if (dialog != this->preview) return;
    panelUpDuringPreview = status->isVisible();
    preview = this->preview->messageText->toPlainText().split('\n');
  };
  ClickRow(messages->sizes, 1);
  messages->previewButton->click();

  ASSERT_EQ(answerer.seen.size(), 3u);
  EXPECT_EQ(answerer.seen[0].text, "List index out of bounds (-1)");
  EXPECT_EQ(answerer.seen[0].icon, QMessageBox::Critical);
  EXPECT_EQ(answerer.seen[1].text, "Server Error");
  EXPECT_EQ(answerer.seen[2].title, "Message Preview");
  EXPECT_EQ(RequestLines(), (std::vector<std::string>{
                                "GET http://192.0.2.10/cgi-bin/HoTMaiL?sid=S1&MSG1=TRUE&Delete.x=Delete HTTP/1.0",
                                "GET http://192.0.2.10/cgi-bin/getmsg?msg=MSG2 HTTP/1.0"}));
  EXPECT_FALSE(panelUpDuringPreview);
  EXPECT_FALSE(status->isVisible());
  EXPECT_EQ(preview, (QStringList{"Sender: Sender 2", "Date: Dec 2", "Subject: Subject 2",
                                  "--------------------------", "Hello,", "Bob", "", ""}));
}
