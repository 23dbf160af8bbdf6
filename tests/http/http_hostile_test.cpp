// SPDX-License-Identifier: MIT
// Servers that try to hold the client or pass off a bad answer: floods of header lines, a drip
// that never ends, answers cut short.

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>

#include "http/http_client.h"
#include "scripted_server.h"

using httptest::Pause;
using httptest::ScriptedServer;
using httptest::Send;
using httptest::Step;

namespace {

struct Outcome {
  std::string raised;  // the message of the HttpError, empty when the call returned
  std::string body;
};

Outcome Fetch(HttpClient& http, const std::string& url) {
  MemoryStream body;
  http.URL = url;
  http.ReceiveStream = &body;
  Outcome outcome;
  try {
    http.Get();
  } catch (const HttpError& e) {
    outcome.raised = e.what();
    EXPECT_EQ(e.Code, kLocalFailureStatus);
  }
  http.ReceiveStream = nullptr;
  outcome.body = body.Bytes();
  EXPECT_EQ(http.ClientState(), hsIdle);
  return outcome;
}

long ResidentKib() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.starts_with("VmRSS:")) return std::stol(line.substr(6));
  return 0;
}

}  // namespace

// 10 MB of five-byte header lines once cost 63 MB that stayed. The bound is a generous margin.
TEST(HttpHostile, AHeaderFloodCostsLittleMemory) {
  std::string lines;
  for (int i = 0; i < 1000; ++i) lines += "a:b\r\n";
  std::string flood = "HTTP/1.0 200 OK\r\n";
  while (flood.size() < 10'000'000) flood += lines;
  ScriptedServer server({{Send(std::move(flood))}});
  HttpClient http;
  const long before = ResidentKib();
  const Outcome outcome = Fetch(http, server.Url());
  EXPECT_EQ(outcome.raised, "Too many response header lines (more than 1000)");
  EXPECT_TRUE(http.HeaderLines().empty());
  EXPECT_LT(ResidentKib() - before, 16 * 1024);
}

// One byte every 100 ms never trips the inactivity limit; the whole request has a limit too.
TEST(HttpHostile, ADripThatNeverEndsMeetsTheTotalLimit) {
  httptest::Script drip = {Send("HTTP/1.0 200 OK\r\n\r\n")};
  for (int i = 0; i < 50; ++i) {
    drip.push_back(Send("x"));
    drip.push_back(Pause(100));
  }
  ScriptedServer server({drip});
  HttpClient http;
  http.TimeLimit = 1;
  http.TotalTimeLimit = 1;
  const auto start = std::chrono::steady_clock::now();
  const Outcome outcome = Fetch(http, server.Url());
  EXPECT_EQ(outcome.raised, "Request took too long (more than 1 seconds)");
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(4));  // the drip lasts 5
  EXPECT_FALSE(outcome.body.empty());
}

TEST(HttpHostile, AnAnswerCutShortIsNoAnswer) {
  const Step reset{Step::Reset, {}, 0};
  struct Case {
    httptest::Script script;
    std::string raised, body;
  };
  const Case cases[] = {
      {{Send("HTTP/1.0 200 OK\r\nContent-Length: 100\r\n\r\n" + std::string(50, 'h'))},
       "Connection closed before the end of the document (50 of 100 bytes)", ""},
      {{Send("HTTP/1.0 200 OK\r\ncontent-length:  7 \r\n\r\nshort")},
       "Connection closed before the end of the document (5 of 7 bytes)", ""},
      {{Send("HTTP/1.0 200 OK\r\n\r\n<html>You have 2 new"), Pause(20), reset},
       "Connection reset by peer (Error #10054)", ""},
      {{Send("HTTP/1.0 200 OK\r\nContent-Length: 100\r\n\r\nhalf"), Pause(20), reset},
       "Connection reset by peer (Error #10054)", ""},
      {{Send("HTTP/1.0 200 OK\r\nX: y"), Pause(20), reset}, "Connection reset by peer (Error #10054)", ""},
      // Whole answers stand: the announced length arrived, or the status carries no body, or
      // more came than announced (the body ends with the connection).
      {{Send("HTTP/1.0 200 OK\r\nContent-Length: 5\r\n\r\nwhole"), Pause(20), reset}, "", "whole"},
      {{Send("HTTP/1.0 204 No Content\r\nContent-Length: 5\r\n\r\n")}, "", ""},
      {{Send("HTTP/1.0 200 OK\r\nContent-Length: 3\r\n\r\nlonger")}, "", "longer"},
      {{Send("HTTP/1.0 200 OK\r\nContent-Length: many\r\n\r\nno length")}, "", "no length"},
  };
  for (const Case& c : cases) {
    ScriptedServer server({c.script});
    HttpClient http;
    const Outcome outcome = Fetch(http, server.Url());
    EXPECT_EQ(outcome.raised, c.raised) << c.script[0].bytes;
    if (c.raised.empty()) {
      EXPECT_EQ(outcome.body, c.body) << c.script[0].bytes;
    }
  }
}
