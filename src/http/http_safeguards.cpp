// SPDX-License-Identifier: MIT
// What keeps a slow, broken or hostile server from holding the client or passing off a bad
// answer: the time limits, the bounds of the response header, and the completeness test that
// runs when the connection ends.

#include <algorithm>
#include <charconv>
#include <climits>

#include "http/http_client.h"
#include "net/socket_errors.h"

namespace {

win::UINT Milliseconds(int seconds) { return static_cast<win::UINT>(std::min(seconds, INT_MAX / 1000)) * 1000; }

// Statuses whose answers carry no body whatever their header says.
bool CarriesNoBody(std::int32_t status) { return (status >= 100 && status < 200) || status == 204 || status == 304; }

}  // namespace

std::string HttpClient::SocketErrorText(int Code) {
  return SocketErrorDesc(Code) + " (Error #" + std::to_string(Code) + ")";
}

// While the request goes out, the bytes the peer has not taken are noted, so that the limit
// can tell a slow reader from a dead one.
void HttpClient::ArmTimeLimit() {
  if (TimeLimit <= 0) return;
  win::SetTimer(NotifyWindow, kTimeLimitTimer, Milliseconds(TimeLimit));
  TimeLimitBacklog = Connected && FState == hsAwaitingHeader ? FSocket->PendingOutput() : -1;
}

void HttpClient::DisarmTimeLimit() { win::KillTimer(NotifyWindow, kTimeLimitTimer); }

void HttpClient::ArmTotalTimeLimit() {
  if (TotalTimeLimit > 0) win::SetTimer(NotifyWindow, kTotalTimeLimitTimer, Milliseconds(TotalTimeLimit));
}

void HttpClient::StopTimers() {
  DisarmTimeLimit();
  win::KillTimer(NotifyWindow, kTotalTimeLimitTimer);
}

// A request body sitting in the system's buffers moves without any event: as long as the peer
// keeps taking bytes, the period starts again (the timer is periodic).
void HttpClient::TimeLimitExpired() {
  if (FState != hsIdle && FState != hsAborting && Connected && TimeLimitBacklog > 0) {
    const std::int32_t backlog = FSocket->PendingOutput();
    if (backlog >= 0 && backlog < TimeLimitBacklog) {
      TimeLimitBacklog = backlog;
      return;
    }
  }
  DisarmTimeLimit();
  if (FState != hsIdle && FState != hsAborting) StopRequest(SocketErrorText(ws::WSAETIMEDOUT), ws::WSAETIMEDOUT);
}

void HttpClient::TotalTimeLimitExpired() {
  StopTimers();
  if (FState != hsIdle && FState != hsAborting)
    StopRequest("Request took too long (more than " + std::to_string(TotalTimeLimit) + " seconds)", ws::WSAETIMEDOUT);
}

// Counts one received header line of `bytes` bytes (line end included). Past a bound the request
// fails and the lines kept so far are released.
bool HttpClient::CountHeaderLine(std::size_t bytes) {
  ResponseHeaderBytes += bytes;
  ++ResponseHeaderLines;
  std::string reason;
  if (ResponseHeaderLines > kMaxResponseHeaderLines) {
    reason = "Too many response header lines (more than " + std::to_string(kMaxResponseHeaderLines) + ")";
  } else if (ResponseHeaderBytes > kMaxResponseHeaderBytes) {
    reason = "Response header too long (more than " + std::to_string(kMaxResponseHeaderBytes) + " bytes)";
  } else {
    return true;
  }
  std::vector<std::string>().swap(FHeaderLines);
  FailRequest(reason);
  return false;
}

// Only a plain decimal length counts; anything else leaves the body to end with the connection.
void HttpClient::NoteContentLength(const std::string& Value) {
  const std::size_t start = Value.find_first_not_of(" \t");
  const std::size_t end = Value.find_last_not_of(" \t");
  if (start == std::string::npos) return;
  std::int64_t length = 0;
  const auto [stop, error] = std::from_chars(Value.data() + start, Value.data() + end + 1, length);
  if (error == std::errc() && stop == Value.data() + end + 1) ContentLength = length;
}

// The end of the connection is the end of the request (a relocation binds its own handler).
void HttpClient::EndRequestOnClose() {
  FSocket->OnSessionClosed = [this](AsyncSocketBase*, std::uint16_t Error) { SocketSessionClosed(Error); };
}

void HttpClient::SocketSessionClosed(std::uint16_t Error) {
  if (Error == ws::WSAECONNRESET) ConnectionReset = true;
  EndRequest();
}

// A server that stops reading and closes while the request body still goes out makes the system
// reset the connection; its answer stands then.
bool HttpClient::RequestStillGoingOut() { return Sending || FSocket->PendingOutput() > 0; }

// Runs when the connection of an answered request ends: half a page must not pass for the page.
// A reset fails the request unless the announced length arrived whole; a clean close fails it
// when less than the announced length arrived. A relocated request whose connection ends before
// its status line fails too: the status of the answer that relocated it is not this one's.
void HttpClient::CheckResponseComplete() {
  if ((FState != hsAwaitingHeader && FState != hsReceivingBody) || FStatusCode >= 400) return;
  const bool bodyExpected = RequestKind != hrHead && !CarriesNoBody(FStatusCode);
  const bool shortBody = bodyExpected && ContentLength >= 0 && FReceivedCount < ContentLength;
  const bool knownWhole = ContentLength >= 0 && !shortBody && FState == hsReceivingBody;
  const bool noRelocatedAnswer = Relocations > 0 && !StatusLineReceived;
  if ((ConnectionReset && !knownWhole && !RequestStillGoingOut()) || noRelocatedAnswer) {
    FStatusCode = kLocalFailureStatus;
    FReasonPhrase = SocketErrorText(ws::WSAECONNRESET);
  } else if (shortBody) {
    FStatusCode = kLocalFailureStatus;
    FReasonPhrase = "Connection closed before the end of the document (" + std::to_string(FReceivedCount) + " of " +
                    std::to_string(ContentLength) + " bytes)";
  }
}
