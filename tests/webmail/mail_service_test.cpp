// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "notifier_steps.h"
#include "webmail/store/accounts.h"
#include "webmail/http/request_handler.h"

using notifier::Answer;
using notifier::Exchange;
using notifier::GetRequest;
using notifier::kLoginOrigin;
using notifier::LoginRequest;
using webmail::Account;
using webmail::MailMessage;
using webmail::RequestHandler;

namespace {

std::vector<std::string> Senders(const MailboxState& s) {
  std::vector<std::string> out;
  for (const SenderItem& item : s.Messages.senders) out.push_back(item.text);
  return out;
}

// The session id as the page's hidden field carries it.
std::string SessionIdOf(const std::string& pageBytes) {
  PageText page;
  page.Load(pageBytes);
  const std::string query = notifier::DeletionQuery(page, {});
  const std::size_t at = query.find("sid=") + 4;
  return query.substr(at, query.find('&', at) - at);
}

// Whether the scan read back exactly the account's messages, in order.
void ExpectRowsOf(const Account& account, const MailboxState& s, const std::string& sid) {
  ASSERT_EQ(s.NewMailCount, static_cast<std::int32_t>(account.messages.size()));
  ASSERT_EQ(s.Messages.RowCount(), account.messages.size());
  for (std::size_t i = 0; i < account.messages.size(); ++i) {
    const MailMessage& m = account.messages[i];
    SCOPED_TRACE(m.id);
    EXPECT_EQ(s.Messages.fieldNames[i], m.id);
    EXPECT_EQ(s.Messages.links[i], "/cgi-bin/getmsg?sid=" + sid + "&curmbox=ACTIVE&msg=" + m.id);
    EXPECT_EQ(s.Messages.senders[i].text, m.sender);
    EXPECT_EQ(s.Messages.dates[i], m.date);
    EXPECT_EQ(s.Messages.subjects[i], m.subject);
    EXPECT_EQ(s.Messages.sizes[i], m.size);
  }
  EXPECT_EQ(s.SessionURL, "http://192.0.2.20/cgi-bin/logout?sid=" + sid + "&curmbox=ACTIVE");
}

struct Service : ::testing::Test {
  RequestHandler handler{webmail::DefaultAccounts(), std::nullopt, {}};
  PageText page;

  const Account& Alice() { return *handler.Service().FindAccount("alice"); }
  Answer LogIn() { return Exchange(handler, LoginRequest("alice", "wonderland")); }
};

}  // namespace

TEST_F(Service, LoginAnswersTheMailboxPageThatTheScanReadsExactly) {
  const Answer login = LogIn();
  ASSERT_EQ(login.status, 200);
  EXPECT_EQ(login.Header("Content-Length"), std::to_string(login.body.size()));
  EXPECT_EQ(login.Header("Content-Type"), "text/html; charset=iso-8859-1");
  EXPECT_EQ(login.logLine, "POST http://192.0.2.10/cgi-bin/start 200");
  EXPECT_EQ(login.body.find("We're"), std::string::npos);

  const std::string sid = SessionIdOf(login.body);
  const MailboxState s = notifier::Scan(login, page);
  ExpectRowsOf(Alice(), s, sid);
  EXPECT_EQ(Senders(s), (std::vector<std::string>{"Ann Example", "Bob Sample", "Carol Test", "Hotmail Staff"}));
  EXPECT_EQ(s.Messages.dates[1], "12/07");  // shown over two cells
}

TEST_F(Service, BadLoginsAnswerTheFailurePageAndOpenNoSession) {
  for (const auto& [login, password] : std::vector<std::pair<std::string, std::string>>{
           {"alice", "Wonderland"}, {"alice", ""}, {"bob", "wonderland"}, {"", ""}}) {
    const Answer answer = Exchange(handler, LoginRequest(login, password));
    EXPECT_EQ(answer.status, 200);
    EXPECT_NE(answer.body.find("We're"), std::string::npos) << login << "/" << password;
    EXPECT_EQ(answer.body.find("Mailbox</title>"), std::string::npos);
  }
  const Answer noPassword = Exchange(handler, notifier::PostRequest("/cgi-bin/start", "login=alice"));
  EXPECT_NE(noPassword.body.find("We're"), std::string::npos);
  EXPECT_EQ(handler.Service().SessionCount(), 0u);
}

