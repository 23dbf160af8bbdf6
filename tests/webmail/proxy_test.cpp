// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "notifier_steps.h"
#include "webmail/http/proxy_auth.h"
#include "webmail/http/request_handler.h"

using notifier::Exchange;
using notifier::GetRequest;
using notifier::LoginRequest;
using webmail::RequestHandler;

namespace {

bool IsMailboxPage(const notifier::Answer& a) { return a.body.find("Mailbox</title>") != std::string::npos; }

std::string LogoutTargetOf(const notifier::Answer& login) {
  PageText page;
  return notifier::Scan(login, page).SessionURL;
}

}  // namespace

TEST(Routing, ServesBothServersAsOriginAndAsProxyAndRefusesOtherHosts) {
  RequestHandler handler(webmail::DefaultAccounts(), std::nullopt, {});
  const std::string body = notifier::LoginBody("alice", "wonderland");
  EXPECT_TRUE(IsMailboxPage(Exchange(handler, notifier::PostRequest("/cgi-bin/start", body))));
  EXPECT_TRUE(IsMailboxPage(Exchange(handler, notifier::PostRequest("http://192.0.2.10:80/cgi-bin/start", body))));
  EXPECT_TRUE(IsMailboxPage(Exchange(handler, notifier::PostRequest("HTTP://192.0.2.10/cgi-bin/start", body))));

  for (const std::string& target :
       std::vector<std::string>{"http://192.0.2.10:8080/cgi-bin/start", "http://example.com/cgi-bin/start",
                                "https://192.0.2.10/cgi-bin/start", "http://user@192.0.2.10/cgi-bin/start",
                                "http://192.0.2.100/cgi-bin/start"}) {
    const notifier::Answer answer = Exchange(handler, notifier::PostRequest(target, body));
    EXPECT_EQ(answer.status, 502) << target;
    EXPECT_EQ(answer.logLine, "POST " + target + " 502");
  }
  EXPECT_EQ(Exchange(handler, GetRequest("*")).status, 400);
  EXPECT_EQ(Exchange(handler, GetRequest("http://192.0.2.10/nothing")).status, 404);
  EXPECT_EQ(Exchange(handler, "HEAD /cgi-bin/start HTTP/1.0\r\n\r\n").status, 501);
}

TEST(Routing, EachPageLivesOnItsOwnServer) {
  RequestHandler handler(webmail::DefaultAccounts(), std::nullopt, {});
  const std::string logout = LogoutTargetOf(Exchange(handler, LoginRequest("alice", "wonderland")));
  const std::string path = logout.substr(std::string("http://192.0.2.20").size());
  // Logging out on the login server is a mistake of the client, not a logout.
  EXPECT_EQ(Exchange(handler, GetRequest("http://192.0.2.10" + path)).status, 404);
  EXPECT_EQ(Exchange(handler, GetRequest(path)).status, 404);
  EXPECT_EQ(Exchange(handler, notifier::PostRequest("http://192.0.2.20/cgi-bin/start", "login=alice")).status, 404);
  EXPECT_EQ(handler.Service().SessionCount(), 1u);
  // A direct request whose Host line names the mail server reaches it.
  const notifier::Answer out = Exchange(handler, "GET " + path + " HTTP/1.0\r\nHost: 192.0.2.20:80\r\n\r\n");
  EXPECT_NE(out.body.find("signed out"), std::string::npos);
  EXPECT_EQ(handler.Service().SessionCount(), 0u);
}

TEST(ProxyAuthentication, ProxyRequestsNeedTheCredentialsOriginRequestsDoNot) {
  RequestHandler handler(webmail::DefaultAccounts(), webmail::ProxyCredentials{"user", "pass"}, {});
  const std::string good = "Proxy-Authorization: Basic dXNlcjpwYXNz\r\n";  // user:pass

  const notifier::Answer missing = Exchange(handler, LoginRequest("alice", "wonderland"));
  EXPECT_EQ(missing.status, 407);
  EXPECT_EQ(missing.Header("Proxy-Authenticate"), "Basic realm=\"webmail\"");
  for (const char* wrong : {"Basic dXNlcjpwYXN0", "Basic dXNlcjpwYXNz=", "Digest dXNlcjpwYXNz", "Basic"}) {
    EXPECT_EQ(
        Exchange(handler, LoginRequest("alice", "wonderland", "Proxy-Authorization: " + std::string(wrong) + "\r\n"))
            .status,
        407)
        << wrong;
  }
  EXPECT_TRUE(IsMailboxPage(Exchange(handler, LoginRequest("alice", "wonderland", good))));
  EXPECT_TRUE(IsMailboxPage(
      Exchange(handler, LoginRequest("alice", "wonderland", "proxy-authorization: basic dXNlcjpwYXNz\r\n"))));
  EXPECT_TRUE(IsMailboxPage(
      Exchange(handler, notifier::PostRequest("/cgi-bin/start", notifier::LoginBody("alice", "wonderland")))));
  // Credentials come before the choice of host, as at any proxy.
  EXPECT_EQ(Exchange(handler, GetRequest("http://example.com/")).status, 407);
  EXPECT_EQ(Exchange(handler, GetRequest("http://example.com/", good)).status, 502);
}

TEST(ProxyAuthentication, Base64DecodingIsStrict) {
  EXPECT_EQ(webmail::DecodeBase64("dXNlcjpwYXNz"), "user:pass");
  EXPECT_EQ(webmail::DecodeBase64("YTpi"), "a:b");
  EXPECT_EQ(webmail::DecodeBase64("YTo="), "a:");
  EXPECT_EQ(webmail::DecodeBase64("YQ=="), "a");
  EXPECT_EQ(webmail::DecodeBase64(""), "");
  for (const char* bad : {"YTo", "YT!b", "Y===", "YQ==YQ=="}) EXPECT_FALSE(webmail::DecodeBase64(bad)) << bad;
}
