// SPDX-License-Identifier: MIT
// Abort at every stage of a request, and a second request while one runs.

#include <gtest/gtest.h>

#include "http/http_client.h"
#include "scripted_server.h"

using httptest::Hold;
using httptest::Pause;
using httptest::ScriptedServer;
using httptest::Send;

namespace {

void PumpUntilIdle(HttpClient& http) {
  while (http.ClientState() != hsIdle) win::WaitMessages();
  win::PumpMessages();
}

void ExpectAborted(HttpClient& http) {
  EXPECT_EQ(http.ClientState(), hsIdle);
  EXPECT_EQ(http.StatusCode(), 404);
  EXPECT_EQ(http.ReasonPhrase(), "Connection aborted on request");
}

std::string GetRaising(HttpClient& http) {
  try {
    http.Get();
  } catch (const HttpError& e) {
    return std::to_string(e.Code) + " " + e.what();
  }
  return "returned";
}

}  // namespace

TEST(HttpAbort, DuringLookupAndDuringConnect) {
  ScriptedServer server(std::vector<httptest::Script>{});
  for (const std::string host : {"localhost", "127.0.0.1"}) {
    HttpClient http;
    std::vector<std::uint16_t> done;
    http.OnRequestDone = [&](HttpClient*, HttpRequestKind, std::uint16_t e) { done.push_back(e); };
    http.URL = "http://" + host + ":" + std::to_string(server.Port()) + "/";
    http.StartRequest(hrGet);
    EXPECT_EQ(http.ClientState(), host == "localhost" ? hsResolving : hsConnecting);
    http.Abort();
    PumpUntilIdle(http);
    ExpectAborted(http);
    EXPECT_EQ(done, std::vector<std::uint16_t>{3});
    http.Abort();  // idle and closed: nothing
    ExpectAborted(http);
  }
}

TEST(HttpAbort, DuringHeaderAndDuringBody) {
  ScriptedServer server({{Send("HTTP/1.0 200 OK\r\n"), Hold()},
                         {Send("HTTP/1.0 200 OK\r\n\r\nfirst part"), Pause(100), Send("never"), Hold()}});
  HttpClient http;
  http.URL = server.Url();
  http.OnHeaderData = [&](HttpClient* s) { s->Abort(); };
  EXPECT_EQ(GetRaising(http), "404 Connection aborted on request");

  http.OnHeaderData = nullptr;
  MemoryStream body;
  http.ReceiveStream = &body;
  bool docEnd = false;
  http.OnDocData = [&](HttpClient* s, const char*, std::int32_t) { s->Abort(); };
  http.OnDocEnd = [&](HttpClient*) { docEnd = true; };
  EXPECT_EQ(GetRaising(http), "404 Connection aborted on request");
  EXPECT_TRUE(docEnd);
  EXPECT_EQ(body.Bytes(), "first part");
}

TEST(HttpAbort, AbortWhileARelocationClosesStopsTheChain) {
  ScriptedServer server({{Send("HTTP/1.0 302 Found\r\nLocation: /next\r\n\r\n")}, {Send("HTTP/1.0 200 OK\r\n\r\n")}});
  HttpClient http;
  http.URL = server.Url();
  http.OnLocationChange = [&](HttpClient* s) { s->Abort(); };
  EXPECT_EQ(GetRaising(http), "404 Connection aborted on request");
  EXPECT_EQ(server.Connections(), 1);
}

TEST(HttpAbort, SecondRequestWhileOneRunsIsRefusedAndTheFirstCompletes) {
  ScriptedServer server({{Send("HTTP/1.0 200 OK\r\n\r\nabc"), Pause(50), Send("def")}});
  HttpClient http;
  MemoryStream body;
  http.URL = server.Url("/one");
  http.ReceiveStream = &body;
  std::string nested;
  http.OnDocData = [&](HttpClient* s, const char*, std::int32_t) {
    if (nested.empty()) nested = GetRaising(*s);
  };
  http.Get();
  EXPECT_EQ(nested, "1 HTTP component is busy");
  EXPECT_EQ(body.Bytes(), "abcdef");
  EXPECT_EQ(http.URL, server.Url("/one"));
}

// Whatever a handler raises while Get waits, the caller sees the request fail with its message,
// as an HttpError, and the client is idle.
TEST(HttpAbort, AHandlerThatRaisesDuringTheWaitFailsTheRequest) {
  ScriptedServer server({{Hold()}});
  HttpClient http;
  http.URL = server.Url();
  http.OnStateChange = [](HttpClient* s) {
    if (s->ClientState() == hsAwaitingHeader) throw std::runtime_error("handler failed");
  };
  EXPECT_EQ(GetRaising(http), "404 handler failed");
  EXPECT_EQ(http.ClientState(), hsIdle);
}

TEST(HttpAbort, FailedLookupAndRefusedConnection) {
  HttpClient http;
  http.URL = "http://no-such-host.invalid/";
  EXPECT_EQ(GetRaising(http), "404 can't resolve hostname to IP address");
  http.URL = "http://[::1]:8080/";
  EXPECT_EQ(GetRaising(http), "404 IPv6 addresses are not supported");
  std::uint16_t closedPort = 0;
  {
    ScriptedServer gone(std::vector<httptest::Script>{});
    closedPort = gone.Port();
  }
  http.URL = "http://127.0.0.1:" + std::to_string(closedPort) + "/";
  EXPECT_EQ(GetRaising(http), "404 Connection refused (Error #10061)");
}
