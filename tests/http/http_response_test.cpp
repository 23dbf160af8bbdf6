// SPDX-License-Identifier: MIT
// How the client reads answers: status lines, header lines, bodies, relocations, errors.

#include <gtest/gtest.h>

#include "http/http_client.h"
#include "scripted_server.h"

using httptest::Hold;
using httptest::Pause;
using httptest::ScriptedServer;
using httptest::Send;
using httptest::Step;

namespace {

struct Outcome {
  bool raised = false;
  std::uint16_t code = 0;
  std::string message;
  std::string body;
};

Outcome Fetch(HttpClient& http, const std::string& url) {
  Outcome outcome;
  MemoryStream body;
  http.URL = url;
  http.ReceiveStream = &body;
  try {
    http.Get();
  } catch (const HttpError& e) {
    outcome = {true, e.Code, e.what(), {}};
  }
  http.ReceiveStream = nullptr;
  outcome.body = body.Bytes();
  EXPECT_EQ(http.ClientState(), hsIdle);
  return outcome;
}

}  // namespace

TEST(HttpResponse, StatusLineForms) {
  struct Case {
    std::string answer;
    int status;
    std::string reason, body;
  };
  const Case cases[] = {
      {"HTTP/1.0 200 OK\r\nX: y\r\n\r\nhello", 200, "OK", "hello"},
      {"HTTP/1.1 201 Created here\nServer: t\n\nlf only\r\nbody", 201, "Created here", "lf only\r\nbody"},
      {"HTTP/1.2 200 OK\r\n\r\nfuture", 0, "", "future"},
      {"http/1.0 200 OK\r\n\r\nlower", 0, "", "lower"},
      {"HTTP/1.0 302 Found\r\n\r\nno location, no relocation", 302, "Found", "no location, no relocation"},
      {"HTTP/1.0 204\r\n\r\n", 204, "", ""},
      {"HTTP/1.0 200 OK\r\nA: b\rc\r\n\r\n", 200, "OK", ""},
      // The code is read as a decimal conversion reads it: blanks first, then an optional sign.
      {"HTTP/1.0  200 OK\r\n\r\ntwo blanks", 20, " OK", "two blanks"},
      {"HTTP/1.0 +40 Plus\r\n\r\nsigned", 40, "Plus", "signed"},
      {"HTTP/1.1 -12 Minus\r\n\r\n", -12, "Minus", ""},
  };
  for (const Case& c : cases) {
    ScriptedServer server({{Send(c.answer)}});
    HttpClient http;
    const Outcome outcome = Fetch(http, server.Url());
    EXPECT_FALSE(outcome.raised) << c.answer;
    EXPECT_EQ(http.StatusCode(), c.status) << c.answer;
    if (c.status != 0) {
      EXPECT_EQ(http.ReasonPhrase(), c.reason);
    }
    EXPECT_EQ(outcome.body, c.body) << c.answer;
  }
  ScriptedServer lone({{Send("HTTP/1.0 200 OK\r\nA: b\rc\r\n\r\n")}});
  HttpClient http;
  Fetch(http, lone.Url());
  EXPECT_EQ(http.HeaderLines(), (std::vector<std::string>{"HTTP/1.0 200 OK", "A: b\rc"}));
}

