// SPDX-License-Identifier: MIT
#pragma once
// One client of the webmail program on its own socket component: the request goes into a
// Conversation, the answer goes out with the fault modes' timing, and the connection ends
// gracefully, so that the client always gets the whole answer.

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "net/async_socket.h"
#include "platform/message_window.h"
#include "webmail/http/conversation.h"
#include "webmail/http/request_handler.h"
#include "webmail/http/server_options.h"

namespace webmail {

class ClientConnection : private win::MessageReceiver {
 public:
  // Takes over `handle`, an accepted connection. `over` runs once, from inside an event of the
  // connection, when it has closed: the owner destroys the connection later, never in that call.
  // The connection is closed when it breaks `limits` (request time, idle time).
  ClientConnection(RequestHandler& handler, const ConnectionLimits& limits, ws::SOCKET handle,
                   std::function<void()> over);
  ~ClientConnection();
  ClientConnection(const ClientConnection&) = delete;
  ClientConnection& operator=(const ClientConnection&) = delete;

 private:
  enum class Phase { Reading, Waiting, Delaying, Sending, Draining, Holding, Over };

  void WindowProc(win::UINT message, win::WPARAM wParam, win::LPARAM lParam) override;
  void DataAvailable();
  void DataSent();
  void SessionClosed();
  void Take(Conversation::Step step);
  void StartSending();
  void SendPiece(std::size_t max);
  void DripTick();
  void FinishAnswer();
  void Moved();
  void LimitReached(const char* what, std::chrono::milliseconds limit);
  void Guarded(const std::function<void()>& step);
  bool Dripping() const { return handler_.Faults().dripBytesPerSecond > 0; }

  RequestHandler& handler_;
  const ConnectionLimits limits_;
  Conversation conversation_;
  std::function<void()> over_;
  win::HWND window_;  // the timers of the delay, the drip and the grace before the close
  AsyncSocket socket_;
  Phase phase_ = Phase::Reading;
  bool sendPending_ = false;  // bytes handed to Send that OnDataSent has not yet confirmed
  std::uint32_t dripStart_ = 0;
  std::uint64_t answerSent_ = 0;  // bytes of the answer handed to the socket
};

// One line on stderr; a CR LF inside `text` becomes ": ", other line breaks spaces.
void LogLine(std::string_view text);

}  // namespace webmail
