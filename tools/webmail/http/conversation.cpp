// SPDX-License-Identifier: MIT
#include "webmail/http/conversation.h"

namespace webmail {
namespace {

// A request whose line could not be read shows as "- -".
std::string RequestLabel(const HttpRequest& request) {
  if (request.method.empty()) return "- -";
  return request.method + " " + request.target;
}

}  // namespace

Conversation::Step Conversation::Receive(std::string_view bytes) {
  if (step_ != Step::ReadMore) return step_;
  return Decide(parser_.Feed(bytes));
}

Conversation::Step Conversation::ReceiveEnd() {
  if (step_ == Step::HoldOpen) return step_ = Step::Close;
  if (step_ != Step::ReadMore) return step_;
  if (!parser_.Started()) return step_ = Step::Close;
  return Decide(parser_.FeedEnd());
}

Conversation::~Conversation() { *self_ = nullptr; }

Conversation::Step Conversation::Decide(RequestParser::Status status) {
  if (status == RequestParser::Status::NeedMore) return step_;
  const HttpRequest& request = parser_.Request();
  if (handler_.Faults().neverAnswer) {
    logLine_ = RequestLabel(request) + " never answered";
    return step_ = Step::HoldOpen;
  }
  if (status == RequestParser::Status::Malformed) {
    Take(handler_.AnswerMalformed(parser_.Error()), RequestLabel(request));
    logLine_ += " (" + parser_.Error() + ")";
    return step_;
  }
  step_ = Step::Wait;
  handler_.Answer(request, [self = self_, label = RequestLabel(request)](Reply reply) {
    Conversation* conversation = *self;
    if (!conversation) return;  // the client has gone
    const bool late = conversation->step_ == Step::Wait && conversation->answered_;
    conversation->Take(reply, label);
    if (late) conversation->answered_();
  });
  return step_;
}

void Conversation::Take(const Reply& reply, const std::string& label) {
  logLine_ = label + " " + std::to_string(reply.status);
  if (!reply.logNote.empty()) logLine_ += " (" + reply.logNote + ")";
  answer_.emplace(reply, handler_.Faults().closeAfterBytes);
  step_ = Step::Answer;
}

}  // namespace webmail
