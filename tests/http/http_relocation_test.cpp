// SPDX-License-Identifier: MIT
// Where a relocated request may go, and what it may carry there.

#include <gtest/gtest.h>

#include "http/http_client.h"
#include "scripted_server.h"

using httptest::ScriptedServer;
using httptest::Send;

namespace {

std::string Relocation(const std::string& location) {
  return "HTTP/1.0 302 Found\r\nLocation: " + location + "\r\n\r\n";
}

struct Chain {
  std::vector<std::string> atOrigin, elsewhere;
  std::string body;
};

// Posts a form with credentials in the URL to `origin`; the caller's servers relocate it.
Chain PostWithCredentials(ScriptedServer& origin, ScriptedServer& elsewhere) {
  HttpClient http;
  MemoryStream post, body;
  post.WriteString("login=a&passwd=secret");
  post.Seek(0);
  http.PostStream = &post;
  http.ReceiveStream = &body;
  http.URL = "http://joe:pw@127.0.0.1:" + std::to_string(origin.Port()) + "/start";
  http.Post();
  return {origin.Requests(), elsewhere.Requests(), body.Bytes()};
}

}  // namespace

// At its origin a relocated POST goes again whole. Relocated to another host on the same port,
// or to another port of the same host, it goes on as a GET without body or credentials, and
// stays one when the chain leads back to the origin.
TEST(HttpRelocation, APostBodyAndItsCredentialsNeverLeaveTheOrigin) {
  {
    ScriptedServer origin({{Send(Relocation("/again"))},
                           {Send(Relocation("http://127.0.0.2/second"))},  // the port stays
                           {Send("HTTP/1.0 200 OK\r\n\r\nback home")}});
    ScriptedServer otherHost({{Send(Relocation(origin.Url("/back")))}}, true, "127.0.0.2", origin.Port());
    const Chain chain = PostWithCredentials(origin, otherHost);
    EXPECT_EQ(chain.body, "back home");
    ASSERT_EQ(chain.atOrigin.size(), 3u);
    EXPECT_TRUE(chain.atOrigin[1].starts_with("POST /again HTTP/1.0\r\n")) << chain.atOrigin[1];
    EXPECT_NE(chain.atOrigin[1].find("Authorization: Basic "), std::string::npos);
    EXPECT_TRUE(chain.atOrigin[1].ends_with("\r\n\r\nlogin=a&passwd=secret")) << chain.atOrigin[1];
    EXPECT_TRUE(chain.atOrigin[2].starts_with("GET /back HTTP/1.0\r\n")) << chain.atOrigin[2];
    EXPECT_TRUE(chain.atOrigin[2].ends_with("\r\n\r\n")) << chain.atOrigin[2];
    EXPECT_EQ(chain.elsewhere, std::vector<std::string>{"GET /second HTTP/1.0\r\nHost: 127.0.0.2\r\n\r\n"});
  }
  {
    ScriptedServer otherPort({{Send("HTTP/1.0 200 OK\r\n\r\nthere")}});
    ScriptedServer origin({{Send(Relocation(otherPort.Url("/second")))}});
    const Chain chain = PostWithCredentials(origin, otherPort);
    EXPECT_EQ(chain.body, "there");
    EXPECT_EQ(chain.elsewhere, std::vector<std::string>{"GET /second HTTP/1.0\r\nHost: 127.0.0.1\r\n\r\n"});
  }
}

TEST(HttpRelocation, OtherProtocolsEndTheRequest) {
  for (const std::string location : {"https://127.0.0.1/x", "ftp://127.0.0.1/x", "HTTPS://127.0.0.1/", "mailto:a@b"}) {
    ScriptedServer server({{Send(Relocation(location))}, {Send("HTTP/1.0 200 OK\r\n\r\n")}});
    HttpClient http;
    MemoryStream post;
    post.WriteString("passwd=secret");
    post.Seek(0);
    http.PostStream = &post;
    http.URL = server.Url("/start");
    try {
      http.Post();
      ADD_FAILURE() << location;
    } catch (const HttpError& e) {
      EXPECT_STREQ(e.what(), "Relocation to a protocol other than http") << location;
      EXPECT_EQ(e.Code, kLocalFailureStatus);
    }
    EXPECT_EQ(server.Connections(), 1) << location;
  }
}
