// SPDX-License-Identifier: MIT
#include "webmail/http/request_parser.h"

#include <gtest/gtest.h>

#include <string>

#include "notifier_steps.h"

using webmail::RequestParser;
using Status = RequestParser::Status;

namespace {

const std::string kLogin = notifier::LoginRequest("alice", "wonderland");

}  // namespace

TEST(RequestParser, ReadsARequestWhetherItArrivesWholeOrByteByByte) {
  RequestParser whole;
  ASSERT_EQ(whole.Feed(kLogin), Status::Complete);
  EXPECT_EQ(whole.Request().method, "POST");
  EXPECT_EQ(whole.Request().target, "http://192.0.2.10/cgi-bin/start");
  EXPECT_EQ(whole.Request().version, "HTTP/1.0");
  EXPECT_EQ(whole.Request().body, notifier::LoginBody("alice", "wonderland"));
  ASSERT_NE(whole.Request().Header("content-length"), nullptr);
  EXPECT_EQ(*whole.Request().Header("CONTENT-LENGTH"), std::to_string(whole.Request().body.size()));

  RequestParser split;
  for (std::size_t i = 0; i + 1 < kLogin.size(); ++i) ASSERT_EQ(split.Feed(kLogin.substr(i, 1)), Status::NeedMore) << i;
  ASSERT_EQ(split.Feed(kLogin.substr(kLogin.size() - 1)), Status::Complete);
  EXPECT_EQ(split.Request().body, whole.Request().body);
  EXPECT_EQ(split.Request().headers, whole.Request().headers);

  // Bare LF line ends, trimmed header values, and bytes after the request left alone.
  RequestParser lf;
  EXPECT_EQ(lf.Feed("GET /a HTTP/1.1\nHost:   x  \n\nGET /b HTTP/1.0\r\n\r\n"), Status::Complete);
  EXPECT_EQ(lf.Request().target, "/a");
  EXPECT_EQ(*lf.Request().Header("host"), "x");
  EXPECT_EQ(lf.Request().body, "");
}

TEST(RequestParser, RefusesGarbageAndBrokenHeaders) {
  for (const std::string& bad :
       {std::string("\x16\x03\x01\x02\x00\x01\x00\x01\xfc\x03\x03\n", 12),  // a TLS hello
        std::string("GET /\r\n\r\n"), std::string("GET  / HTTP/1.0\r\n\r\n"), std::string("get / http/1.0\r\n\r\n"),
        std::string("GET / HTTP/1.0 x\r\n\r\n"), std::string("GET /\xe9 HTTP/1.0\r\n\r\n"),
        std::string("G(T / HTTP/1.0\r\n\r\n"), std::string("\r\n"), std::string("GET / HTTP/1.0\r\nNoColon\r\n\r\n"),
        std::string("GET / HTTP/1.0\r\n: empty name\r\n\r\n"), std::string("GET / HTTP/1.0\r\nA B: c\r\n\r\n"),
        std::string("GET / HTTP/1.0\r\nA: b\r\n folded\r\n\r\n"), std::string("GET / HTTP/1.0\r\nA: b\rc\r\n\r\n"),
        std::string("GET / HTTP/1.0\r\nA: \0\r\n\r\n", 24)}) {
    RequestParser parser;
    EXPECT_EQ(parser.Feed(bad), Status::Malformed) << bad;
    EXPECT_FALSE(parser.Error().empty());
    EXPECT_EQ(parser.Feed("GET / HTTP/1.0\r\n\r\n"), Status::Malformed);  // no way back
  }
}

