// SPDX-License-Identifier: MIT
#pragma once
// The webmail program's listening socket on 127.0.0.1 and the connections it has accepted.

#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "net/async_socket.h"
#include "platform/message_window.h"
#include "webmail/http/client_connection.h"
#include "webmail/http/request_handler.h"
#include "webmail/http/server_options.h"

namespace webmail {

class WebmailServer : private win::MessageReceiver {
 public:
  // Listens on 127.0.0.1:port (0: a port of the system's choice). Throws SocketError.
  WebmailServer(RequestHandler& handler, std::uint16_t port, const ConnectionLimits& limits = {});
  ~WebmailServer();
  WebmailServer(const WebmailServer&) = delete;
  WebmailServer& operator=(const WebmailServer&) = delete;

  std::string Port() { return listener_.GetLocalPortText(); }

 private:
  void WindowProc(win::UINT message, win::WPARAM wParam, win::LPARAM lParam) override;
  void ClientWaiting();
  void AcceptClient();
  void PauseAccepting();
  void ResumeAccepting();

  RequestHandler& handler_;
  const ConnectionLimits limits_;
  // A client waits in the listen queue while the server is full or out of descriptors; no
  // accept is tried for it then, so the listener stays quiet instead of waking for it again.
  bool clientWaiting_ = false;
  bool outOfDescriptors_ = false;   // accepting paused for a moment
  bool descriptorsLogged_ = false;  // once until a client is taken on again
  bool fullLogged_ = false;
  win::HWND window_;  // connections that are over come back here to be destroyed
  std::map<std::uint64_t, std::unique_ptr<ClientConnection>> connections_;
  std::uint64_t nextId_ = 1;
  AsyncSocket listener_;
};

}  // namespace webmail