TEST_F(Service, FormEncodedCredentialsAreDecoded) {
  RequestHandler custom(webmail::ParseAccounts("account a.b_c-d\npassword p w%-+&=x\n", "t"), std::nullopt, {});
  const Answer answer = Exchange(custom, LoginRequest("a.b_c-d", "p w%-+&=x"));
  EXPECT_NE(answer.body.find("Mailbox</title>"), std::string::npos);
  // An empty mailbox still carries the count, the form and the logout link.
  const MailboxState s = notifier::Scan(answer, page);
  EXPECT_EQ(s.NewMailCount, 0);
  EXPECT_EQ(Senders(s), std::vector<std::string>{"No mail for you!"});
  EXPECT_EQ(s.SessionURL, "http://192.0.2.20/cgi-bin/logout?sid=" + SessionIdOf(answer.body) + "&curmbox=ACTIVE");
}

TEST_F(Service, DeletionReplayingTheFormRemovesExactlyTheCheckedMessages) {
  const Answer login = LogIn();
  page.Load(login.body);
  const std::string query = notifier::DeletionQuery(page, {"MSG1001", "MSG1003"});
  const std::string sid = SessionIdOf(login.body);
  EXPECT_EQ(query, "curmbox=ACTIVE&sid=" + sid + "&MSG1001=TRUE&MSG1003=TRUE&Delete.x=Delete");

  const Answer deleted = Exchange(handler, GetRequest(kLoginOrigin + "/cgi-bin/HoTMaiL?" + query));
  ASSERT_EQ(deleted.status, 200);
  const MailboxState s = notifier::Scan(deleted, page);
  EXPECT_EQ(s.Messages.fieldNames, (std::vector<std::string>{"MSG1002", "MSG1004"}));
  ExpectRowsOf(Alice(), s, sid);

  // The mailbox lives in the server: a second session of the account sees the same two.
  const Answer again = LogIn();
  EXPECT_EQ(notifier::Scan(again, page).Messages.fieldNames, (std::vector<std::string>{"MSG1002", "MSG1004"}));
}

TEST_F(Service, DeletionIgnoresUncheckedUnknownAndUnpressedNames) {
  const std::string sid = SessionIdOf(LogIn().body);
  const std::string base = kLoginOrigin + "/cgi-bin/HoTMaiL?curmbox=ACTIVE&sid=" + sid;
  // Without the Delete button the form only shows the page again.
  Exchange(handler, GetRequest(base + "&MSG1001=TRUE"));
  Exchange(handler, GetRequest(base + "&MSG1002=on&NOSUCH=TRUE&Delete.x=Delete"));
  EXPECT_EQ(Alice().messages.size(), 4u);
  // A deletion that lost its hidden fields has no session: nothing goes.
  const Answer orphan = Exchange(handler, GetRequest(kLoginOrigin + "/cgi-bin/HoTMaiL?&MSG1001=TRUE&Delete.x=Delete"));
  EXPECT_NE(orphan.body.find("Session Expired"), std::string::npos);
  EXPECT_EQ(Alice().messages.size(), 4u);
  // A page that quotes the request quotes it as text.
  const Answer unknown = Exchange(handler, GetRequest(kLoginOrigin + "/cgi-bin/<b>&x"));
  EXPECT_EQ(unknown.status, 404);
  EXPECT_NE(unknown.body.find("/cgi-bin/&lt;b&gt;&amp;x"), std::string::npos) << unknown.body;
}

TEST_F(Service, MessagePageHoldsTheBodyBetweenItsMarkers) {
  const Answer login = LogIn();
  const MailboxState s = notifier::Scan(login, page);
  for (std::size_t i = 0; i < s.Messages.RowCount(); ++i) {
    const Answer message = Exchange(handler, GetRequest(kLoginOrigin + s.Messages.links[i]));
    ASSERT_EQ(message.status, 200);
    std::string expected = "\n";  // the preview keeps the half of the line break it does not skip
    for (const std::string& line : Alice().messages[i].bodyLines) expected += line + "\r\n";
    EXPECT_EQ(notifier::PreviewBody(message.body), expected);
  }
  EXPECT_EQ(notifier::PreviewBody(Exchange(handler, GetRequest(kLoginOrigin + s.Messages.links[0])).body),
            "\nHi Alice,\r\n\r\nlunch on Friday at noon, at the usual place?\r\n\r\n  Ann\r\n");

  const std::string sid = SessionIdOf(login.body);
  const Answer gone = Exchange(handler, GetRequest("/cgi-bin/getmsg?sid=" + sid + "&msg=NOSUCH"));
  EXPECT_EQ(gone.status, 404);
}

