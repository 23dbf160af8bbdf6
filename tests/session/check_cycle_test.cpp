// SPDX-License-Identifier: MIT
// The check cycle against scripted answers of a proxy on loopback: what is sent, what the user
// is told, and how the controls move.

#include "session/check_cycle.h"

#include <gtest/gtest.h>

#include <QTimer>

#include "fake_main_view.h"
#include "mailbox_page.h"
#include "scripted_server.h"
#include "session/service_url.h"

using httptest::Hold;
using httptest::ScriptedServer;
using httptest::Send;

namespace {

std::string Ok(const std::string& body) { return "HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n\r\n" + body; }

const std::string kLogoutUrl = "http://192.0.2.20/cgi-bin/logout?sid=S1";

struct Cycle : ::testing::Test {
  FakeMainView view;
  WebmailSession session{view};
  std::unique_ptr<ScriptedServer> server;

  void Serve(std::vector<httptest::Script> scripts) {
    server = std::make_unique<ScriptedServer>(std::move(scripts));
    view.proxyPort = std::to_string(server->Port());
    view.session = &session;
  }
  std::string MailboxPage(int count) {
    std::vector<testpage::Row> rows;
    for (int i = 1; i <= count; ++i) rows.push_back(testpage::MakeRow(i));
    return Ok(testpage::Page(std::to_string(count), rows, kLogoutUrl));
  }
  void ExpectAtRest() {
    EXPECT_TRUE(view.checkEnabled);
    EXPECT_FALSE(view.stopEnabled);
    EXPECT_EQ(view.headerEnabled, view.showHeaders);
    EXPECT_EQ(view.status, "Idle");
    EXPECT_FALSE(session.CycleRunning());
  }
};

}  // namespace

TEST_F(Cycle, NewMailIsToldAndTheSessionLoggedOut) {
  Serve({{Send(MailboxPage(2))}, {Send(Ok("bye"))}});
  view.login = "a b";
  view.password = "x-y";
  view.proxyUser = "pu";
  view.proxyPassword = "pp";
  session.RunCheckCycle();

  const auto requests = server->Requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_TRUE(requests[0].starts_with("POST http://192.0.2.10/cgi-bin/start HTTP/1.0\r\n")) << requests[0];
  EXPECT_NE(requests[0].find("Proxy-Authorization: Basic cHU6cHA=\r\n"), std::string::npos);
  EXPECT_NE(requests[0].find("Pragma: no-cache\r\n"), std::string::npos);
  EXPECT_TRUE(requests[0].ends_with("\r\n\r\nlogin=a+b&passwd=x%2Dy&enter=Enter&frames=no&curmbox=ACTIVE&js=no"));
  EXPECT_TRUE(requests[1].starts_with("GET " + kLogoutUrl + " HTTP/1.0\r\n")) << requests[1];
  EXPECT_EQ(view.Messages(), std::vector<std::string>{"You have 2 new mails in your Hotmail account!"});
  EXPECT_EQ(session.State.TrayIconIndex, kIconNewMail);
  EXPECT_FALSE(session.State.MessageButtonsEnabled);  // the logout disabled Delete and Preview
  EXPECT_EQ(view.SenderLines().size(), 0u);            // no headers wanted
  ExpectAtRest();
  const std::vector<std::string> statuses = {"status:Connecting...", "status:Receiving data...",
                                             "status:Analysing data...", "status:Processing...",
                                             "status:Logging out...", "status:Idle", "status:Idle"};
  std::vector<std::string> seen;
  for (const auto& e : view.events)
    if (e.starts_with("status:")) seen.push_back(e);
  EXPECT_EQ(seen, statuses);
}

TEST_F(Cycle, WithHeadersTheMessagesWindowComesBeforeTheLogout) {
  Serve({{Send(MailboxPage(3))}, {Send(Ok("bye"))}});
  view.showHeaders = true;
  std::size_t requestsWhileOpen = 0;
  view.onMessagesWindow = [&] {
    requestsWhileOpen = server->Requests().size();
    EXPECT_TRUE(session.State.MessageButtonsEnabled);
    EXPECT_FALSE(view.checkEnabled);
    session.RunCheckCycle();  // a timer tick meanwhile is dropped
  };
  session.RunCheckCycle();
  EXPECT_EQ(requestsWhileOpen, 1u);
  EXPECT_EQ(server->Requests().size(), 2u);
  EXPECT_EQ(view.SenderLines(), (std::vector<std::string>{"Sender 1", "Sender 2", "Sender 3"}));
  EXPECT_TRUE(view.Messages().empty());
  ExpectAtRest();
}

