// SPDX-License-Identifier: MIT
#include "webmail/http/client_connection.h"

#include <algorithm>
#include <cstdio>

namespace webmail {
namespace {

constexpr std::size_t kPieceSize = 64 * 1024;  // bytes handed to the socket at a time
constexpr std::size_t kReadSize = 16 * 1024;
constexpr win::UINT_PTR kDelayTimer = 1;
constexpr win::UINT_PTR kDripTimer = 2;
constexpr win::UINT_PTR kGraceTimer = 3;
constexpr win::UINT_PTR kRequestTimer = 4;
constexpr win::UINT_PTR kIdleTimer = 5;
constexpr win::UINT kDripTickMs = 50;
// How long a client may take to close after the whole answer before the server closes.
constexpr win::UINT kGraceMs = 5000;

}  // namespace

// The socket's error texts put the text of the code on a second line; a log entry stays
// on one.
void LogLine(std::string_view text) {
  std::string line;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text.substr(i, 2) == "\r\n") {
      line += ": ";
      ++i;
    } else {
      line += text[i] == '\r' || text[i] == '\n' ? ' ' : text[i];
    }
  }
  line += '\n';
  std::fputs(line.c_str(), stderr);
}

ClientConnection::ClientConnection(RequestHandler& handler, const ConnectionLimits& limits, ws::SOCKET handle,
                                   std::function<void()> over)
    : handler_(handler),
      limits_(limits),
      conversation_(handler),
      over_(std::move(over)),
      window_(win::CreateMessageWindow(*this)) {
  // A reset on close could destroy an answer still in the kernel's buffer.
  socket_.LingerOnOff = wsLingerOff;
  socket_.OnDataAvailable = [this](AsyncSocketBase*, std::uint16_t) { Guarded([this] { DataAvailable(); }); };
  socket_.OnDataSent = [this](AsyncSocketBase*, std::uint16_t) { Guarded([this] { DataSent(); }); };
  socket_.OnSessionClosed = [this](AsyncSocketBase*, std::uint16_t) { Guarded([this] { SessionClosed(); }); };
  try {
    socket_.Dup(handle);
  } catch (...) {
    win::DestroyMessageWindow(window_);
    throw;
  }
  win::SetTimer(window_, kRequestTimer, static_cast<win::UINT>(limits_.request.count()));
  Moved();
}

// Bytes came in, or the client took some of the answer: the idle time starts again.
void ClientConnection::Moved() { win::SetTimer(window_, kIdleTimer, static_cast<win::UINT>(limits_.idle.count())); }

// A client that holds a connection without using it is let go, so that idle, half-sent and
// slow requests cannot pile up.
void ClientConnection::LimitReached(const char* what, std::chrono::milliseconds limit) {
  win::KillTimer(window_, kRequestTimer);
  win::KillTimer(window_, kIdleTimer);
  LogLine(std::string("webmail: connection closed: ") + what + " within " + std::to_string(limit.count()) + " ms");
  socket_.Abort();
  SessionClosed();
}

ClientConnection::~ClientConnection() { win::DestroyMessageWindow(window_); }

// A failure of the connection ends it, not the server.
void ClientConnection::Guarded(const std::function<void()>& step) {
  try {
    step();
  } catch (const std::exception& e) {
    LogLine(std::string("webmail: connection dropped: ") + e.what());
    try {
      socket_.Abort();
    } catch (const std::exception&) {
    }
    if (phase_ != Phase::Over) SessionClosed();
  }
}

void ClientConnection::WindowProc(win::UINT message, win::WPARAM wParam, win::LPARAM) {
  if (message != win::WM_TIMER) return;
  Guarded([this, wParam] {
    if (wParam == kDelayTimer) {
      win::KillTimer(window_, kDelayTimer);
      StartSending();
    } else if (wParam == kDripTimer) {
      DripTick();
    } else if (wParam == kGraceTimer) {
      socket_.Close();
    } else if (wParam == kRequestTimer) {
      LimitReached("no complete request", limits_.request);
    } else if (wParam == kIdleTimer) {
      LimitReached("nothing moved", limits_.idle);
    }
  });
}

