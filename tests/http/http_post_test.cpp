// SPDX-License-Identifier: MIT
// POST bodies against servers that do not take them as expected: early answers, slow readers.

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "http/http_client.h"
#include "scripted_server.h"

using httptest::Pause;
using httptest::Read;
using httptest::ScriptedServer;
using httptest::Send;

namespace {

struct PostOutcome {
  std::string raised;  // the message of a raised exception of any type, empty when none
  std::string body;
};

PostOutcome PostTo(HttpClient& http, const std::string& url, std::size_t bodyBytes) {
  MemoryStream post, body;
  post.WriteString(std::string(bodyBytes, 'p'));
  post.Seek(0);
  http.PostStream = &post;
  http.ReceiveStream = &body;
  http.URL = url;
  PostOutcome outcome;
  try {
    http.Post();
  } catch (const std::exception& e) {
    outcome.raised = e.what();
  }
  http.PostStream = http.ReceiveStream = nullptr;
  outcome.body = body.Bytes();
  return outcome;
}

}  // namespace

// The server never reads the body: it answers and closes, so the system resets the connection.
// With a body larger than the system's buffers the reset meets the client while it sends; with a
// busy client the answer and the reset wait together until it looks again.
TEST(HttpPost, EarlyAnswerWhileTheBodyIsStillGoingOutIsTheResult) {
  struct Case {
    std::size_t mib;
    bool busy;
  };
  for (const Case c : {Case{16, false}, Case{16, true}, Case{4, false}}) {
    ScriptedServer server({{Pause(200), Send("HTTP/1.0 200 OK\r\n\r\nearly answer")}}, false);
    HttpClient http;
    std::int64_t sentAtEnd = -1;
    http.OnStateChange = [&](HttpClient* s) {
      if (s->ClientState() == hsIdle) sentAtEnd = s->SentCount();
    };
    bool slept = !c.busy;
    http.OnSendData = [&](HttpClient* s, const char*, std::int32_t) {
      if (slept || s->SentCount() < (1 << 20)) return;
      slept = true;
      std::this_thread::sleep_for(std::chrono::milliseconds(400));
    };
    const PostOutcome outcome = PostTo(http, server.Url("/upload"), c.mib << 20);
    const std::string which = std::to_string(c.mib) + (c.busy ? " MiB, busy" : " MiB");
    EXPECT_EQ(outcome.raised, "") << which;
    EXPECT_EQ(http.StatusCode(), 200) << which;
    EXPECT_EQ(outcome.body, "early answer") << which;
    EXPECT_EQ(http.ClientState(), hsIdle);
    win::PumpMessages();
    EXPECT_EQ(http.SentCount(), sentAtEnd) << which << ": nothing more after the end";
  }
}

// A server that takes the body slowly: the rest of it waits in the system's buffers and no event
// comes for longer than the limit, but bytes keep moving.
TEST(HttpPost, SlowReaderIsNoStalledServer) {
  constexpr std::size_t kBody = 2 << 20;
  httptest::Script slow;
  for (std::size_t taken = 0; taken < kBody + 4096; taken += 64 * 1024) {
    slow.push_back(Read(64 * 1024));
    slow.push_back(Pause(50));
  }
  slow.push_back(Send("HTTP/1.0 200 OK\r\n\r\ntaken"));
  ScriptedServer server({slow}, false);
  server.SetReceiveBuffer(32 * 1024);
  HttpClient http;
  http.TimeLimit = 1;
  const PostOutcome outcome = PostTo(http, server.Url("/upload"), kBody);
  EXPECT_EQ(outcome.raised, "");
  EXPECT_EQ(outcome.body, "taken");
}
