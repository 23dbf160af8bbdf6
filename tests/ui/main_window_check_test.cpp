// SPDX-License-Identifier: MIT
// Whole checks from the real main window, through a scripted proxy on loopback: what the user
// is shown, the lists and the tray hint, and the controls at the end.

#include <QTimer>

#include <chrono>

#include "main_window_check_fixture.h"
#include "settings_file.h"

using httptest::Hold;
using httptest::Send;

TEST_F(MainWindowCheck, ChecksWithAndWithoutHeadersEndIdle) {
  OpenWithProxy({{Send(MailboxPage(2))}, {Send(Ok("bye"))}, {Send(MailboxPage(2))}, {Send(Ok("bye"))}});
  Activate();
  QTest::keyClick(form, Qt::Key_C, Qt::AltModifier);  // "&Check"
  ASSERT_TRUE(QTest::qWaitFor([&] { return server->Requests().size() == 2 && AtRest(); }, 5000));
  ASSERT_EQ(answerer.seen.size(), 1u);
  EXPECT_EQ(answerer.seen[0].text, kTwoNewMails);
  EXPECT_EQ(answerer.seen[0].title, "Vexmira 1.6");
  EXPECT_EQ(answerer.seen[0].icon, QMessageBox::NoIcon);
  const std::string login = server->Requests()[0];
  EXPECT_TRUE(login.starts_with("POST http://192.0.2.10/cgi-bin/start HTTP/1.0\r\n")) << login;
  EXPECT_TRUE(login.ends_with("login=alice&passwd=a%2Db&enter=Enter&frames=no&curmbox=ACTIVE&js=no"));
  EXPECT_EQ(State().TrayHint, kTwoNewMails);
  EXPECT_EQ(State().TrayIconIndex, kIconNewMail);

  form->showHeadersBox->click();
  std::size_t requestsWhileOpen = 0;
  answerer.whileOpen = [&](QDialog*) { requestsWhileOpen = server->Requests().size(); };
  form->checkButton->click();
  ASSERT_EQ(answerer.seen.size(), 2u);
  EXPECT_EQ(answerer.seen[1].title, "Messages");
  EXPECT_EQ(answerer.seen[1].lines, (QStringList{"Sender 1", "Sender 2"}));
  EXPECT_EQ(requestsWhileOpen, 3u);  // the logout waits for the window
  EXPECT_EQ(server->Requests().size(), 4u);
  EXPECT_EQ(MessageLines(), (QStringList{"Sender 1", "Sender 2"}));
  EXPECT_FALSE(State().MessageButtonsEnabled);
  EXPECT_EQ(State().TrayHint, kTwoNewMails);
  EXPECT_TRUE(AtRest());
  EXPECT_FALSE(form->newMailSound.IsOpen());  // Play Sound is off
}

// The logout of a page without a session URL fails after the request: the general error report
// shows it, the program goes on, and Stop brings the controls to rest.
TEST_F(MainWindowCheck, AnErrorAfterTheRequestIsShownAndStopRecovers) {
  OpenWithProxy({{Send(Ok("<html>maintenance</html>"))}});
  form->checkButton->click();
  ASSERT_EQ(answerer.seen.size(), 2u);
  EXPECT_EQ(answerer.seen[0].text, "No mail for you!");
  EXPECT_EQ(answerer.seen[1].text, "HTTP component refused URL: no host name");
  EXPECT_EQ(answerer.seen[1].title, "Vexmira 1.6");
  EXPECT_FALSE(form->checkButton->isEnabled());
  EXPECT_TRUE(form->stopButton->isEnabled());

  form->stopButton->click();
  EXPECT_TRUE(AtRest());
  EXPECT_EQ(MessageLines(), QStringList{"Not Checked"});
}

// Closing ends a check that waits for the network (not the 60 s time limit) and puts nothing
// more in front of the user.
TEST_F(MainWindowCheck, ClosingDuringARequestAbortsItAndSaves) {
  OpenWithProxy({{Send("HTTP/1.0 200 OK\r\n"), Hold()}});
  QTimer::singleShot(50, form, [&] { EXPECT_TRUE(form->close()); });
  const auto started = std::chrono::steady_clock::now();
  form->checkButton->click();
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(20));
  EXPECT_TRUE(form->Closed());
  EXPECT_TRUE(answerer.seen.empty());
  EXPECT_EQ(LoadSettings(SettingsFile()).UserId, "alice");
}

// A close by signal can come while the check shows its result: the box goes with the window and
// the check ends with its logout.
TEST_F(MainWindowCheck, ClosingWhileAMessageBoxIsOpenClosesIt) {
  OpenWithProxy({{Send(MailboxPage(2))}, {Send(Ok("bye"))}});
  bool stillOpen = true;
  answerer.whileOpen = [&](QDialog* box) {
    form->close();
    stillOpen = box->isVisible();
  };
  form->checkButton->click();
  EXPECT_FALSE(stillOpen);
  EXPECT_TRUE(form->Closed());
  EXPECT_EQ(server->Requests().size(), 2u);
}