TEST_F(Cycle, InTheTrayOnlyTheTrayTheSoundAndTheDesktopTell) {
  Serve({{Send(MailboxPage(1))}, {Send(Ok("bye"))}});
  view.inTray = true;
  view.showHeaders = true;
  view.playSound = true;
  session.RunCheckCycle();
  EXPECT_EQ(view.Messages().size(), 0u);
  EXPECT_EQ(std::count(view.events.begin(), view.events.end(), "messages-window"), 0);
  EXPECT_EQ(std::count(view.events.begin(), view.events.end(), "sound"), 1);
  EXPECT_EQ(session.State.TrayHint, "You have 1 new mails in your Hotmail account!");
  EXPECT_EQ(std::count(view.events.begin(), view.events.end(), "notify " + session.State.TrayHint), 1);
  EXPECT_EQ(server->Requests().size(), 2u);
}

// The failed sound is shown as an error, then the result is told and the session logged out.
TEST_F(Cycle, NoNewMailAndAFailingSoundThatDoesNotStopTheCycle) {
  Serve({{Send(MailboxPage(0))}, {Send(Ok("bye"))}, {Send(MailboxPage(1))}, {Send(Ok("bye"))}});
  session.RunCheckCycle();
  EXPECT_EQ(view.Messages(), std::vector<std::string>{"No mail for you!"});
  EXPECT_EQ(session.State.TrayIconIndex, kIconNoMail);

  view.playSound = true;
  view.showHeaders = true;
  view.onSound = [] { throw std::runtime_error("cannot open the sound"); };
  view.events.clear();
  session.RunCheckCycle();
  const std::vector<std::string> told = {"sound", "error:cannot open the sound", "messages-window"};
  std::vector<std::string> seen;
  for (const std::string& e : view.events)
    if (!e.starts_with("status:")) seen.push_back(e);
  EXPECT_EQ(seen, told);
  EXPECT_EQ(server->Requests().size(), 4u);
  EXPECT_EQ(server->Requests()[3].substr(0, server->Requests()[3].find("\r\n")), "GET " + kLogoutUrl + " HTTP/1.0");
  ExpectAtRest();
}

TEST_F(Cycle, LoginFailureAppendsItsLineAndSendsNoLogout) {
  Serve({{Send(MailboxPage(2))}, {Send(Ok("bye"))}, {Send(Ok("<p>We're sorry</p>"))}});
  view.showHeaders = true;
  view.inTray = true;
  session.RunCheckCycle();
  view.inTray = false;
  session.RunCheckCycle();
  EXPECT_EQ(server->Requests().size(), 3u);
  EXPECT_EQ(view.Messages(), std::vector<std::string>{"Sorry, login failed!"});
  EXPECT_EQ(view.SenderLines(), (std::vector<std::string>{"Sender 1", "Sender 2", "Sorry, login failed!"}));
  EXPECT_EQ(session.State.SessionURL, kLogoutUrl);  // untouched
  EXPECT_EQ(session.State.TrayHint, "Sorry, login failed!");
  ExpectAtRest();
}

TEST_F(Cycle, FailedRequestsAppendALineEachAndKeepThePreviousResult) {
  Serve({{Send(MailboxPage(1))},
         {Send(Ok("bye"))},
         {Send("HTTP/1.0 500 Internal Server Error\r\n\r\n")},
         {Send("HTTP/1.0 200 OK\r\n"), Hold()}});
  view.showHeaders = true;
  view.inTray = true;
  session.RunCheckCycle();
  view.inTray = false;
  session.RunCheckCycle();
  session.httpClient.TimeLimit = 1;
  session.RunCheckCycle();  // stalled: ended by the time limit
  EXPECT_EQ(view.Messages(), std::vector<std::string>(2, kRequestFailedText));
  EXPECT_EQ(view.SenderLines(), (std::vector<std::string>{"Sender 1", kRequestFailedText, kRequestFailedText}));
  EXPECT_EQ(session.State.NewMailCount, 1);
  EXPECT_EQ(session.State.TrayHint, kRequestFailedHint);
  EXPECT_EQ(session.State.TrayIconIndex, kIconNoMail);
  EXPECT_EQ(server->Requests().size(), 4u);
  ExpectAtRest();
}

