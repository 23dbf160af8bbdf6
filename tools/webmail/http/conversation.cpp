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

Conversation::Step Conversation::Decide(RequestParser::Status status) {
  if (status == RequestParser::Status::NeedMore) return step_;
  const HttpRequest& request = parser_.Request();
  const bool malformed = status == RequestParser::Status::Malformed;
  if (handler_.Faults().neverAnswer) {
    logLine_ = RequestLabel(request) + " never answered";
    return step_ = Step::HoldOpen;
  }
  const Reply reply = malformed ? handler_.AnswerMalformed(parser_.Error()) : handler_.Answer(request);
  logLine_ = RequestLabel(request) + " " + std::to_string(reply.status);
  if (malformed) logLine_ += " (" + parser_.Error() + ")";
  if (!reply.logNote.empty()) logLine_ += " (" + reply.logNote + ")";
  answer_.emplace(reply, handler_.Faults().closeAfterBytes);
  return step_ = Step::Answer;
}

}  // namespace webmail