TEST(HttpResponse, EventsOfAGetInOrderWithBodyArrivingWithTheHeader) {
  ScriptedServer server({{Send("HTTP/1.0 200 OK\r\nContent-Length: 2\r\n\r\nfirst"), Pause(50), Send("second")}});
  HttpClient http;
  std::vector<std::string> events;
  http.OnStateChange = [&](HttpClient* s) { events.push_back("state" + std::to_string(s->ClientState())); };
  http.OnHeaderBegin = [&](HttpClient*) { events.push_back("hbegin"); };
  http.OnHeaderData = [&](HttpClient* s) { events.push_back("line:" + std::string(s->LastLine())); };
  http.OnHeaderEnd = [&](HttpClient*) { events.push_back("hend"); };
  http.OnDocBegin = [&](HttpClient*) { events.push_back("dbegin"); };
  http.OnDocData = [&](HttpClient*, const char* b, std::int32_t n) { events.push_back("data:" + std::string(b, n)); };
  http.OnDocEnd = [&](HttpClient*) { events.push_back("dend"); };
  http.OnRequestDone = [&](HttpClient*, HttpRequestKind kind, std::uint16_t error) {
    events.push_back("done" + std::to_string(kind) + "/" + std::to_string(error));
  };
  const Outcome outcome = Fetch(http, server.Url());
  win::PumpMessages();  // the done notice comes after the call returns
  EXPECT_EQ(outcome.body, "firstsecond");  // the length line does not bound the body
  const std::vector<std::string> expected = {
      "state1", "state2", "state1", "state3", "hbegin", "hend",  // composing the request
      "hbegin", "line:HTTP/1.0 200 OK", "line:Content-Length: 2", "state4", "hend", "dbegin", "data:first",
      "data:second", "dend", "state0", "done1/0"};
  EXPECT_EQ(events, expected);
  EXPECT_EQ(http.ReceivedCount(), 11);
}

TEST(HttpResponse, ErrorStatusRaisesWithItsReasonAndReadsNoBody) {
  ScriptedServer server({{Send("HTTP/1.0 404 Not Found\r\n"), Pause(100), Send("Server: late\r\n\r\nbody")}});
  HttpClient http;
  const Outcome outcome = Fetch(http, server.Url("/missing"));
  EXPECT_TRUE(outcome.raised);
  EXPECT_EQ(outcome.code, 404);
  EXPECT_EQ(outcome.message, "Not Found");
  EXPECT_EQ(outcome.body, "");
  EXPECT_EQ(http.HeaderLines().size(), 1u);
}

TEST(HttpResponse, ServerClosingBeforeAnyStatusReturnsWithStatusZero) {
  ScriptedServer server(std::vector<httptest::Script>(1));  // answers by closing
  HttpClient http;
  const Outcome outcome = Fetch(http, server.Url());
  EXPECT_FALSE(outcome.raised);
  EXPECT_EQ(http.StatusCode(), 0);
  EXPECT_EQ(outcome.body, "");
}

// The 302 that relocated the request is no answer of the new connection.
TEST(HttpResponse, ARelocatedRequestWhoseConnectionEndsBeforeAStatusLineFails) {
  for (const httptest::Script& second :
       {httptest::Script{}, {Send("HTTP/1.0 20")}, {Send("HTTP/1.2 200 OK\r\n\r\nno status line")}}) {
    ScriptedServer server({{Send("HTTP/1.0 302 Found\r\nLocation: /next\r\n\r\n")}, second});
    HttpClient http;
    const Outcome outcome = Fetch(http, server.Url());
    EXPECT_EQ(outcome.code, kLocalFailureStatus);
    EXPECT_EQ(outcome.message, "Connection reset by peer (Error #10054)");
    EXPECT_EQ(server.Connections(), 2);
  }
}

TEST(HttpResponse, RelocationsByPathByHostAndWithoutSpace) {
  ScriptedServer target({{Send("HTTP/1.0 200 OK\r\n\r\nthere")}});
  ScriptedServer server({
      {Send("HTTP/1.0 302 Moved\r\nLocation: /second?q=1\r\n\r\nbody of the 302")},
      {Send("HTTP/1.0 301 Moved\r\nLocation:xhttp://" + target.HostPort() + "\r\n\r\n")},
  });
  HttpClient http;
  std::string locations;
  http.OnLocationChange = [&](HttpClient*) { locations += "L"; };
  const Outcome outcome = Fetch(http, server.Url("/first"));
  EXPECT_FALSE(outcome.raised);
  EXPECT_EQ(outcome.body, "there");
  EXPECT_EQ(locations, "LL");
  const auto requests = server.Requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[1], "GET /second?q=1 HTTP/1.0\r\nHost: 127.0.0.1\r\n\r\n");
  EXPECT_EQ(target.Requests().at(0), "GET / HTTP/1.0\r\nHost: 127.0.0.1\r\n\r\n");
  EXPECT_EQ(http.HeaderLines().size(), 5u);  // the lines of all three answers
}