TEST(RequestParser, BoundsLinesHeadersAndBody) {
  const std::string longest(RequestParser::kMaxLineLength - 14, 'a');  // "GET /... HTTP/1.0" of 8192
  RequestParser fits;
  EXPECT_EQ(fits.Feed("GET /" + longest + " HTTP/1.0\r\n\r\n"), Status::Complete);

  // An over-long line is refused as soon as it is too long, without waiting for its end.
  RequestParser tooLong;
  EXPECT_EQ(tooLong.Feed("GET /" + longest + "a"), Status::NeedMore);
  EXPECT_EQ(tooLong.Feed(" HTTP/1.0"), Status::Malformed);
  RequestParser endless;
  EXPECT_EQ(endless.Feed("GET / HTTP/1.0\r\nX: " + std::string(20000, 'x')), Status::Malformed);
  EXPECT_NE(endless.Error().find("8192"), std::string::npos);

  std::string headers = "GET / HTTP/1.0\r\n";
  for (std::size_t i = 0; i < RequestParser::kMaxHeaderCount; ++i) headers += "X" + std::to_string(i) + ": v\r\n";
  RequestParser hundred;
  EXPECT_EQ(hundred.Feed(headers + "\r\n"), Status::Complete);
  RequestParser more;
  EXPECT_EQ(more.Feed(headers + "One: more\r\n\r\n"), Status::Malformed);

  RequestParser big;
  EXPECT_EQ(big.Feed("POST / HTTP/1.0\r\nContent-Length: 65537\r\n\r\n"), Status::Malformed);
}

TEST(RequestParser, BodyFramingNeedsOneClearContentLength) {
  for (const char* head : {"POST / HTTP/1.0\r\n\r\n", "POST / HTTP/1.0\r\nContent-Length: x\r\n\r\n",
                           "POST / HTTP/1.0\r\nContent-Length: -1\r\n\r\n",
                           "POST / HTTP/1.0\r\nContent-Length: 1\r\nContent-Length: 2\r\n\r\nab",
                           "POST / HTTP/1.0\r\nTransfer-Encoding: chunked\r\n\r\n1\r\na\r\n0\r\n\r\n"}) {
    RequestParser parser;
    EXPECT_EQ(parser.Feed(head), Status::Malformed) << head;
  }
  RequestParser agreeing;
  EXPECT_EQ(agreeing.Feed("POST / HTTP/1.0\r\nContent-Length: 2\r\nContent-length: 2\r\n\r\nabcd"), Status::Complete);
  EXPECT_EQ(agreeing.Request().body, "ab");
}

TEST(RequestParser, AConnectionClosedMidRequestIsMalformedButAnEmptyOneIsNot) {
  RequestParser nothing;
  EXPECT_EQ(nothing.FeedEnd(), Status::NeedMore);
  EXPECT_FALSE(nothing.Started());

  RequestParser midHeader;
  midHeader.Feed("GET / HTTP/1.0\r\nHost: x");
  EXPECT_EQ(midHeader.FeedEnd(), Status::Malformed);

  RequestParser shortBody;
  EXPECT_EQ(shortBody.Feed("POST / HTTP/1.0\r\nContent-Length: 20\r\n\r\nlogin"), Status::NeedMore);
  EXPECT_EQ(shortBody.FeedEnd(), Status::Malformed);
  EXPECT_EQ(shortBody.Error(), "the connection closed after 5 of 20 body bytes");

  RequestParser done;
  done.Feed("GET / HTTP/1.0\r\n\r\n");
  EXPECT_EQ(done.FeedEnd(), Status::Complete);
}

TEST(Conversation, MalformedOrCutShortRequestsGetA400AndEmptyConnectionsJustClose) {
  webmail::RequestHandler handler(webmail::DefaultAccounts(), std::nullopt, {});
  const notifier::Answer garbage = notifier::Exchange(handler, "hello there\r\n");
  EXPECT_EQ(garbage.status, 400);
  EXPECT_EQ(garbage.logLine, "- - 400 (the request line is not METHOD TARGET HTTP/x.y)");
  EXPECT_NE(garbage.body.find("METHOD TARGET"), std::string::npos);

  const std::string cut = kLogin.substr(0, kLogin.size() - 3);
  const notifier::Answer shortBody = notifier::Exchange(handler, cut);
  EXPECT_EQ(shortBody.status, 400);
  EXPECT_EQ(shortBody.logLine.rfind("POST http://192.0.2.10/cgi-bin/start 400 (the connection closed after", 0), 0u);
  EXPECT_EQ(handler.Service().SessionCount(), 0u);

  webmail::Conversation silent(handler);
  EXPECT_EQ(silent.ReceiveEnd(), webmail::Conversation::Step::Close);
  EXPECT_TRUE(silent.LogLine().empty());

  // The request in pieces of three bytes is the same request.
  EXPECT_EQ(notifier::Exchange(handler, kLogin, 3).status, 200);
  EXPECT_EQ(handler.Service().SessionCount(), 1u);
}
