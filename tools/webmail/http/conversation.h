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
//   Wait:      the answer comes later: c.WhenAnswered(f) runs f once it is there (Answer)
//   Close:     close without a word

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "webmail/http/reply_stream.h"
#include "webmail/http/request_handler.h"
#include "webmail/http/request_parser.h"

namespace webmail {

class Conversation {
 public:
  enum class Step { ReadMore, Answer, Wait, HoldOpen, Close };

  explicit Conversation(RequestHandler& handler) : handler_(handler) {}
  ~Conversation();
  Conversation(const Conversation&) = delete;
  Conversation& operator=(const Conversation&) = delete;

  Step Receive(std::string_view bytes);

  // The client closed its side. A request cut short still gets its 400, which a client that
  // only shut down its sending side can read.
  Step ReceiveEnd();

  ReplyStream& Answer() { return *answer_; }  // after Step::Answer

  // After Step::Wait: `answered` runs once the answer is there, from the event loop.
  void WhenAnswered(std::function<void()> answered) { answered_ = std::move(answered); }

  // "METHOD TARGET STATUS", set together with Answer or HoldOpen.
  const std::string& LogLine() const { return logLine_; }

 private:
  Step Decide(RequestParser::Status status);
  void Take(const Reply& reply, const std::string& label);

  RequestHandler& handler_;
  RequestParser parser_;
  std::optional<ReplyStream> answer_;
  std::string logLine_;
  Step step_ = Step::ReadMore;
  std::function<void()> answered_;
  // What a late answer finds: this conversation, or null once it has gone.
  std::shared_ptr<Conversation*> self_ = std::make_shared<Conversation*>(this);
};

}  // namespace webmail
