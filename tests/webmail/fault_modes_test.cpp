// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "notifier_steps.h"
#include "webmail/http/reply_stream.h"
#include "webmail/http/request_handler.h"
#include "webmail/http/server_options.h"

using notifier::Exchange;
using notifier::LoginRequest;
using webmail::FaultModes;
using webmail::ParseCommandLine;
using webmail::RequestHandler;

TEST(CommandLine, ReadsEveryOption) {
  const webmail::ServerOptions o =
      ParseCommandLine({"--port", "0", "--accounts", "a.txt", "--proxy-auth", "u:p:q", "--delay-ms", "250",
                        "--drip-bytes-per-sec", "10", "--close-after-bytes", "7", "--status", "500", "--redirects", "3",
                        "--endless-body", "--huge-mailbox", "--never-answer"});
  EXPECT_EQ(o.port, 0);
  EXPECT_EQ(o.accountsFile, "a.txt");
  EXPECT_EQ(o.proxyAuth->user, "u");
  EXPECT_EQ(o.proxyAuth->password, "p:q");
  EXPECT_EQ(o.faults.delay.count(), 250);
  EXPECT_EQ(o.faults.dripBytesPerSecond, 10u);
  EXPECT_EQ(o.faults.closeAfterBytes, 7u);
  EXPECT_EQ(o.faults.fixedStatus, 500);
  EXPECT_EQ(o.faults.redirects, 3);
  EXPECT_TRUE(o.faults.endlessBody && o.faults.hugeMailbox && o.faults.neverAnswer);

  const webmail::ServerOptions plain = ParseCommandLine({});
  EXPECT_EQ(plain.port, 8080);
  EXPECT_FALSE(plain.proxyAuth || plain.faults.fixedStatus || plain.faults.closeAfterBytes);
  EXPECT_TRUE(ParseCommandLine({"--help"}).help);
}

TEST(CommandLine, RefusesBadArgumentsWithAReason) {
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
      {{"--prot", "1"}, "unknown option \"--prot\""},
      {{"--port"}, "--port needs a value"},
      {{"--port", "65536"}, "--port needs a whole number from 0 to 65535, not \"65536\""},
      {{"--port", "-1"}, "not \"-1\""},
      {{"--delay-ms", "1s"}, "not \"1s\""},
      {{"--status", "99"}, "from 100 to 599"},
      {{"--redirects", "101"}, "from 0 to 100"},
      {{"--drip-bytes-per-sec", "0"}, "from 1 to"},
      {{"--proxy-auth", "nopassword"}, "--proxy-auth needs USER:PASSWORD"},
      {{"--proxy-auth", ":p"}, "--proxy-auth needs USER:PASSWORD"},
  };
  for (const auto& [args, expected] : cases) {
    try {
      ParseCommandLine(args);
      ADD_FAILURE() << "accepted " << args[0];
    } catch (const webmail::UsageError& e) {
      EXPECT_NE(std::string(e.what()).find(expected), std::string::npos) << e.what();
    }
  }
}

TEST(FaultModes, RedirectChainEndsOnTheRealAnswerInTheRequestsForm) {
  FaultModes faults;
  faults.redirects = 3;
  RequestHandler handler(webmail::DefaultAccounts(), std::nullopt, faults);
  const std::string body = notifier::LoginBody("alice", "wonderland");
  std::string target = "http://192.0.2.10/cgi-bin/start";
  for (int hop = 1; hop <= 3; ++hop) {
    const notifier::Answer answer = Exchange(handler, notifier::PostRequest(target, body));
    ASSERT_EQ(answer.status, 302);
    target = answer.Header("Location");
    EXPECT_EQ(target, "http://192.0.2.10/redirect/" + std::to_string(hop) + "/cgi-bin/start");
  }
  EXPECT_NE(Exchange(handler, notifier::PostRequest(target, body)).body.find("Mailbox</title>"), std::string::npos);
  EXPECT_EQ(handler.Service().SessionCount(), 1u);  // no login before the chain's end

  const notifier::Answer origin = Exchange(handler, notifier::PostRequest("/redirect/2/cgi-bin/start", body));
  EXPECT_EQ(origin.Header("Location"), "/redirect/3/cgi-bin/start");
}