TEST_F(Service, LogoutEndsOnlyThatSessionAndTheAccountCanLogInAgain) {
  const Answer first = LogIn();
  const Answer second = LogIn();
  const MailboxState s1 = notifier::Scan(first, page);
  const std::string link = s1.Messages.links[0];
  ASSERT_NE(SessionIdOf(first.body), SessionIdOf(second.body));

  const Answer out = Exchange(handler, GetRequest(s1.SessionURL));
  EXPECT_EQ(out.status, 200);
  EXPECT_NE(out.body.find("signed out"), std::string::npos);
  EXPECT_EQ(out.logLine, "GET " + s1.SessionURL + " 200");

  // Every later request of that session gets the expired page; the other session lives on.
  for (const std::string& target :
       {kLoginOrigin + link, s1.SessionURL, kLoginOrigin + "/cgi-bin/HoTMaiL?sid=" + SessionIdOf(first.body)}) {
    const Answer late = Exchange(handler, GetRequest(target));
    EXPECT_EQ(late.status, 200);
    EXPECT_NE(late.body.find("Session Expired"), std::string::npos) << target;
    EXPECT_EQ(late.body.find("We're"), std::string::npos);
  }
  const Answer other =
      Exchange(handler, GetRequest(kLoginOrigin + notifier::Scan(second, page).Messages.links[0]));
  EXPECT_NE(other.body.find("<div><pre>"), std::string::npos);
  EXPECT_EQ(notifier::Scan(LogIn(), page).NewMailCount, 4);
}

TEST_F(Service, AThousandLoginsKeepEverySession) {
  std::vector<std::string> sids;
  for (int i = 0; i < 1000; ++i) sids.push_back(SessionIdOf(LogIn().body));
  EXPECT_EQ(handler.Service().SessionCount(), 1000u);
  for (const std::string& sid : {sids.front(), sids[499], sids.back()})
    EXPECT_NE(Exchange(handler, GetRequest("/cgi-bin/HoTMaiL?sid=" + sid)).body.find("Mailbox</title>"),
              std::string::npos);
}

// Every message that the account file accepts must come back from the page unchanged: the
// file's rules and the page layout have to agree with the notifier's reading.
TEST(PageRoundTrip, EveryAcceptedMessageIsReadBackUnchanged) {
  std::mt19937 random(7);
  const std::string alphabet = "ab Z09/ .,:;'\"!?()&%+-=$#*~\xe9";
  const std::string troublemakers = "|<>";
  auto text = [&](std::size_t maxLength) {
    std::string out;
    const std::size_t length = 1 + random() % maxLength;
    for (std::size_t i = 0; i < length; ++i) out += alphabet[random() % alphabet.size()];
    if (random() % 20 == 0) out += random() % 2 ? "&nbsp;" : std::string(1, troublemakers[random() % 3]);
    return out;
  };
  std::string file = "account rt\npassword x\n";
  int refused = 0;
  for (int i = 0; i < 400; ++i) {
    const std::string date = random() % 3 == 0 ? text(6) + "/" + std::to_string(random() % 40) : text(10);
    const std::string message = "message M" + std::to_string(i) + "\nfrom " + text(30) + "\ndate " + date +
                                "\nsubject " +
                                (random() % 5 == 0 ? std::to_string(random() % 100) : text(random() % 4 ? 60 : 300)) +
                                "\nsize " + text(5) + "\n";
    try {
      webmail::ParseAccounts(file + message, "t");
      file += message;
    } catch (const webmail::AccountFileError&) {
      ++refused;
    }
  }
  EXPECT_GT(refused, 20);
  RequestHandler handler(webmail::ParseAccounts(file, "t"), std::nullopt, {});
  const Account& account = *handler.Service().FindAccount("rt");
  ASSERT_GT(account.messages.size(), 200u);
  const Answer login = Exchange(handler, LoginRequest("rt", "x"));
  PageText page;
  ExpectRowsOf(account, notifier::Scan(login, page), SessionIdOf(login.body));
}