TEST(HttpResponse, RelocationThroughAProxyKeepsThePostBodyAtItsOrigin) {
  ScriptedServer proxy({
      {Send("HTTP/1.0 302 Found\r\nLocation: /next\r\n\r\n")},
      {Send("HTTP/1.0 302 Found\r\nLocation: http://192.0.2.20/mail\r\n\r\n")},
      {Send("HTTP/1.0 200 OK\r\n\r\ndone")},
  });
  HttpClient http;
  http.Proxy = proxy.HostPort();
  MemoryStream post, body;
  post.WriteString("a=1");
  post.Seek(0);
  http.PostStream = &post;
  http.ReceiveStream = &body;
  http.URL = "http://192.0.2.10/start";
  http.Post();
  const auto requests = proxy.Requests();
  ASSERT_EQ(requests.size(), 3u);
  EXPECT_TRUE(requests[1].starts_with("POST http://192.0.2.10/next HTTP/1.0\r\n")) << requests[1];
  EXPECT_TRUE(requests[1].ends_with("\r\n\r\na=1")) << requests[1];  // rewound
  EXPECT_EQ(requests[2], "GET http://192.0.2.20/mail HTTP/1.0\r\nHost: 192.0.2.20\r\n\r\n");
  EXPECT_EQ(body.Bytes(), "done");
}

// A status line and `count` copies of `line`, each ending in CR LF.
std::string Lines(const std::string& status, const std::string& line, int count) {
  std::string text = status + "\r\n";
  for (int i = 0; i < count; ++i) text += line + "\r\n";
  return text;
}

// A header of exactly `bytes` bytes, its empty line included (for sizes whose last line has room).
std::string HeaderOfBytes(std::size_t bytes) {
  std::string header = "HTTP/1.0 200 OK\r\n";
  while (header.size() + 2 < bytes) {
    header += "X: " + std::string(std::min<std::size_t>(7995, bytes - header.size() - 7), 'x') + "\r\n";
  }
  return header + "\r\n";
}

TEST(HttpResponse, LocalFailuresEndTheRequestWithAClearReason) {
  std::vector<httptest::Script> loop(kMaxRelocations + 1, {Send("HTTP/1.0 302 Found\r\nLocation: /again\r\n\r\n")});
  struct Case {
    std::vector<httptest::Script> scripts;
    std::string reason;
  };
  const Case cases[] = {
      {loop, "Too many relocations (more than 20)"},
      {{{Send("HTTP/1.0 200 OK\r\nX: " + std::string(9000, 'x') + "\r\n\r\n")}}, "Response header line too long"},
      {{{Send("HTTP/1.0 200 OK\r\nX: " + std::string(8187, 'x') + "\r\n\r\n")}}, "Response header line too long"},
      {{{Send("HTTP/1.0 2x0 OK\r\n\r\n")}}, "Invalid status line in response"},
      {{{Send("HTTP/1.0 2 0 OK\r\n\r\n")}}, "Invalid status line in response"},
      {{{Send("HTTP/1.0 +-1 OK\r\n\r\n")}}, "Invalid status line in response"},
      {{{Send("HTTP/1.0 302 Found\r\nLocation: /a\rEvil: 1\r\n\r\n")}}, "Invalid location in response"},
      // Nothing that would break the next request line, and no empty target.
      {{{Send("HTTP/1.0 302 Found\r\nLocation: /a\vb\r\n\r\n")}}, "Invalid location in response"},
      {{{Send("HTTP/1.0 302 Found\r\nLocation: /a\x1b[2Jb\r\n\r\n")}}, "Invalid location in response"},
      {{{Send("HTTP/1.0 302 Found\r\nLocation: /a\x7f\r\n\r\n")}}, "Invalid location in response"},
      {{{Send("HTTP/1.0 302 Found\r\nLocation: /a\x85\r\n\r\n")}}, "Invalid location in response"},
      {{{Send("HTTP/1.0 302 Found\r\nLocation: /a HTTP/1.0\r\n\r\n")}}, "Invalid location in response"},
      {{{Send("HTTP/1.0 302 Found\r\nLocation: \r\n\r\n")}}, "Invalid location in response"},
      {{{Send("HTTP/1.0 302 Found\r\nLocation:\r\n\r\n")}}, "Invalid location in response"},
      // Header bounds, generous for real servers.
      {{{Send(Lines("HTTP/1.0 200 OK", "X: y", 1000))}}, "Too many response header lines (more than 1000)"},
      {{{Send(Lines("HTTP/1.0 200 OK", "X: " + std::string(8000, 'x'), 40))}},
       "Response header too long (more than 262144 bytes)"},
      {{{Send(HeaderOfBytes(kMaxResponseHeaderBytes + 1))}}, "Response header too long (more than 262144 bytes)"},
  };
  for (const Case& c : cases) {
    ScriptedServer server(c.scripts);
    HttpClient http;
    const Outcome outcome = Fetch(http, server.Url());
    EXPECT_TRUE(outcome.raised) << c.reason;
    EXPECT_EQ(outcome.code, kLocalFailureStatus);
    EXPECT_EQ(outcome.message, c.reason);
    EXPECT_LE(http.HeaderLines().size(), static_cast<std::size_t>(kMaxResponseHeaderLines));
  }
}

