#include "webmail/webmail_server.h"

namespace webmail {
namespace {

constexpr win::UINT kConnectionOver = win::WM_USER + 100;
// A hundred clients at once must not wait a second for the retry of a dropped connection.
constexpr std::int32_t kBacklog = 128;

}  // namespace

WebmailServer::WebmailServer(RequestHandler& handler, std::uint16_t port)
    : handler_(handler), window_(win::CreateMessageWindow(*this)) {
  listener_.OnSessionAvailable = [this](AsyncSocketBase*, std::uint16_t) { AcceptClient(); };
  listener_.ListenBacklog = kBacklog;
  try {
    listener_.SetAddr("127.0.0.1");
    listener_.SetPort(std::to_string(port));
    listener_.Listen();
  } catch (...) {
    win::DestroyMessageWindow(window_);
    throw;
  }
}

WebmailServer::~WebmailServer() { win::DestroyMessageWindow(window_); }

// A connection is destroyed from the message queue, after the event in which it ended.
void WebmailServer::WindowProc(win::UINT message, win::WPARAM wParam, win::LPARAM) {
  if (message == kConnectionOver) connections_.erase(wParam);
}

// A client that cannot be taken on costs a log line, never the server.
void WebmailServer::AcceptClient() {
  try {
    const ws::SOCKET handle = listener_.Accept();
    const std::uint64_t id = nextId_++;
    auto over = [this, id] { win::PostMessage(window_, kConnectionOver, id, 0); };
    connections_.emplace(id, std::make_unique<ClientConnection>(handler_, handle, over));
  } catch (const std::exception& e) {
    LogLine(std::string("webmail: cannot take a client: ") + e.what());
  }
}

}  // namespace webmail
