#pragma once
// The webmail program's listening socket on 127.0.0.1 and the connections it has accepted.

#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "net/async_socket.h"
#include "platform/message_window.h"
#include "webmail/client_connection.h"
#include "webmail/request_handler.h"

namespace webmail {

class WebmailServer : private win::MessageReceiver {
 public:
  // Listens on 127.0.0.1:port (0: a port of the system's choice). Throws SocketError.
  WebmailServer(RequestHandler& handler, std::uint16_t port);
  ~WebmailServer();
  WebmailServer(const WebmailServer&) = delete;
  WebmailServer& operator=(const WebmailServer&) = delete;

  std::string Port() { return listener_.GetLocalPortText(); }

 private:
  void WindowProc(win::UINT message, win::WPARAM wParam, win::LPARAM lParam) override;
  void AcceptClient();

  RequestHandler& handler_;
  win::HWND window_;  // connections that are over come back here to be destroyed
  std::map<std::uint64_t, std::unique_ptr<ClientConnection>> connections_;
  std::uint64_t nextId_ = 1;
  AsyncSocket listener_;
};

}  // namespace webmail
