// SPDX-License-Identifier: MIT
// Delete and Preview within a check's session, against scripted answers of a loopback proxy.

#include <gtest/gtest.h>

#include <QTimer>

#include "fake_main_view.h"
#include "session/list_error.h"
#include "mailbox_page.h"
#include "scripted_server.h"
#include "session/service_url.h"

using httptest::Hold;
using httptest::ScriptedServer;
using httptest::Send;

namespace {

std::string Ok(const std::string& body) { return "HTTP/1.0 200 OK\r\n\r\n" + body; }

struct FakeOperationView : OperationView {
  std::vector<std::string> events;
  std::function<void()> inPreview;
  void ShowStatus(const std::string& text) override { events.push_back("show:" + text); }
  void HideStatus() override { events.push_back("hide"); }
  void ShowPreviewWindow() override {
    events.push_back("preview");
    if (inPreview) inPreview();
  }
};

struct Operations : ::testing::Test {
  FakeMainView view;
  WebmailSession session{view};
  FakeOperationView windows;
  std::unique_ptr<ScriptedServer> server;

  void Serve(std::vector<httptest::Script> scripts) {
    server = std::make_unique<ScriptedServer>(std::move(scripts));
    session.httpClient.Proxy = server->HostPort();
    view.session = &session;
    view.showHeaders = true;
    // The mailbox page of a check that is still logged in.
    std::vector<testpage::Row> rows = {testpage::MakeRow(1), testpage::MakeRow(2), testpage::MakeRow(3)};
    session.mailboxPage.Load("<form><input type=\"hidden\" name=\"sid\" value=\"S1\">" + testpage::Page("3", rows));
    ScanMailbox(session.mailboxPage, true, session.State);
  }
  std::string LastRequestLine() {
    const auto requests = server->Requests();
    return requests.empty() ? "" : requests.back().substr(0, requests.back().find("\r\n"));
  }
};

}  // namespace

TEST_F(Operations, DeleteSendsTheFormAndShowsWhatIsLeft) {
  Serve({{Send(Ok(testpage::Page("1", {testpage::MakeRow(2)})))}});
  session.State.Messages.senders[0].state = CheckState::Checked;
  session.State.Messages.senders[2].state = CheckState::Checked;
  session.DeleteCheckedMessages(windows);
  EXPECT_EQ(LastRequestLine(), "GET http://192.0.2.10/cgi-bin/HoTMaiL?sid=S1&MSG1=TRUE&MSG3=TRUE&Delete.x=Delete HTTP/1.0");
  EXPECT_EQ(view.SenderLines(), std::vector<std::string>{"Sender 2"});
  EXPECT_EQ(session.State.NewMailCount, 1);
  EXPECT_TRUE(session.State.MessageButtonsEnabled);
  EXPECT_EQ(windows.events, (std::vector<std::string>{"show:Deleting mails", "hide"}));
  EXPECT_EQ(session.httpClient.ReceiveStream, nullptr);
}

TEST_F(Operations, AFailedDeleteKeepsTheRowsAndTheNextOneCollectsNoHiddenField) {
  Serve({{Send("HTTP/1.0 500 Server Error\r\n\r\n")}, {Send(Ok(testpage::Page("0", {})))}});
  session.State.Messages.senders[1].state = CheckState::Checked;
  EXPECT_THROW(session.DeleteCheckedMessages(windows), HttpError);
  EXPECT_EQ(view.SenderLines().size(), 3u);
  EXPECT_EQ(session.State.Messages.senders[1].state, CheckState::Checked);
  EXPECT_EQ(windows.events, std::vector<std::string>{"show:Deleting mails"});  // the panel stays up
  session.DeleteCheckedMessages(windows);
  EXPECT_EQ(LastRequestLine(), "GET http://192.0.2.10/cgi-bin/HoTMaiL?&MSG2=TRUE&Delete.x=Delete HTTP/1.0");
  EXPECT_EQ(view.SenderLines(), std::vector<std::string>{"No mail for you!"});
  EXPECT_FALSE(session.State.MessageButtonsEnabled);
}

TEST_F(Operations, PreviewShowsTheRowAndTheBody) {
  Serve({{Send(Ok("<html><div><pre>\r\nDear Alice,\r\nsee you.\r\n</pre></div></html>"))}});
  session.PreviewMessage({1, 1, 1, 1}, windows);
  EXPECT_EQ(LastRequestLine(), "GET http://192.0.2.10/cgi-bin/getmsg?msg=MSG2 HTTP/1.0");
  EXPECT_EQ(session.PreviewText, "Sender: Sender 2\r\nDate: Dec 2\r\nSubject: Subject 2\r\n" + std::string(26, '-') +
                                     "\r\n\nDear Alice,\r\nsee you.\r\n\r\n");
  EXPECT_EQ(windows.events, (std::vector<std::string>{"show:Retrieving mail", "hide", "preview"}));
}

TEST_F(Operations, PreviewWithoutSelectionSendsNothing) {
  Serve({});
  try {
    session.PreviewMessage({}, windows);
    FAIL();
  } catch (const ListIndexError& e) {
    EXPECT_STREQ(e.what(), "List index out of bounds (-1)");
  }
  EXPECT_TRUE(server->Requests().empty());
  EXPECT_EQ(session.PreviewText, "");
}

TEST_F(Operations, ALinkWithALineBreakIsRefusedWithAClearMessage) {
  Serve({});
  session.State.Messages.links[0] = "/m?x\r\nEvil: 1";
  try {
    session.PreviewMessage({0, 0, 0, 0}, windows);
    FAIL();
  } catch (const HttpError& e) {
    EXPECT_STREQ(e.what(), "HTTP component refused URL: CR, LF or NUL in its value");
  }
  EXPECT_TRUE(server->Requests().empty());
  EXPECT_EQ(session.httpClient.ReceiveStream, nullptr);
}

// A message link is appended to the login server's address: one that changes the host, the
// port or adds user information sends nothing.
TEST_F(Operations, AMessageLinkThatLeavesTheServiceSendsNothing) {
  Serve({});
  for (const std::string link : {"@10.1.1.1:25/x", ":8080/cgi-bin/getmsg", ".evil.example/x", "x/y"}) {
    session.State.Messages.links[0] = link;
    try {
      session.PreviewMessage({0, 0, 0, 0}, windows);
      ADD_FAILURE() << link;
    } catch (const EServiceUrl& e) {
      EXPECT_STREQ(e.what(), kOutsideServiceText);
    }
  }
  EXPECT_TRUE(server->Requests().empty());
  EXPECT_EQ(session.httpClient.ReceiveStream, nullptr);
  EXPECT_EQ(std::count(windows.events.begin(), windows.events.end(), "preview"), 0);
}

TEST_F(Operations, ASecondRequestWhileOneRunsIsRefusedAndLeavesItAlone) {
  Serve({{httptest::Pause(150), Send(Ok("<div><pre>\r\nbody</pre></div>"))}});
  std::string refused;
  QTimer::singleShot(50, [&] {
    try {
      session.DeleteCheckedMessages(windows);
    } catch (const HttpError& e) {
      refused = std::to_string(e.Code) + " " + e.what();
    }
  });
  session.PreviewMessage({0, 0, 0, 0}, windows);
  EXPECT_EQ(refused, "1 HTTP component is busy");
  EXPECT_EQ(server->Requests().size(), 1u);
  EXPECT_TRUE(session.PreviewText.ends_with("body\r\n")) << session.PreviewText;
  EXPECT_NE(session.mailboxPage.Find("<input type=\"hidden\""), 0u);  // the refused delete marked nothing
}