TEST(FaultModes, FixedStatusReplacesServiceAnswersButNotTheProxyChecks) {
  FaultModes faults;
  faults.fixedStatus = 500;
  RequestHandler handler(webmail::DefaultAccounts(), webmail::ProxyCredentials{"u", "p"}, faults);
  const notifier::Answer answer =
      Exchange(handler, LoginRequest("alice", "wonderland", "Proxy-Authorization: Basic dTpw\r\n"));
  EXPECT_EQ(answer.status, 500);
  EXPECT_EQ(answer.logLine, "POST http://192.0.2.10/cgi-bin/start 500");
  EXPECT_EQ(handler.Service().SessionCount(), 0u);
  EXPECT_EQ(Exchange(handler, LoginRequest("alice", "wonderland")).status, 407);
}

TEST(FaultModes, HugeMailboxIsAWholePageBeyondThePageCapacity) {
  FaultModes faults;
  faults.hugeMailbox = true;
  RequestHandler handler(webmail::DefaultAccounts(), std::nullopt, faults);
  const notifier::Answer answer = Exchange(handler, LoginRequest("alice", "wonderland"));
  EXPECT_GT(answer.body.size(), PageText::kCapacity);
  EXPECT_EQ(answer.Header("Content-Length"), std::to_string(answer.body.size()));
  EXPECT_TRUE(answer.body.ends_with("</html>\r\n"));
  PageText page;
  EXPECT_THROW(page.Load(answer.body), PageTextOverflow);
  // Cut to the capacity, it is still the account's mailbox.
  page.Load(answer.body.substr(0, PageText::kCapacity / 2));
  MailboxState state;
  ScanMailbox(page, true, state);
  EXPECT_EQ(state.Messages.RowCount(), 4u);
}

TEST(FaultModes, EndlessBodyNeverFinishesAndHasNoLength) {
  FaultModes faults;
  faults.endlessBody = true;
  RequestHandler handler(webmail::DefaultAccounts(), std::nullopt, faults);
  webmail::Conversation conversation(handler);
  ASSERT_EQ(conversation.Receive(LoginRequest("alice", "wonderland")), webmail::Conversation::Step::Answer);
  std::string received;
  while (received.size() < 8 * 1024 * 1024) received += conversation.Answer().Next(100'000);
  EXPECT_FALSE(conversation.Answer().Finished());
  const std::string head = received.substr(0, received.find("\r\n\r\n"));
  EXPECT_EQ(head.find("Content-Length"), std::string::npos);
  EXPECT_NE(received.find("Mailbox</title>"), std::string::npos);
  EXPECT_EQ(received.compare(received.size() - 100, 100, webmail::EndlessFiller().substr(0, 100)), 0);
}

TEST(FaultModes, CloseAfterBytesCutsTheAnswerWhereverThatFalls) {
  const webmail::Reply reply = webmail::HtmlReply(200, "0123456789");
  const std::string whole = reply.Head() + reply.body;
  for (const std::size_t limit : {std::size_t{0}, std::size_t{5}, whole.size() - 3, whole.size(), whole.size() + 50}) {
    webmail::ReplyStream stream(reply, limit);
    std::string sent;
    while (!stream.Finished()) sent += stream.Next(4);
    EXPECT_EQ(sent, whole.substr(0, limit));
    EXPECT_TRUE(stream.Next(4).empty());
  }
  webmail::Reply endless = reply;
  endless.endless = true;
  webmail::ReplyStream cut(endless, 5000);
  std::string sent;
  while (!cut.Finished()) sent += cut.Next(1000);
  EXPECT_EQ(sent.size(), 5000u);
}

TEST(FaultModes, NeverAnswerHoldsTheConnectionUntilTheClientLeaves) {
  FaultModes faults;
  faults.neverAnswer = true;
  RequestHandler handler(webmail::DefaultAccounts(), std::nullopt, faults);
  webmail::Conversation conversation(handler);
  using Step = webmail::Conversation::Step;
  EXPECT_EQ(conversation.Receive(LoginRequest("alice", "wonderland")), Step::HoldOpen);
  EXPECT_EQ(conversation.LogLine(), "POST http://192.0.2.10/cgi-bin/start never answered");
  EXPECT_EQ(conversation.Receive("more"), Step::HoldOpen);
  EXPECT_EQ(conversation.ReceiveEnd(), Step::Close);
  EXPECT_EQ(handler.Service().SessionCount(), 0u);
}
