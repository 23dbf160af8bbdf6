// SPDX-License-Identifier: MIT
// A server that answers with random bytes and random header shapes, a few thousand times:
// the client always ends the request, raises nothing but HttpError, and is idle after.
// Relocations only ever point back to this loopback server or to a refused loopback port.

#include <gtest/gtest.h>

#include <random>

#include "http/http_client.h"
#include "scripted_server.h"

namespace {

std::string RandomBytes(std::mt19937& rng, int maxLength) {
  std::string s(std::uniform_int_distribution<int>(0, maxLength)(rng), '\0');
  for (char& c : s) c = static_cast<char>(std::uniform_int_distribution<int>(0, 255)(rng));
  return s;
}

std::string RandomLine(std::mt19937& rng) {
  const std::string shapes[] = {
      "HTTP/1.0 200 OK", "HTTP/1.1 404 Not Found", "HTTP/1.0 500", "HTTP/1.0 ab", "HTTP/1.0", "HTTP/1.1 302 Found",
      "Location: /again", "Location: /x?y", "Location:", "Location: //", "location: http://127.0.0.1:1/",
      "Content-Length: 5", "X: " + std::string(9000, 'h'), "no colon", ":", std::string(1, '\0') + ": nul",
  };
  const int pick = std::uniform_int_distribution<int>(0, std::size(shapes))(rng);
  return pick < static_cast<int>(std::size(shapes)) ? shapes[pick] : RandomBytes(rng, 40);
}

httptest::Script RandomAnswer(std::mt19937& rng) {
  std::string answer;
  const int lines = std::uniform_int_distribution<int>(0, 6)(rng);
  for (int i = 0; i < lines; ++i) {
    const char* const endings[] = {"\r\n", "\n", "\r", ""};
    answer += RandomLine(rng) + endings[std::uniform_int_distribution<int>(0, 3)(rng)];
  }
  if (rng() % 2) answer += "\r\n" + RandomBytes(rng, 3000);
  httptest::Script script;
  const std::size_t cut = std::uniform_int_distribution<std::size_t>(0, answer.size())(rng);
  script.push_back(httptest::Send(answer.substr(0, cut)));
  if (rng() % 4 == 0) script.push_back(httptest::Pause(1));
  script.push_back(httptest::Send(answer.substr(cut)));
  if (rng() % 8 == 0) script.push_back({httptest::Step::Reset, {}, 0});
  return script;
}

}  // namespace

TEST(HttpFuzz, RandomAnswersAlwaysEndTheRequest) {
  constexpr int kRequests = 2000;
  std::mt19937 rng(4242);
  std::vector<httptest::Script> scripts;
  for (int i = 0; i < kRequests * 2; ++i) scripts.push_back(RandomAnswer(rng));  // relocations take more
  httptest::ScriptedServer server(std::move(scripts));
  HttpClient http;
  http.TimeLimit = 5;
  MemoryStream body(1 << 20);
  http.ReceiveStream = &body;
  int raised = 0;
  for (int i = 0; i < kRequests; ++i) {
    http.URL = server.Url("/r" + std::to_string(i));
    try {
      http.Get();
    } catch (const HttpError&) {
      ++raised;
    }
    ASSERT_EQ(http.ClientState(), hsIdle) << i;
    body.Seek(0);
  }
  EXPECT_GT(raised, kRequests / 10);
  EXPECT_LT(raised, kRequests);
}
