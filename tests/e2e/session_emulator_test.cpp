// SPDX-License-Identifier: MIT
// The check cycle, Delete and Preview against the webmail emulator, reached through its proxy
// form on 127.0.0.1, with a recording fake of the windows.

#include <gtest/gtest.h>

#include <QTimer>

#include "session/fake_main_view.h"
#include "webmail_process.h"

namespace {

struct RecordingWindows : OperationView {
  std::vector<std::string> events;
  void ShowStatus(const std::string& text) override { events.push_back("show:" + text); }
  void HideStatus() override { events.push_back("hide"); }
  void ShowPreviewWindow() override { events.push_back("preview"); }
};

struct AgainstEmulator : ::testing::Test {
  std::unique_ptr<WebmailProcess> webmail;
  FakeMainView view;
  WebmailSession session{view};

  void Start(QStringList options = {}) {
    webmail = std::make_unique<WebmailProcess>(options);
    view.proxyPort = std::to_string(webmail->Port());
    view.session = &session;
  }
};

const std::vector<std::string> kSenders = {"Ann Example", "Bob Sample", "Carol Test", "Hotmail Staff"};

}  // namespace

TEST_F(AgainstEmulator, ChecksWithAndWithoutHeadersInAndOutOfTheTray) {
  Start();
  session.RunCheckCycle();
  EXPECT_EQ(view.Messages(), std::vector<std::string>{"You have 4 new mails in your Hotmail account!"});
  EXPECT_TRUE(view.SenderLines().empty());

  view.showHeaders = true;
  std::vector<std::string> listed;
  view.onMessagesWindow = [&] { listed = view.SenderLines(); };
  session.RunCheckCycle();
  EXPECT_EQ(listed, kSenders);
  EXPECT_EQ(session.State.Messages.dates[1], "12/07");  // the date split over two cells
  EXPECT_TRUE(session.State.SessionURL.starts_with("http://192.0.2.20/cgi-bin/logout?sid="));

  view.inTray = true;
  session.RunCheckCycle();
  EXPECT_EQ(std::count(view.events.begin(), view.events.end(), "messages-window"), 1);
  EXPECT_EQ(view.Messages().size(), 1u);
  EXPECT_EQ(session.State.TrayHint, "You have 4 new mails in your Hotmail account!");
  EXPECT_EQ(view.status, "Idle");
}

TEST_F(AgainstEmulator, BadLoginAndFailingServer) {
  Start();
  view.password = "not-it";
  session.RunCheckCycle();
  EXPECT_EQ(view.Messages(), std::vector<std::string>{"Sorry, login failed!"});

  Start({"--status", "500"});
  view.password = "wonderland";
  session.RunCheckCycle();
  session.RunCheckCycle();
  EXPECT_EQ(view.SenderLines(), (std::vector<std::string>{"Not Checked", "Sorry, login failed!", kRequestFailedText,
                                                          kRequestFailedText}));
}

TEST_F(AgainstEmulator, StalledServerAndStop) {
  Start({"--never-answer"});
  session.httpClient.TimeLimit = 1;
  session.RunCheckCycle();
  EXPECT_EQ(view.Messages(), std::vector<std::string>{kRequestFailedText});

  QTimer::singleShot(100, [&] { session.StopCheck(); });
  session.httpClient.TimeLimit = 30;
  session.RunCheckCycle();
  EXPECT_EQ(view.SenderLines(), (std::vector<std::string>{"Not Checked", kRequestFailedText}));
  EXPECT_EQ(view.status, "Idle");
}

TEST_F(AgainstEmulator, PreviewAndDeleteInsideTheMessagesWindow) {
  Start();
  view.showHeaders = true;
  RecordingWindows windows;
  view.onMessagesWindow = [&] {
    session.PreviewMessage({0, 0, 0, 0}, windows);
    session.State.Messages.senders[0].state = CheckState::Checked;
    session.State.Messages.senders[2].state = CheckState::Checked;
    session.DeleteCheckedMessages(windows);
  };
  session.RunCheckCycle();
  EXPECT_EQ(session.PreviewText, "Sender: Ann Example\r\nDate: Dec 7\r\nSubject: Lunch on Friday?\r\n" +
                                     std::string(26, '-') +
                                     "\r\n\nHi Alice,\r\n\r\nlunch on Friday at noon, at the usual place?\r\n\r\n  Ann\r\n\r\n");
  EXPECT_EQ(view.SenderLines(), (std::vector<std::string>{"Bob Sample", "Hotmail Staff"}));
  EXPECT_EQ(session.State.NewMailCount, 2);
  EXPECT_EQ(windows.events,
            (std::vector<std::string>{"show:Retrieving mail", "hide", "preview", "show:Deleting mails", "hide"}));

  // The service really deleted exactly those two: a new check lists what is left.
  view.onMessagesWindow = nullptr;
  session.RunCheckCycle();
  EXPECT_EQ(view.SenderLines(), (std::vector<std::string>{"Bob Sample", "Hotmail Staff"}));
}

TEST_F(AgainstEmulator, DeleteWithNoRowCheckedOnlyShowsTheMailboxAgain) {
  Start();
  view.showHeaders = true;
  RecordingWindows windows;
  view.onMessagesWindow = [&] { session.DeleteCheckedMessages(windows); };
  session.RunCheckCycle();
  EXPECT_EQ(view.SenderLines(), kSenders);
}
