// SPDX-License-Identifier: MIT
#pragma once
// One client connection, without the socket: the transport feeds it what arrives and sends
// what it answers, then closes. One request per connection, as in HTTP/1.0.
//
//   Conversation c(handler);
//   on data:   step = c.Receive(bytes)      on peer close: step = c.ReceiveEnd()
//   Answer:    print c.LogLine(); after handler.Faults().delay, send c.Answer().Next(n)
//              (n per tick when dripping) until c.Answer().Finished(), then close
//   HoldOpen:  print c.LogLine(); keep the connection open until the client closes it
//   Close:     close without a word

#include <optional>
#include <string>
#include <string_view>

#include "webmail/http/reply_stream.h"
#include "webmail/http/request_handler.h"
#include "webmail/http/request_parser.h"

namespace webmail {

class Conversation {
 public:
  enum class Step { ReadMore, Answer, HoldOpen, Close };

  explicit Conversation(RequestHandler& handler) : handler_(handler) {}

  Step Receive(std::string_view bytes);

  // The client closed its side. A request cut short still gets its 400, which a client that
  // only shut down its sending side can read.
  Step ReceiveEnd();

  ReplyStream& Answer() { return *answer_; }  // after Step::Answer

  // "METHOD TARGET STATUS", set together with Answer or HoldOpen.
  const std::string& LogLine() const { return logLine_; }

 private:
  Step Decide(RequestParser::Status status);

  RequestHandler& handler_;
  RequestParser parser_;
  std::optional<ReplyStream> answer_;
  std::string logLine_;
  Step step_ = Step::ReadMore;
};

}  // namespace webmail
