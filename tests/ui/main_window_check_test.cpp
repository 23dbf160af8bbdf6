// Whole checks from the real main window, through a scripted proxy on loopback: what the user
// is shown, the lists and the tray hint, and the controls at the end.

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QTimer>

#include <chrono>

#include "mailbox_page.h"
#include "main_window_fixture.h"
#include "scripted_server.h"

using httptest::Hold;
using httptest::ScriptedServer;
using httptest::Send;

namespace {

std::string Ok(const std::string& body) { return "HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n\r\n" + body; }

std::string MailboxPage(int count) {
  std::vector<testpage::Row> rows;
  for (int i = 1; i <= count; ++i) rows.push_back(testpage::MakeRow(i));
  return Ok(testpage::Page(std::to_string(count), rows));
}

const char* const kTwoNewMails = "You have 2 new mails in your Hotmail account!";

struct MainWindowCheck : MainWindowTest {
  std::unique_ptr<ScriptedServer> server;

  // Every check goes to the scripted proxy: the service's own addresses are never contacted.
  void OpenWithProxy(std::vector<httptest::Script> scripts) {
    server = std::make_unique<ScriptedServer>(std::move(scripts));
    Open();
    form->CheckBox1->setChecked(true);
    form->proxyEDIT->setText("127.0.0.1");
    form->portEDIT->setText(QString::number(server->Port()));
    form->loginEDIT->setText("alice");
    form->passEDIT->setText("a-b");
  }
  bool AtRest() const {
    return form->StatusBar1->currentMessage() == "Idle" && form->startBUTTON->isEnabled() &&
           !form->stopBUTTON->isEnabled() && form->HeaderButton->isEnabled() == form->CheckHeaders->isChecked();
  }
};

}  // namespace

TEST_F(MainWindowCheck, ChecksWithAndWithoutHeadersEndIdle) {
  OpenWithProxy({{Send(MailboxPage(2))}, {Send(Ok("bye"))}, {Send(MailboxPage(2))}, {Send(Ok("bye"))}});
  Activate();
  QTest::keyClick(form.get(), Qt::Key_C, Qt::AltModifier);  // "&Check"
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

  form->CheckHeaders->click();
  std::size_t requestsWhileOpen = 0;
  answerer.whileOpen = [&](QDialog*) { requestsWhileOpen = server->Requests().size(); };
  form->startBUTTON->click();
  ASSERT_EQ(answerer.seen.size(), 2u);
  EXPECT_EQ(answerer.seen[1].title, "Messages");
  EXPECT_EQ(answerer.seen[1].lines, (QStringList{"Sender 1", "Sender 2"}));
  EXPECT_EQ(requestsWhileOpen, 3u);  // the logout waits for the window
  EXPECT_EQ(server->Requests().size(), 4u);
  EXPECT_EQ(MessageLines(), (QStringList{"Sender 1", "Sender 2"}));
  EXPECT_FALSE(State().MessageButtonsEnabled);
  EXPECT_EQ(State().TrayHint, kTwoNewMails);
  EXPECT_TRUE(AtRest());
  EXPECT_EQ(form->SoundRequests(), 0);
}

// The logout of a page without a session URL fails after the request: the general error report
// shows it, the program goes on, and Stop brings the controls to rest.
TEST_F(MainWindowCheck, AnErrorAfterTheRequestIsShownAndStopRecovers) {
  OpenWithProxy({{Send(Ok("<html>maintenance</html>"))}});
  form->startBUTTON->click();
  ASSERT_EQ(answerer.seen.size(), 2u);
  EXPECT_EQ(answerer.seen[0].text, "No mail for you!");
  EXPECT_EQ(answerer.seen[1].text, "HTTP component refused URL: no host name");
  EXPECT_EQ(answerer.seen[1].title, "Vexmira 1.6");
  EXPECT_FALSE(form->startBUTTON->isEnabled());
  EXPECT_TRUE(form->stopBUTTON->isEnabled());

  form->stopBUTTON->click();
  EXPECT_TRUE(AtRest());
  EXPECT_EQ(MessageLines(), QStringList{"Not Checked"});
}

TEST_F(MainWindowCheck, TimerTicksCheckOnlyWithAutomaticChecking) {
  OpenWithProxy({{Send(MailboxPage(0))}, {Send(Ok("bye"))}});
  form->Timer1Timer();
  EXPECT_EQ(server->Connections(), 0);

  form->CheckTIME->click();
  form->tempoSpinEdit->setValue(6);
  EXPECT_EQ(form->Timer1->interval(), 6 * 60000);
  EXPECT_TRUE(form->Timer1->isActive());
  form->Timer1Timer();
  EXPECT_EQ(answerer.Texts(), QStringList{"No mail for you!"});
  EXPECT_EQ(server->Requests().size(), 2u);
  EXPECT_TRUE(AtRest());
}

// Closing ends a check that waits for the network (not the 60 s time limit) and puts nothing
// more in front of the user.
TEST_F(MainWindowCheck, ClosingDuringARequestAbortsItAndSaves) {
  OpenWithProxy({{Send("HTTP/1.0 200 OK\r\n"), Hold()}});
  QTimer::singleShot(50, form.get(), [&] { EXPECT_TRUE(form->close()); });
  const auto started = std::chrono::steady_clock::now();
  form->startBUTTON->click();
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
  form->startBUTTON->click();
  EXPECT_FALSE(stillOpen);
  EXPECT_TRUE(form->Closed());
  EXPECT_EQ(server->Requests().size(), 2u);
}