// Each bound admits what reaches it exactly; one more fails (the cases above).
TEST(HttpResponse, AnswersAtTheBoundsStand) {
  std::vector<httptest::Script> chain(kMaxRelocations, {Send("HTTP/1.0 302 Found\r\nLocation: /again\r\n\r\n")});
  chain.push_back({Send("HTTP/1.0 200 OK\r\n\r\nbody")});
  const std::vector<httptest::Script> cases[] = {
      chain,
      {{Send(Lines("HTTP/1.0 200 OK", "X: y", kMaxResponseHeaderLines - 2) + "\r\nbody")}},
      {{Send(HeaderOfBytes(kMaxResponseHeaderBytes) + "body")}},
      {{Send("HTTP/1.0 200 OK\r\nX: " + std::string(8186, 'x') + "\r\n\r\nbody")}},  // a line of 8191 bytes
  };
  for (const auto& scripts : cases) {
    ScriptedServer server(scripts);
    HttpClient http;
    const Outcome outcome = Fetch(http, server.Url());
    EXPECT_EQ(outcome.message, "");
    EXPECT_EQ(outcome.body, "body");
  }
}

TEST(HttpResponse, AReceiveStreamThatRefusesEndsTheRequest) {
  ScriptedServer server({{Send("HTTP/1.0 200 OK\r\n\r\n"), Send(std::string(5000, 'a')), Pause(50),
                          Send(std::string(5000, 'b')), Hold()}});
  HttpClient http;
  MemoryStream small(6000);
  http.URL = server.Url();
  http.ReceiveStream = &small;
  try {
    http.Get();
    FAIL();
  } catch (const HttpError& e) {
    EXPECT_EQ(e.Code, kLocalFailureStatus);
    EXPECT_TRUE(std::string(e.what()).starts_with("Cannot store the document: ")) << e.what();
  }
  EXPECT_EQ(http.ClientState(), hsIdle);
}

TEST(HttpResponse, TimeLimitEndsAStalledConnectionLikeAFailedOne) {
  ScriptedServer server({{Send("HTTP/1.0 200 OK\r\n"), Hold()}});
  HttpClient http;
  http.TimeLimit = 1;
  std::uint16_t doneError = 0;
  http.OnRequestDone = [&](HttpClient*, HttpRequestKind, std::uint16_t e) { doneError = e; };
  const Outcome outcome = Fetch(http, server.Url());
  EXPECT_TRUE(outcome.raised);
  EXPECT_EQ(outcome.code, 404);
  EXPECT_EQ(outcome.message, "Connection timed out (Error #10060)");
  win::PumpMessages();
  EXPECT_EQ(doneError, 10060);
}