TEST_F(Cycle, StopDuringTheRequest) {
  Serve({{Send("HTTP/1.0 200 OK\r\n"), Hold()}});
  QTimer::singleShot(50, [&] {
    EXPECT_TRUE(view.stopEnabled);
    session.StopCheck();
  });
  session.RunCheckCycle();
  EXPECT_EQ(view.Messages(), std::vector<std::string>{kRequestFailedText});
  EXPECT_EQ(view.SenderLines(), (std::vector<std::string>{"Not Checked", kRequestFailedText}));
  EXPECT_EQ(server->Requests().size(), 1u);
  ExpectAtRest();
}

// Headers comes back with the controls however the cycle ends, also when Stop aborts the logout.
TEST_F(Cycle, StopDuringTheLogoutBringsHeadersBack) {
  Serve({{Send(MailboxPage(0))}, {Hold()}});
  view.showHeaders = true;
  view.inTray = true;
  QTimer::singleShot(100, [&] {
    EXPECT_EQ(view.status, "Logging out...");
    EXPECT_FALSE(view.headerEnabled);
    session.StopCheck();
    EXPECT_FALSE(view.headerEnabled);  // the cycle has not ended yet
  });
  EXPECT_THROW(session.RunCheckCycle(), HttpError);
  ExpectAtRest();
  session.UpdateHeaderButton();
  EXPECT_TRUE(view.headerEnabled);
  view.showHeaders = false;
  session.UpdateHeaderButton();
  EXPECT_FALSE(view.headerEnabled);
}

TEST_F(Cycle, APageThatIsNoMailboxStillTriesTheLogout) {
  Serve({{Send(Ok("<html>maintenance</html>"))}});
  try {
    session.RunCheckCycle();
    FAIL();
  } catch (const HttpError& e) {
    EXPECT_STREQ(e.what(), "HTTP component refused URL: no host name");  // no session URL
  }
  EXPECT_EQ(view.Messages(), std::vector<std::string>{"No mail for you!"});  // the count of the last scan
  EXPECT_EQ(view.status, "Logging out...");
}

// A logout address that leaves the service is not requested: the cycle stops with the reason.
TEST_F(Cycle, ALogoutAddressOutsideTheServiceIsNeverRequested) {
  const std::string hostile[] = {"http://192.0.2.20.evil.example:6666/cgi-bin/logout", "http://192.0.2.20:22/x",
                                 "http://192.0.2.20@10.1.1.1/x", "http://192.0.2.20:80@10.1.1.1/x",
                                 "http://192.0.2.20:8080/x"};
  for (const std::string& url : hostile) {
    Serve({{Send(Ok(testpage::Page("1", {testpage::MakeRow(1)}, url)))}, {Send(Ok("bye"))}});
    try {
      session.RunCheckCycle();
      ADD_FAILURE() << url;
    } catch (const EServiceUrl& e) {
      EXPECT_STREQ(e.what(), "The page points to a server outside the webmail service; nothing was sent");
    }
    EXPECT_EQ(server->Requests().size(), 1u) << url;  // the login only
    session.StopCheck();
  }
  Serve({{Send(Ok(testpage::Page("1", {testpage::MakeRow(1)}, "http://192.0.2.20:80/cgi-bin/logout")))},
         {Send(Ok("bye"))}});
  session.RunCheckCycle();
  ASSERT_EQ(server->Requests().size(), 2u);
  EXPECT_TRUE(server->Requests()[1].starts_with("GET http://192.0.2.20:80/cgi-bin/logout HTTP/1.0\r\n"));
}

TEST_F(Cycle, ProxyPropertiesFollowUseProxy) {
  view.useProxy = false;
  view.proxyHost = "proxy.local";
  view.proxyPort = "3128";
  session.ApplyProxySettings();
  EXPECT_EQ(session.httpClient.Proxy, "");
  EXPECT_EQ(session.httpClient.ProxyPort, "80");
  EXPECT_EQ(session.httpClient.ProxyUsername, "");
  view.useProxy = true;
  view.proxyUser = "u";
  session.ApplyProxySettings();
  EXPECT_EQ(session.httpClient.Proxy, "proxy.local");
  EXPECT_EQ(session.httpClient.ProxyPort, "3128");
  EXPECT_EQ(session.httpClient.ProxyUsername, "u");
}

TEST(LoginBody, EncodesBothFields) {
  EXPECT_EQ(WebmailSession::LoginBody("", "p w-"), "login=&passwd=p+w%2D&enter=Enter&frames=no&curmbox=ACTIVE&js=no");
}
