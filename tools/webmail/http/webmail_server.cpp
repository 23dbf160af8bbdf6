// SPDX-License-Identifier: MIT
#include "webmail/http/webmail_server.h"

namespace webmail {
namespace {

constexpr win::UINT kConnectionOver = win::WM_USER + 100;
// A hundred clients at once must not wait a second for the retry of a dropped connection.
constexpr std::int32_t kBacklog = 128;
constexpr win::UINT_PTR kAcceptRetryTimer = 1;
// How long the server stops accepting when it has run out of descriptors; a connection that
// ends frees one and resumes accepting sooner.
constexpr win::UINT kAcceptRetryMs = 500;

}  // namespace

WebmailServer::WebmailServer(RequestHandler& handler, std::uint16_t port, const ConnectionLimits& limits)
    : handler_(handler), limits_(limits), window_(win::CreateMessageWindow(*this)) {
  listener_.OnSessionAvailable = [this](AsyncSocketBase*, std::uint16_t) { ClientWaiting(); };
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

// A connection is destroyed from the message queue, after the event in which it ended; its
// place goes to a client that waits.
void WebmailServer::WindowProc(win::UINT message, win::WPARAM wParam, win::LPARAM) {
  if (message == kConnectionOver) {
    connections_.erase(wParam);
    if (outOfDescriptors_) ResumeAccepting();
    if (clientWaiting_) AcceptClient();
  } else if (message == win::WM_TIMER && wParam == kAcceptRetryTimer) {
    ResumeAccepting();
    if (clientWaiting_) AcceptClient();
  }
}

void WebmailServer::ClientWaiting() {
  clientWaiting_ = true;
  AcceptClient();
}

// A client that cannot be taken on costs a log line, never the server.
void WebmailServer::AcceptClient() {
  if (outOfDescriptors_) return;
  if (connections_.size() >= limits_.maxConnections) {
    if (!fullLogged_) LogLine("webmail: " + std::to_string(connections_.size()) + " connections open; new ones wait");
    fullLogged_ = true;
    return;
  }
  fullLogged_ = false;
  clientWaiting_ = false;
  try {
    const ws::SOCKET handle = listener_.Accept();
    const std::uint64_t id = nextId_++;
    auto over = [this, id] { win::PostMessage(window_, kConnectionOver, id, 0); };
    connections_.emplace(id, std::make_unique<ClientConnection>(handler_, limits_, handle, over));
    descriptorsLogged_ = false;
  } catch (const std::exception& e) {
    if (ws::WSAGetLastError() == ws::WSAEMFILE) return PauseAccepting();
    LogLine(std::string("webmail: cannot take a client: ") + e.what());
  }
}

// Without a descriptor to spare, accepting again at once would fail at once, for ever.
void WebmailServer::PauseAccepting() {
  clientWaiting_ = true;
  outOfDescriptors_ = true;
  win::SetTimer(window_, kAcceptRetryTimer, kAcceptRetryMs);
  if (!descriptorsLogged_) LogLine("webmail: out of descriptors (Too many open files); accepting again when one is free");
  descriptorsLogged_ = true;
}

void WebmailServer::ResumeAccepting() {
  outOfDescriptors_ = false;
  win::KillTimer(window_, kAcceptRetryTimer);
}

}  // namespace webmail