// Every byte is read, also after the request: unread bytes would turn the close into a reset.
void ClientConnection::DataAvailable() {
  char buffer[kReadSize];
  const int n = socket_.Receive(buffer, sizeof buffer);
  if (n <= 0 || phase_ != Phase::Reading) return;
  Moved();
  Take(conversation_.Receive(std::string_view(buffer, static_cast<std::size_t>(n))));
}

// Once the request is complete, only the answer's progress counts: a held, delayed or awaited
// answer is the server's own doing (the mail store answers within its own time limit).
void ClientConnection::Take(Conversation::Step step) {
  if (step != Conversation::Step::ReadMore) {
    win::KillTimer(window_, kRequestTimer);
    win::KillTimer(window_, kIdleTimer);
  }
  switch (step) {
    case Conversation::Step::ReadMore:
      return;
    case Conversation::Step::Close:
      return socket_.Close();
    case Conversation::Step::Wait:
      phase_ = Phase::Waiting;
      conversation_.WhenAnswered([this] { Guarded([this] { Take(Conversation::Step::Answer); }); });
      return;
    case Conversation::Step::HoldOpen:
      LogLine(conversation_.LogLine());
      phase_ = Phase::Holding;
      return;
    case Conversation::Step::Answer:
      LogLine(conversation_.LogLine());
      phase_ = Phase::Delaying;
      if (handler_.Faults().delay.count() > 0) {
        win::SetTimer(window_, kDelayTimer, static_cast<win::UINT>(handler_.Faults().delay.count()));
      } else {
        StartSending();
      }
      return;
  }
}

void ClientConnection::StartSending() {
  phase_ = Phase::Sending;
  Moved();
  if (!Dripping()) return SendPiece(kPieceSize);
  dripStart_ = win::GetTickCount();
  win::SetTimer(window_, kDripTimer, kDripTickMs);
}

void ClientConnection::SendPiece(std::size_t max) {
  const std::string_view piece = conversation_.Answer().Next(max);
  answerSent_ += piece.size();
  sendPending_ = true;
  socket_.Send(piece.data(), static_cast<int>(piece.size()));
}

// Each piece follows the confirmation of the one before, so a client that reads slowly holds
// back the server instead of filling its memory.
void ClientConnection::DataSent() {
  sendPending_ = false;
  if (phase_ != Phase::Sending) return;
  Moved();
  if (conversation_.Answer().Finished()) return FinishAnswer();
  if (!Dripping()) SendPiece(kPieceSize);
}

// The bytes due by now at the drip rate, as far as the client keeps up.
void ClientConnection::DripTick() {
  if (sendPending_) return;
  const double elapsedMs = win::GetTickCount() - dripStart_;
  const auto due = static_cast<std::uint64_t>(static_cast<double>(handler_.Faults().dripBytesPerSecond) * elapsedMs / 1000);
  if (due > answerSent_) SendPiece(std::min<std::uint64_t>(due - answerSent_, kPieceSize));
}

// The end of the answer is a FIN after its last byte; the socket closes once the client has
// closed too, or after a grace period.
void ClientConnection::FinishAnswer() {
  phase_ = Phase::Draining;
  win::KillTimer(window_, kDripTimer);
  win::KillTimer(window_, kIdleTimer);
  socket_.Shutdown(ws::SD_SEND);
  win::SetTimer(window_, kGraceTimer, kGraceMs);
}

// The component closes right after this event. A client that only shut down its sending side
// still gets what the socket takes at once of an answer that is due: the 400 for a request it
// cut short, or the rest of a page.
void ClientConnection::SessionClosed() {
  if (phase_ == Phase::Over) return;
  const bool peerClosed = socket_.State() == wsConnected;
  if (peerClosed && phase_ == Phase::Reading) {
    const Conversation::Step step = conversation_.ReceiveEnd();
    if (step == Conversation::Step::Answer || step == Conversation::Step::HoldOpen) LogLine(conversation_.LogLine());
    if (step == Conversation::Step::Answer) phase_ = Phase::Sending;
  }
  if (peerClosed && (phase_ == Phase::Delaying || phase_ == Phase::Sending) && !conversation_.Answer().Finished()) {
    SendPiece(kPieceSize);
  }
  phase_ = Phase::Over;
  win::KillTimer(window_, kRequestTimer);
  win::KillTimer(window_, kIdleTimer);
  over_();
}

}  // namespace webmail
